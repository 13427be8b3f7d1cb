#include "MaskedTimeEdit.h"

#include <QApplication>
#include <QKeyEvent>

MaskedTimeEdit::MaskedTimeEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(TimeField::kLength);
    setContextMenuPolicy(Qt::NoContextMenu);  // no paste around the mask
    Refresh();
}

void MaskedTimeEdit::SetText(const std::string& value) {
    model_.SetText(value);
    Refresh();
}

void MaskedTimeEdit::Refresh() {
    setText(QString::fromLatin1(model_.DisplayText()));
    setCursorPosition(model_.Cursor());
}

void MaskedTimeEdit::Beep() {
    QApplication::beep();
    emit Beeped();
}

void MaskedTimeEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->ignore();  // focus moves and default buttons belong to the window
            return;
        case Qt::Key_Left:
            model_.SetCursor(model_.Cursor() - 1);
            break;
        case Qt::Key_Right:
            model_.SetCursor(model_.Cursor() + 1);
            break;
        case Qt::Key_Home:
            model_.SetCursor(0);
            break;
        case Qt::Key_End:
            model_.SetCursor(TimeField::kLength);
            break;
        case Qt::Key_Delete:
            model_.Delete();
            break;
        case Qt::Key_Backspace:
            model_.Backspace();
            break;
        case Qt::Key_Escape:
            model_.Escape();
            break;
        default: {
            const QString typed = event->text();
            if (typed.isEmpty() || typed[0] < QLatin1Char(' ')) {  // keys that type nothing
                event->ignore();
                return;
            }
            if (typed.size() != 1 || typed[0].unicode() > 0x7F ||
                !model_.TypeCharacter(typed[0].toLatin1()))
                Beep();
        }
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
    model_.SetCursor(cursorPosition());
    Refresh();
}
