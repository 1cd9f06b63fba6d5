#include "settings/ContactListRules.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

ContactEntry Entry(const QString& number, std::initializer_list<int> inputs = {1}) {
    ContactEntry c;
    c.PhoneNumber = number;
    c.ReportBySms = true;
    for (int n : inputs) {
        c.ReportsInput[n - 1] = true;
    }
    return c;
}

ContactList ListOf(const QStringList& numbers) {
    ContactList list{};
    for (int row = 0; row < numbers.size(); ++row) {
        if (!numbers[row].isEmpty()) {
            list[row] = Entry(numbers[row]);
        }
    }
    return list;
}

QStringList Numbers(const ContactList& list, int count) {
    QStringList numbers;
    for (int row = 0; row < count; ++row) {
        numbers << list[row].PhoneNumber;
    }
    return numbers;
}

} // namespace

TEST(PhoneNumberText, AllowedCharacters) {
    for (const char* ok : {"", "0123456789", "+44*#1", "*#", "+", "1234567890123456"}) {
        EXPECT_TRUE(IsAcceptablePhoneText(ok)) << ok;
    }
    for (const char* bad : {"12a", "1 2", "1+2", "++1", "12345678901234567", "-1", "1;"}) {
        EXPECT_FALSE(IsAcceptablePhoneText(bad)) << bad;
    }
}

TEST(PhoneNumberText, ForbiddenChangeRestoresTextAndSelection) {
    const PhoneFieldState lastValid{"0123", 2, 1};
    EXPECT_EQ(FilterPhoneFieldChange(lastValid, {"01a3", 3, 0}), lastValid);
    EXPECT_EQ(FilterPhoneFieldChange(lastValid, {"01+3", 3, 0}), lastValid);
    const PhoneFieldState typed{"+0123#", 6, 0};
    EXPECT_EQ(FilterPhoneFieldChange(lastValid, typed), typed);
}

TEST(CheckContactEntry, ChecksInOrderWithTheirMessages) {
    ContactList rows = ListOf({"111", "222", "333"});
    ContactEntry entry;
    EXPECT_EQ(CheckContactEntry(rows, 5, entry), "The phone number cannot be blank!");
    entry.PhoneNumber = "333";
    EXPECT_EQ(CheckContactEntry(rows, 5, entry), "The phone number already exists in location 3!");
    entry.PhoneNumber = "444";
    EXPECT_EQ(CheckContactEntry(rows, 5, entry),
              "At least one of the \"SMS\" and \"Voice\" checkboxes must be checked!");
    entry.ReportByVoice = true;
    EXPECT_EQ(CheckContactEntry(rows, 5, entry),
              "At least one of the input checkboxes must be checked!");
    entry.ReportsInput[7] = true;
    EXPECT_EQ(CheckContactEntry(rows, 5, entry), std::nullopt);
}

TEST(CheckContactEntry, DuplicatesAreExactTextInAnotherRow) {
    const ContactList rows = ListOf({"111", "+222", "333"});
    EXPECT_EQ(CheckContactEntry(rows, 2, Entry("333")), std::nullopt); // its own row
    EXPECT_EQ(CheckContactEntry(rows, 0, Entry("222")), std::nullopt);
    EXPECT_EQ(CheckContactEntry(rows, 0, Entry("+222")),
              "The phone number already exists in location 2!");
}

TEST(CheckContactEntry, SixteenContactsPerInput) {
    ContactList rows{};
    for (int row = 0; row < 16; ++row) {
        rows[row] = Entry(QString::number(1000 + row), {2});
    }
    EXPECT_EQ(CheckContactEntry(rows, 20, Entry("5", {1, 2})),
              "There are more than 16 phone numbers assigned to input 2!");
    // An input the entry does not report is not limited.
    EXPECT_EQ(CheckContactEntry(rows, 20, Entry("5", {1})), std::nullopt);
    // The entry's own row is not counted: it stays at 16 with the edit.
    EXPECT_EQ(CheckContactEntry(rows, 15, Entry("5", {2})), std::nullopt);
    rows[15] = ContactEntry{};
    EXPECT_EQ(CheckContactEntry(rows, 20, Entry("5", {2})), std::nullopt);
}

TEST(CheckContactEntry, NamesTheFirstInputWhoseSixteenthContactIsMet) {
    ContactList rows{};
    // Input 7 reaches 16 in row 15; input 3 only in row 16.
    for (int row = 0; row < 16; ++row) {
        rows[row] = Entry(QString::number(1000 + row), {7});
    }
    rows[16] = Entry("2000", {3});
    for (int row = 0; row < 15; ++row) {
        rows[row].ReportsInput[2] = true;
    }
    EXPECT_EQ(CheckContactEntry(rows, 30, Entry("5", {3, 7})),
              "There are more than 16 phone numbers assigned to input 7!");
}

TEST(MoveContact, FourMoves) {
    const ContactList start = ListOf({"A", "B", "C", "D"});
    ContactList rows = start;
    EXPECT_EQ(MoveContact(rows, 2, ContactMove::ToTop), 0);
    EXPECT_EQ(Numbers(rows, 5), QStringList({"C", "A", "B", "D", ""}));
    rows = start;
    EXPECT_EQ(MoveContact(rows, 2, ContactMove::Up), 1);
    EXPECT_EQ(Numbers(rows, 5), QStringList({"A", "C", "B", "D", ""}));
    rows = start;
    EXPECT_EQ(MoveContact(rows, 1, ContactMove::Down), 2);
    EXPECT_EQ(Numbers(rows, 5), QStringList({"A", "C", "B", "D", ""}));
    rows = start;
    EXPECT_EQ(MoveContact(rows, 0, ContactMove::ToEnd), 3);
    EXPECT_EQ(Numbers(rows, 5), QStringList({"B", "C", "D", "A", ""}));
    // The whole entry moves, flags included.
    rows = start;
    rows[3].ReportsInput[6] = true;
    MoveContact(rows, 3, ContactMove::ToTop);
    EXPECT_TRUE(rows[0].ReportsInput[6]);
}

TEST(MoveContact, RefusedMovesLeaveTheListAlone) {
    const ContactList start = ListOf({"A", "B", "C"});
    ContactList rows = start;
    EXPECT_EQ(MoveContact(rows, 0, ContactMove::ToTop), std::nullopt);
    EXPECT_EQ(MoveContact(rows, 0, ContactMove::Up), std::nullopt);
    EXPECT_EQ(MoveContact(rows, 2, ContactMove::Down), std::nullopt);
    EXPECT_EQ(MoveContact(rows, 2, ContactMove::ToEnd), std::nullopt);
    EXPECT_EQ(MoveContact(rows, 5, ContactMove::Up), std::nullopt);
    EXPECT_EQ(MoveContact(rows, -1, ContactMove::Down), std::nullopt);
    EXPECT_EQ(rows, start);
}

TEST(ContactPopupMenu, EnabledItemsOnFirstAndLastUsedRows) {
    const ContactList rows = ListOf({"A", "B", "C"});
    EXPECT_EQ(ContactPopupMenuState(rows, 0), (ContactMenuState{true, false, false, true, true}));
    EXPECT_EQ(ContactPopupMenuState(rows, 1), (ContactMenuState{true, true, true, true, true}));
    EXPECT_EQ(ContactPopupMenuState(rows, 2), (ContactMenuState{true, true, true, false, false}));
    EXPECT_EQ(ContactPopupMenuState(rows, 3), ContactMenuState{});
    EXPECT_EQ(ContactPopupMenuState(rows, -1), ContactMenuState{});
    EXPECT_EQ(ContactPopupMenuState(ListOf({"A"}), 0),
              (ContactMenuState{true, false, false, false, false}));
    // A list opened from a file may have gaps; the last used row bounds the moves.
    const ContactList gaps = ListOf({"A", "", "C"});
    EXPECT_EQ(LastUsedContactRow(gaps), 2);
    EXPECT_EQ(ContactPopupMenuState(gaps, 0), (ContactMenuState{true, false, false, true, true}));
    EXPECT_EQ(LastUsedContactRow(ContactList{}), -1);
}

TEST(FindContactListProblems, EveryRuleOfTheEditorByLocation) {
    ContactEntry neither = Entry("444");
    neither.ReportBySms = false;
    ContactEntry noInput = Entry("555", {});
    struct Case {
        const char* name;
        std::vector<std::pair<int, ContactEntry>> rows;
        std::vector<ContactListProblem> expected;
    };
    const std::vector<Case> cases = {
        {"a sound list", {{0, Entry("111")}, {4, Entry("222", {1, 8})}}, {}},
        {"a duplicate names the location above it",
         {{2, Entry("01632960111")}, {6, Entry("01632960111")}, {8, Entry("01632960111")}},
         {{6, "Location 7: 01632960111 is also at location 3."},
          {8, "Location 9: 01632960111 is also at location 3."}}},
        {"neither SMS nor Voice",
         {{0, neither}},
         {{0, "Location 1: neither \"SMS\" nor \"Voice\" is checked."}}},
        {"no input", {{3, noInput}}, {{3, "Location 4: no input is checked."}}},
        {"one row breaking several rules, in the editor's order",
         {{0, Entry("555")},
          {1,
           [&] {
               ContactEntry both = noInput;
               both.ReportBySms = false;
               return both;
           }()}},
         {{1, "Location 2: 555 is also at location 1."},
          {1, "Location 2: neither \"SMS\" nor \"Voice\" is checked."},
          {1, "Location 2: no input is checked."}}},
    };
    for (const Case& c : cases) {
        ContactList list{};
        for (const auto& [row, entry] : c.rows) {
            list[row] = entry;
        }
        EXPECT_EQ(FindContactListProblems(list), c.expected) << c.name;
    }

    // Sixteen contacts per input: the seventeenth and later are named, the
    // other inputs are free.
    ContactList list{};
    for (int row = 0; row < 18; ++row) {
        list[row] = Entry(QString::number(1000 + row), {3, row < 2 ? 4 : 5});
    }
    const std::vector<ContactListProblem> expected = {
        {16, "Location 17: input 3 already has 16 phone numbers."},
        {17, "Location 18: input 3 already has 16 phone numbers."}};
    EXPECT_EQ(FindContactListProblems(list), expected);
}

TEST(FindContactListProblems, TheMessageListsTheFirstTen) {
    ContactList list{};
    for (int row = 0; row < 12; ++row) {
        list[row] = Entry("777");
    }
    const QString text = ContactListProblemsText(FindContactListProblems(list));
    EXPECT_TRUE(text.contains("\r\n\r\nLocation 2: 777 is also at location 1.\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Location 11: 777 is also at location 1.\r\n(and 1 more)"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("Location 12:"));
    EXPECT_TRUE(
        text.endsWith("Nothing has been sent to the ORNEX. Correct the list and send again."));
}
