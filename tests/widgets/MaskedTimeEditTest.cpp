// The Qt time field: what the mouse selected is what the next digit replaces.

#include <gtest/gtest.h>

#include <QTest>

#include "qt/widgets/MaskedTimeEdit.h"

TEST(MaskedTimeEditTest, TypingReplacesWhatTheMouseSelected) {
    TimeField model;
    model.SetText("07:30");
    MaskedTimeEdit edit(model);
    edit.Refresh();
    edit.show();
    edit.setFocus();
    // The minutes, dragged from right to left: the press at the end, the release before them.
    QTest::mousePress(&edit, Qt::LeftButton, {}, edit.rect().center());
    edit.setSelection(5, -2);
    QTest::mouseRelease(&edit, Qt::LeftButton, {}, edit.rect().center());
    EXPECT_EQ(model.SelectionLength(), 2);
    EXPECT_EQ(edit.selectedText(), "30");
    QTest::keyClick(&edit, Qt::Key_4);
    EXPECT_EQ(model.Text(), "07:4 ");
    EXPECT_EQ(edit.displayText(), "07:4_");
}
