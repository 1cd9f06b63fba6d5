#include "settings/DiallerSettings.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

ContactList ListWith(std::initializer_list<std::pair<int, const char*>> rows) {
    ContactList list{};
    for (const auto& [row, number] : rows) {
        list[row].PhoneNumber = QString::fromLatin1(number);
        list[row].ReportBySms = true;
    }
    return list;
}

QStringList Numbers(const ContactList& list) {
    QStringList numbers;
    for (const auto& c : list) {
        numbers << c.PhoneNumber;
    }
    while (!numbers.isEmpty() && numbers.last().isEmpty()) {
        numbers.removeLast();
    }
    return numbers;
}

} // namespace

TEST(CompactContacts, ClosesGapsKeepingOrder) {
    auto list = ListWith({{1, "222"}, {4, "555"}, {6, "777"}});
    const int selected = CompactContacts(list, 4);
    EXPECT_EQ(Numbers(list), QStringList({"222", "555", "777"}));
    EXPECT_EQ(selected, 1);
    EXPECT_TRUE(list[0].ReportBySms);
    EXPECT_FALSE(list[3].ReportBySms);
}

TEST(CompactContacts, OnlyLastLocationMovesToFirst) {
    auto list = ListWith({{98, "99"}});
    EXPECT_EQ(CompactContacts(list, 98), 0);
    EXPECT_EQ(Numbers(list), QStringList({"99"}));
}

TEST(CompactContacts, EmptyListStaysEmptyAndKeepsNoSelection) {
    ContactList list{};
    EXPECT_EQ(CompactContacts(list, -1), -1);
    EXPECT_EQ(list, ContactList{});
}

TEST(CompactContacts, SelectedFreeRowsFollowTheirRow) {
    // A free row in a gap is taken out, so the selection is lost; a free row
    // after the last occupied one moves up with it.
    auto list = ListWith({{0, "1"}, {3, "4"}});
    EXPECT_EQ(CompactContacts(list, 1), -1);
    list = ListWith({{0, "1"}, {3, "4"}});
    EXPECT_EQ(CompactContacts(list, 10), 8);
}
