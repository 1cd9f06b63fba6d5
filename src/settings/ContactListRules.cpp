#include "settings/ContactListRules.h"

#include <algorithm>

namespace {

bool IsUsedRow(const ContactList& rows, int row) {
    return row >= 0 && row < SettingsLimits::ContactCount && !rows[row].IsFree();
}

} // namespace

bool IsAcceptablePhoneText(const QString& text) {
    return IsValidPhoneNumber(text);
}

PhoneFieldState FilterPhoneFieldChange(const PhoneFieldState& lastValid,
                                       const PhoneFieldState& changed) {
    return IsAcceptablePhoneText(changed.Text) ? changed : lastValid;
}

std::optional<QString> CheckContactEntry(const ContactList& rows, int row,
                                         const ContactEntry& entry) {
    if (entry.PhoneNumber.isEmpty()) {
        return QStringLiteral("The phone number cannot be blank!");
    }
    for (int other = 0; other < SettingsLimits::ContactCount; ++other) {
        if (other != row && rows[other].PhoneNumber == entry.PhoneNumber) {
            return QStringLiteral("The phone number already exists in location %1!").arg(other + 1);
        }
    }
    if (!entry.ReportBySms && !entry.ReportByVoice) {
        return QStringLiteral(
            "At least one of the \"SMS\" and \"Voice\" checkboxes must be checked!");
    }
    if (std::none_of(entry.ReportsInput.begin(), entry.ReportsInput.end(),
                     [](bool set) { return set; })) {
        return QStringLiteral("At least one of the input checkboxes must be checked!");
    }
    // The dialler keeps at most 16 numbers per input. The others are counted
    // row by row and input by input, so the input named is the first whose
    // sixteenth other contact is met; an input the entry does not report may
    // have any number of contacts.
    std::array<int, SettingsLimits::InputCount> counts{};
    for (int other = 0; other < SettingsLimits::ContactCount; ++other) {
        if (other == row) {
            continue;
        }
        for (int n = 0; n < SettingsLimits::InputCount; ++n) {
            if (!rows[other].ReportsInput[n]) {
                continue;
            }
            ++counts[n];
            if (counts[n] >= SettingsLimits::ContactsPerInputMax && entry.ReportsInput[n]) {
                return QStringLiteral("There are more than %1 phone numbers assigned to input %2!")
                    .arg(SettingsLimits::ContactsPerInputMax)
                    .arg(n + 1);
            }
        }
    }
    return std::nullopt;
}

std::vector<ContactListProblem> FindContactListProblems(const ContactList& rows) {
    std::vector<ContactListProblem> problems;
    std::array<int, SettingsLimits::InputCount> counts{};
    for (int row = 0; row < SettingsLimits::ContactCount; ++row) {
        const ContactEntry& entry = rows[row];
        if (entry.IsFree()) {
            continue;
        }
        const auto add = [&problems, row](const QString& text) {
            problems.push_back({row, QStringLiteral("Location %1: ").arg(row + 1) + text});
        };
        for (int above = 0; above < row; ++above) {
            if (rows[above].PhoneNumber == entry.PhoneNumber) {
                add(QStringLiteral("%1 is also at location %2.")
                        .arg(entry.PhoneNumber)
                        .arg(above + 1));
                break;
            }
        }
        if (!entry.ReportBySms && !entry.ReportByVoice) {
            add(QStringLiteral("neither \"SMS\" nor \"Voice\" is checked."));
        }
        if (std::none_of(entry.ReportsInput.begin(), entry.ReportsInput.end(),
                         [](bool set) { return set; })) {
            add(QStringLiteral("no input is checked."));
        }
        for (int n = 0; n < SettingsLimits::InputCount; ++n) {
            if (entry.ReportsInput[n] && ++counts[n] > SettingsLimits::ContactsPerInputMax) {
                add(QStringLiteral("input %1 already has %2 phone numbers.")
                        .arg(n + 1)
                        .arg(SettingsLimits::ContactsPerInputMax));
            }
        }
    }
    return problems;
}

QString ContactListProblemsText(const std::vector<ContactListProblem>& problems) {
    constexpr std::size_t Shown = 10;
    QString text = QStringLiteral("The phone numbers break the rules of the list:\r\n");
    for (std::size_t i = 0; i < problems.size() && i < Shown; ++i) {
        text += QStringLiteral("\r\n") + problems[i].Text;
    }
    if (problems.size() > Shown) {
        text += QStringLiteral("\r\n(and %1 more)").arg(problems.size() - Shown);
    }
    text += QStringLiteral("\r\n\r\nNothing has been sent to the ORNEX. Correct the list "
                           "and send again.");
    return text;
}

int LastUsedContactRow(const ContactList& rows) {
    for (int row = SettingsLimits::ContactCount - 1; row >= 0; --row) {
        if (!rows[row].IsFree()) {
            return row;
        }
    }
    return -1;
}

bool CanMoveContact(const ContactList& rows, int row, ContactMove move) {
    if (!IsUsedRow(rows, row)) {
        return false;
    }
    switch (move) {
    case ContactMove::ToTop:
    case ContactMove::Up:
        return row > 0;
    case ContactMove::Down:
    case ContactMove::ToEnd:
        return row < LastUsedContactRow(rows);
    }
    return false;
}

std::optional<int> MoveContact(ContactList& rows, int row, ContactMove move) {
    if (!CanMoveContact(rows, row, move)) {
        return std::nullopt;
    }
    const auto at = [&rows](int index) { return rows.begin() + index; };
    switch (move) {
    case ContactMove::ToTop:
        std::rotate(at(0), at(row), at(row + 1));
        return 0;
    case ContactMove::Up:
        std::swap(rows[row], rows[row - 1]);
        return row - 1;
    case ContactMove::Down:
        std::swap(rows[row], rows[row + 1]);
        return row + 1;
    case ContactMove::ToEnd: {
        const int last = LastUsedContactRow(rows);
        std::rotate(at(row), at(row + 1), at(last + 1));
        return last;
    }
    }
    return std::nullopt;
}

ContactMenuState ContactPopupMenuState(const ContactList& rows, int selectedRow) {
    ContactMenuState state;
    if (!IsUsedRow(rows, selectedRow)) {
        return state;
    }
    state.Opens = true;
    state.MoveToTop = CanMoveContact(rows, selectedRow, ContactMove::ToTop);
    state.MoveUp = CanMoveContact(rows, selectedRow, ContactMove::Up);
    state.MoveDown = CanMoveContact(rows, selectedRow, ContactMove::Down);
    state.MoveToEnd = CanMoveContact(rows, selectedRow, ContactMove::ToEnd);
    return state;
}
