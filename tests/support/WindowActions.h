#pragma once

#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

// What a person does with the window's controls, for the window tests.

// Replaces a field's text by typing: focus, select all, delete, type.
inline void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Clicks a row of a list where it shows on screen.
inline void ClickListRow(QTreeWidget* list, int row, Qt::MouseButton button = Qt::LeftButton) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(item).center());
}
