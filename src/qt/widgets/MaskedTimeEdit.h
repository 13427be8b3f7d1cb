#pragma once
// The time field edtHorario: a line edit that forwards keys, caret moves, mouse selections and
// focus to the toolkit-free TimeField model (the window's logic owns it) and shows the model's
// text, "_" for each empty position.
// Leaving the field is decided by the window (it runs the field's own check and the exit
// handler before the focus may move), since Qt cannot veto a focus change once it happens.

#include <QLineEdit>

#include "controls/TimeField.h"

class MaskedTimeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedTimeEdit(TimeField& model, QWidget* parent = nullptr);

    const TimeField& Model() const { return model_; }
    // The text as the program reads it: five characters, blanks for empty positions.
    std::string Text() const { return model_.Text(); }
    // Shows the model again after it changed from outside.
    void Refresh();

signals:
    void Beeped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Beep();
    TimeField& model_;
};
