#pragma once

#include "settings/ContactListRules.h"

#include <QWidget>

class ContactEditor;
class QAction;
class QMenu;
class QTreeWidget;

// The "Phone Numbers" page: the 99 locations in the order the dialler calls
// them, a popup menu that moves the selected one, and the editor beside them.
class ContactsPage : public QWidget {
    Q_OBJECT
public:
    explicit ContactsPage(QWidget* parent = nullptr);

    QTreeWidget* PhoneNumbersListView() const { return mPhoneNumbersListView; }
    ContactEditor* Editor() const { return mEditor; }
    QMenu* PhoneNumbersListPopupMenu() const { return mPhoneNumbersListPopupMenu; }
    QAction* MoveToTopOfListMenuItem() const { return mMoveToTopOfListMenuItem; }
    QAction* MoveUpListMenuItem() const { return mMoveUpListMenuItem; }
    QAction* MoveDownListMenuItem() const { return mMoveDownListMenuItem; }
    QAction* MoveToEndOfListMenuItem() const { return mMoveToEndOfListMenuItem; }

    // Closes the gaps in the contact list; the selection follows its row.
    void CompactContactList();
    // The selected row, -1 for none; selecting runs the selection rule.
    int SelectedContactRow() const;
    void SelectContactRow(int row);

    // The right mouse button going down or up over the list; the popup menu
    // opens once per click, when the button comes up.
    void PhoneNumbersListViewMouseUpDown(Qt::MouseButton button, bool down,
                                         const QPoint& globalPos);
    void MoveToTopOfListMenuItemClick();
    void MoveUpListMenuItemClick();
    void MoveDownListMenuItemClick();
    void MoveToEndOfListMenuItemClick();

signals:
    // The user changed the list: an entry stored, deleted or moved.
    void Changed();

private:
    void MoveSelectedContact(ContactMove move);

    QTreeWidget* mPhoneNumbersListView;
    ContactEditor* mEditor;
    QMenu* mPhoneNumbersListPopupMenu;
    QAction* mMoveToTopOfListMenuItem;
    QAction* mMoveUpListMenuItem;
    QAction* mMoveDownListMenuItem;
    QAction* mMoveToEndOfListMenuItem;
    bool mRightButtonDown = false;
};
