#include "app/ContactsPage.h"

#include "app/ContactEditor.h"
#include "app/PageWidgets.h"
#include "platform/Anchors.h"
#include "settings/SettingsBinding.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

int SelectedContactRowOf(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
}

void SelectContactRowOf(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    if (item == nullptr) {
        list->clearSelection();
        return;
    }
    list->setCurrentItem(item);
    list->scrollToItem(item);
}

ContactsPage::ContactsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PhoneNumbersSheet"));
    resize(828, 501);
    auto* anchors = new AnchorLayout(this, size());
    mPhoneNumbersListView = Named(new QTreeWidget(this), "PhoneNumbersListView");
    QTreeWidget* list = mPhoneNumbersListView;
    anchors->Place(list, QRect(0, 0, 609, 501), AnchorAll);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    list->setContextMenuPolicy(Qt::PreventContextMenu);
    // The selected row stays visible while the list does not have the focus.
    QPalette palette = list->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list->setPalette(palette);
    QStringList headers{tr("No."), tr("Phone Number"), tr("SMS"), tr("Voice")};
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        headers << QStringLiteral("IN%1").arg(input);
    }
    list->setHeaderLabels(headers);
    list->setColumnWidth(0, 30);
    list->setColumnWidth(1, 140);
    for (int column = ContactRow::SmsColumn; column < ContactRow::ColumnCount; ++column) {
        list->setColumnWidth(column, 40);
    }
    for (int row = 0; row < SettingsLimits::ContactCount; ++row) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, QString::number(row + 1));
    }

    mPhoneNumbersListPopupMenu = Named(new QMenu(this), "PhoneNumbersListPopupMenu");
    QMenu* menu = mPhoneNumbersListPopupMenu;
    mMoveToTopOfListMenuItem =
        Named(menu->addAction(tr("Move to &Top")), "MoveToTopOfListMenuItem");
    mMoveUpListMenuItem = Named(menu->addAction(tr("Move &Up")), "MoveUpListMenuItem");
    mMoveDownListMenuItem = Named(menu->addAction(tr("Move &Down")), "MoveDownListMenuItem");
    mMoveToEndOfListMenuItem =
        Named(menu->addAction(tr("Move to &End")), "MoveToEndOfListMenuItem");

    mEditor = new ContactEditor(list, this);
    anchors->Place(mEditor, QRect(612, 0, 214, 501), AnchorTop | AnchorRight | AnchorBottom);
    connect(mEditor, &ContactEditor::CompactRequested, this, &ContactsPage::CompactContactList);
    connect(mEditor, &ContactEditor::Changed, this, &ContactsPage::Changed);

    new EventHook(list->viewport(), [this](QEvent* event) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            PhoneNumbersListViewMouseUpDown(mouse->button(), type == QEvent::MouseButtonPress,
                                            mouse->globalPosition().toPoint());
        }
    });
    connect(mMoveToTopOfListMenuItem, &QAction::triggered, this,
            &ContactsPage::MoveToTopOfListMenuItemClick);
    connect(mMoveUpListMenuItem, &QAction::triggered, this, &ContactsPage::MoveUpListMenuItemClick);
    connect(mMoveDownListMenuItem, &QAction::triggered, this,
            &ContactsPage::MoveDownListMenuItemClick);
    connect(mMoveToEndOfListMenuItem, &QAction::triggered, this,
            &ContactsPage::MoveToEndOfListMenuItemClick);
}

int ContactsPage::SelectedContactRow() const {
    return SelectedContactRowOf(mPhoneNumbersListView);
}

void ContactsPage::SelectContactRow(int row) {
    SelectContactRowOf(mPhoneNumbersListView, row);
}

void ContactsPage::CompactContactList() {
    QTreeWidget* list = mPhoneNumbersListView;
    ContactList contacts = ContactRow::ReadList(list);
    QTreeWidgetItem* selected = list->currentItem();
    const int selectedRow =
        selected && selected->isSelected() ? list->indexOfTopLevelItem(selected) : -1;
    const int newRow = CompactContacts(contacts, selectedRow);
    ContactRow::WriteList(list, contacts);
    // The row in the editor is known before the selection moves, so that the
    // selection rule sees the same entry at its new place and not a change.
    mEditor->SetCurrentContactRow(newRow);
    SelectContactRow(newRow);
}

void ContactsPage::PhoneNumbersListViewMouseUpDown(Qt::MouseButton button, bool down,
                                                   const QPoint& globalPos) {
    if (button != Qt::RightButton) {
        return;
    }
    // The press selects the row under the pointer; the menu follows on the
    // release, for whatever row is selected then.
    if (down) {
        mRightButtonDown = true;
        return;
    }
    if (!mRightButtonDown) {
        return;
    }
    mRightButtonDown = false;
    const ContactMenuState menu =
        ContactPopupMenuState(ContactRow::ReadList(mPhoneNumbersListView), SelectedContactRow());
    if (!menu.Opens) {
        return;
    }
    mMoveToTopOfListMenuItem->setEnabled(menu.MoveToTop);
    mMoveUpListMenuItem->setEnabled(menu.MoveUp);
    mMoveDownListMenuItem->setEnabled(menu.MoveDown);
    mMoveToEndOfListMenuItem->setEnabled(menu.MoveToEnd);
    mPhoneNumbersListPopupMenu->popup(globalPos);
}

// A move takes the entry out of its row and puts it in at its new place, so
// the selection goes with the removed row: the moved entry is then selected
// afresh and loaded, and edits that were not stored are dropped unasked. The
// order of the list is the order in which the dialler calls, so a move is a
// change of the settings like any other.
void ContactsPage::MoveSelectedContact(ContactMove how) {
    ContactList rows = ContactRow::ReadList(mPhoneNumbersListView);
    const int row = SelectedContactRow();
    if (!CanMoveContact(rows, row, how)) {
        return;
    }
    SelectContactRow(-1);
    const std::optional<int> target = MoveContact(rows, row, how);
    ContactRow::WriteList(mPhoneNumbersListView, rows);
    SelectContactRow(*target);
    emit Changed();
}

void ContactsPage::MoveToTopOfListMenuItemClick() {
    MoveSelectedContact(ContactMove::ToTop);
}

void ContactsPage::MoveUpListMenuItemClick() {
    MoveSelectedContact(ContactMove::Up);
}

void ContactsPage::MoveDownListMenuItemClick() {
    MoveSelectedContact(ContactMove::Down);
}

void ContactsPage::MoveToEndOfListMenuItemClick() {
    MoveSelectedContact(ContactMove::ToEnd);
}
