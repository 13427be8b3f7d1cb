#include "qt/widgets/MaskedTimeEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <map>

#include "controls/TimeFieldKeys.h"

MaskedTimeEdit::MaskedTimeEdit(TimeField& model, QWidget* parent)
    : QLineEdit(parent), model_(model) {
    setMaxLength(TimeField::kLength);
    setContextMenuPolicy(Qt::NoContextMenu);  // no paste around the mask
    Refresh();
}

void MaskedTimeEdit::Refresh() {
    setText(QString::fromLatin1(model_.DisplayText()));
    if (model_.SelectionLength() > 0)
        setSelection(model_.Cursor(), model_.SelectionLength());
    else
        setCursorPosition(model_.Cursor());
}

void MaskedTimeEdit::Beep() {
    QApplication::beep();
    emit Beeped();
}

void MaskedTimeEdit::keyPressEvent(QKeyEvent* event) {
    static const std::map<int, TimeFieldKey> kKeys{
        {Qt::Key_Left, TimeFieldKey::Left},     {Qt::Key_Right, TimeFieldKey::Right},
        {Qt::Key_Home, TimeFieldKey::Home},     {Qt::Key_End, TimeFieldKey::End},
        {Qt::Key_Delete, TimeFieldKey::Delete}, {Qt::Key_Backspace, TimeFieldKey::Backspace},
        {Qt::Key_Escape, TimeFieldKey::Escape}};
    if (const auto key = kKeys.find(event->key()); key != kKeys.end()) {
        PressKey(model_, key->second);
    } else {
        // Tab, Enter and keys that type nothing belong to the window.
        const QList<uint> typed = event->text().toUcs4();
        const Typed result = typed.isEmpty()    ? Typed::Ignored
                             : typed.size() > 1 ? Typed::Refused
                                                : TypeCharacter(model_, typed[0]);
        if (result == Typed::Ignored) {
            event->ignore();
            return;
        }
        if (result == Typed::Refused) Beep();
    }
    Refresh();
    event->accept();
}

void MaskedTimeEdit::focusInEvent(QFocusEvent* event) {
    model_.FocusIn();
    QLineEdit::focusInEvent(event);
    Refresh();
}

void MaskedTimeEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    const int caret = cursorPosition();
    SelectWithMouse(model_,
                    hasSelectedText() ? selectionStart() + selectionStart() +
                                            static_cast<int>(selectedText().size()) - caret
                                      : caret,
                    caret);
    Refresh();
}
