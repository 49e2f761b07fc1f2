#include "protocol/cat_catalogue.h"

#include <algorithm>

namespace kestrel {
namespace {

constexpr bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

template <typename Row>
constexpr bool WellFormedCodes(const Row* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const char* code = rows[i].code;
        if (!IsUpper(code[0]) || !IsUpper(code[1]) || code[2] != 0 || code[3] != 0) {
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            if (CodeIs(rows[j].code, code[0], code[1])) {
                return false;
            }
        }
    }
    return true;
}

template <typename Table>
constexpr bool WellFormedCodes(const Table& table) {
    return WellFormedCodes(table.data(), table.size());
}

// Every command and answer holds at least its code and ";", and fits a ring slot.
template <typename Table>
constexpr bool LengthsInRange(const Table& table, int32_t longest) {
    for (const auto& row : table) {
        if (row.length < 3 || row.length > longest) {
            return false;
        }
    }
    return true;
}

// A read of kind 0 is "XX;", of kinds 1 and 2 "XX0;"; kind 3 carries a wider parameter of its
// own, except ID, which the identification probe reads plainly.
constexpr bool ReadLengthsFitKinds() {
    for (const auto& row : CatReadTable) {
        switch (row.kind) {
            case kReadPlain:
                if (row.length != 3)
                    return false;
                break;
            case kReadZero:
            case kReadTwoBanks:
                if (row.length != 4)
                    return false;
                break;
            case kReadOwnParam:
                if (row.length < 3)
                    return false;
                break;
            default:
                return false;
        }
    }
    return true;
}

// The analysis thread finds an answer by its row, and the polling cycle walks the read rows: both
// rely on the answer table being the read table followed by DA and MR.
constexpr bool AnswerOrderFollowsReads() {
    for (size_t i = 0; i < CatReadTable.size(); ++i) {
        const char* code = CatReadTable[i].code;
        if (!CodeIs(CatAnswerTable[i].code, code[0], code[1])) {
            return false;
        }
    }
    return CodeIs(CatAnswerTable[CatReadTable.size()].code, 'D', 'A') &&
           CodeIs(CatAnswerTable[CatReadTable.size() + 1].code, 'M', 'R');
}

constexpr bool NotificationsUnique() {
    for (size_t i = 0; i < CatAnswerTable.size(); ++i) {
        const uint32_t note = CatAnswerTable[i].notification;
        if (note < kFirstNotification || note > kLastNotification ||
            note == CatMenuAnswerRow.notification) {
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            if (CatAnswerTable[j].notification == note) {
                return false;
            }
        }
    }
    return true;
}

static_assert(CatSetTable.size() == 85 && CatReadTable.size() == 73 && CatAnswerTable.size() == 75);
static_assert(WellFormedCodes(CatSetTable), "set codes: two upper-case letters, unique");
static_assert(WellFormedCodes(CatReadTable), "read codes: two upper-case letters, unique");
static_assert(WellFormedCodes(CatAnswerTable), "answer codes: two upper-case letters, unique");
static_assert(FindAnswerRow("EX") < 0, "the menu answer has no fixed length");
static_assert(LengthsInRange(CatSetTable, kCatMaxCommandLength));
static_assert(LengthsInRange(CatReadTable, kCatMaxCommandLength));
static_assert(LengthsInRange(CatAnswerTable, kCatMaxCommandLength + 1));
static_assert(ReadLengthsFitKinds());
static_assert(AnswerOrderFollowsReads());
static_assert(NotificationsUnique());
static_assert(std::all_of(CatSetTable.begin(), CatSetTable.end(),
                          [](const CatSetRow& row) { return row.middle == 0; }));

}  // namespace

CatCommand BuildCommand(std::string_view code, int32_t length, std::string_view parameter) {
    CatCommand command;
    if (code.size() != 2 || length < 3 || length > kCatMaxCommandLength) {
        return command;
    }
    command.bytes[0] = code[0];
    command.bytes[1] = code[1];
    // The terminator's place is fixed by the catalogue, so a parameter never runs over it.
    const size_t field = static_cast<size_t>(length) - 3;
    std::copy_n(parameter.begin(), std::min(parameter.size(), field), command.bytes.begin() + 2);
    command.bytes[length - 1] = ';';
    command.length = length;
    return command;
}

CatCommand BuildCommand(const CatSetRow& row, std::string_view parameter) {
    return BuildCommand(std::string_view(row.code), row.length, parameter);
}

CatCommand BuildCommand(const CatReadRow& row, std::string_view parameter) {
    return BuildCommand(std::string_view(row.code), row.length, parameter);
}

}  // namespace kestrel
