#include "engine/answer_parsers.h"

#include <cstring>

#include "engine/anl_send_thread.h"
#include "menulist/menu_kind.h"
#include "menulist/menu_values.h"
#include "platform/main_window.h"
#include "platform/message.h"
#include "protocol/control_mirror.h"
#include "protocol/notifications.h"
#include "protocol/store_flags.h"

namespace kestrel {

namespace {

// The first and one-past-last field rule of every analysed answer row.
struct RuleSpan {
    uint8_t begin = 0;
    uint8_t end = 0;
};

constexpr std::array<RuleSpan, kAnalysedAnswerRows> MakeRuleSpans() {
    std::array<RuleSpan, kAnalysedAnswerRows> spans{};
    for (size_t i = 0; i < kAnswerFieldRules.size(); ++i) {
        const int row = FindAnswerRow(kAnswerFieldRules[i].code[0], kAnswerFieldRules[i].code[1]);
        RuleSpan& span = spans[static_cast<size_t>(row)];
        if (span.begin == span.end) {
            span.begin = static_cast<uint8_t>(i);
        }
        span.end = static_cast<uint8_t>(i + 1);
    }
    return spans;
}

constexpr std::array<RuleSpan, kAnalysedAnswerRows> kRuleSpans = MakeRuleSpans();
static_assert(kAnswerFieldRules.size() < 256, "rule spans hold byte indices");

// The identification the program works with, and the model literal whose answer carries the
// extended identification number instead.
constexpr char kAcceptedIdentification[] = "0310";
constexpr char kModelLiteral[] = "0747";

// The start-up failure box the main window shows for a wrong identification: string 111.
constexpr uint64_t kStartupBoxParam = 1;
constexpr int64_t kStartupBoxWrongIdent = 3;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads `count` decimal digits from `first`; false when any of them is not a digit.
bool ReadDecimal(const char* answer, int first, int count, int32_t* value) {
    int32_t result = 0;
    for (int i = first; i < first + count; ++i) {
        if (!IsDigit(answer[i])) {
            return false;
        }
        result = result * 10 + (answer[i] - '0');
    }
    *value = result;
    return true;
}

// Stores the rule's value; false, storing nothing, when a character of the field is not a digit.
bool ApplyRule(const AnswerFieldRule& rule, const char* answer) {
    int32_t value = 0;
    if (rule.hex) {
        value = HexDigitValue(answer[rule.first]);
        if (value < 0) {
            return false;
        }
    } else if (!ReadDecimal(answer, rule.first, rule.digits, &value)) {
        return false;
    }
    SetFieldAndMirror(rule.field, value + rule.offset);
    return true;
}

// The general rules: every field of the code, or of the selector's group, is stored on its own;
// the answer counts as parsed only when each of them did, and a selector with no field fails.
bool ParseFields(int row, const char* answer) {
    const RuleSpan span = kRuleSpans[static_cast<size_t>(row)];
    const bool selected = kAnswerFieldRules[span.begin].selector != kNoSelector;
    const int selector = IsDigit(answer[2]) ? answer[2] - '0' : kNoSelector;
    bool matched = false;
    bool parsed = true;
    for (int i = span.begin; i < span.end; ++i) {
        const AnswerFieldRule& rule = kAnswerFieldRules[static_cast<size_t>(i)];
        if (selected && rule.selector != selector) {
            continue;
        }
        matched = true;
        parsed = ApplyRule(rule, answer) && parsed;
    }
    return matched && parsed;
}

bool ParseFieldsOf(const char* code, const char* answer) {
    return ParseFields(FindAnalysedRow(code[0], code[1]), answer);
}

// Sets the meter displays back to zero through the answers the transceiver would send.
void ZeroMeters(const char* smAnswer) {
    AnalyseSyntheticAnswer("RM0000");
    AnalyseSyntheticAnswer("RM2000");
    AnalyseSyntheticAnswer(smAnswer);
}

bool ParseIdentification(const char* answer) {
    int32_t value = 0;
    if (std::strncmp(answer + 2, kModelLiteral, 4) == 0) {
        if (!ReadDecimal(answer, 6, 3, &value)) {
            return false;
        }
        SetField(Field::IDX, value);
        return true;
    }
    const bool parsed = ReadDecimal(answer, 2, 4, &value);
    if (parsed) {
        SetField(Field::ID, value);
    }
    if (std::strncmp(answer + 2, kAcceptedIdentification, 4) == 0) {
        PostStartInitialRead();
    } else {
        // Not the expected transceiver: request 1 ends the connection it has just begun.
        PostConnect();
        PostToMainWindow(kMsgStartupFailure, kStartupBoxParam, kStartupBoxWrongIdent);
    }
    return parsed;
}

// BP and ML carry an on/off answer (any character but "0" means on) or a level answer.
bool ParseOnOffOrLevel(const char* answer, int sensePos, int onOffPos, int levelFirst, Field onOff,
                       Field level) {
    if (answer[sensePos] == '0') {
        SetFieldAndMirror(onOff, answer[onOffPos] != '0' ? 1 : 0);
        return true;
    }
    int32_t value = 0;
    if (!ReadDecimal(answer, levelFirst, 3, &value)) {
        return false;
    }
    SetFieldAndMirror(level, value);
    return true;
}

bool ParseContour(const char* answer) {
    if (answer[3] == '0') {
        const char mode = answer[5];
        SetFieldAndMirror(Field::CO0, mode == '0' ? 0 : (mode == '2' ? 2 : 1));
        return true;
    }
    int32_t value = 0;
    if (!ReadDecimal(answer, 4, 2, &value)) {
        return false;
    }
    SetFieldAndMirror(Field::CO1, value);
    return true;
}

// The meter answers are taken as they come: whatever is not a digit is passed over.
bool ParseMeter(const char* answer) {
    const Field field = IsDigit(answer[2]) && answer[2] != '0' ? Field::RM1 : Field::RM0;
    int32_t value = 0;
    for (int i = 3; i <= 5; ++i) {
        if (IsDigit(answer[i])) {
            value = value * 10 + (answer[i] - '0');
        }
    }
    SetField(field, value);
    return true;
}

bool ParseInformation(int row, const char* answer) {
    const bool parsed = ParseFields(row, answer);
    // The clarifier digits are read leniently; only the sign "-" makes the offset negative.
    double offset = 0.0;
    for (int i = 14; i <= 17; ++i) {
        if (IsDigit(answer[i])) {
            offset = offset * 10.0 + (answer[i] - '0');
        }
    }
    if (answer[13] == '-') {
        offset = -offset;
    }
    SetReal(answer[0] == 'I' ? RealField::IFp13 : RealField::OIp13, offset);
    return parsed;
}

bool ParseIfShift(const char* answer) {
    int sign = 0;
    if (answer[3] == '+') {
        sign = 1;
    } else if (answer[3] == '-') {
        sign = -1;
    }
    int32_t value = 0;
    if (sign == 0 || !ReadDecimal(answer, 4, 4, &value)) {
        return false;
    }
    SetFieldAndMirror(Field::IS, sign * value);
    return true;
}

bool ParseAutoInfo(const char* answer) {
    const int32_t before = GetField(Field::AI);
    if (!ParseFieldsOf("AI", answer)) {
        return false;
    }
    const int32_t now = GetField(Field::AI);
    const bool switchedOn = before != 1 && now == 1;
    if (switchedOn || PowerOffMarker.load(std::memory_order_relaxed) != 0) {
        PostIdentProbe();
        PowerOffMarker.store(0, std::memory_order_relaxed);
    }
    if (switchedOn) {
        if (MainWindow* window = TheMainWindow()) {
            window->SendMessage(kMsgConnectionUp, 0, 0);
        }
    }
    if (now != 0) {
        return true;
    }
    if (AutoInfoSent.load(std::memory_order_relaxed) != 0) {
        // The program asked for automatic information and the transceiver reports it off: ask
        // again, and keep the panel as it is.
        SetMirror(Mirror::AI, 0);
        PostConnect();
        return false;
    }
    PostStopReads();
    ZeroMeters("SM0000");
    return true;
}

bool ParseKeyerText(const char* answer) {
    const int channel = answer[2] - '0';
    if (channel < 1 || channel > kKeyerChannels) {
        return false;
    }
    SetField(Field::KM, channel);
    char text[kKeyerTextSize] = {};
    std::memcpy(text, answer + 3, kKeyerTextSize - 1);
    StoreKeyerText(channel, kKeyerTextSize - 1, text);
    return true;
}

bool ParseReset(const char* answer) {
    if (!ParseFieldsOf("RS", answer)) {
        return false;
    }
    if (GetField(Field::RS) == 2) {
        PostStartMenuRead();
    }
    return true;
}

bool ParseMode(const char* answer) {
    if (!ParseFieldsOf("MD", answer)) {
        return false;
    }
    const int mode = HexDigitValue(answer[3]);
    int32_t filterClass = 0;
    if (mode == 4 || mode == 11) {
        filterClass = 2;
    } else if (mode == 5) {
        filterClass = 1;
    }
    SetMirror(Mirror::MDFilter, filterClass);
    return true;
}

bool ParsePower(const char* answer) {
    if (!IsDigit(answer[2])) {
        return false;
    }
    // The PS mirror still holds the last state heard, so it is written only after the compare.
    SetField(Field::PS, answer[2] - '0');
    const int32_t power = GetField(Field::PS);
    if (power == GetMirror(Mirror::PS)) {
        return true;
    }
    if (power == 1) {
        if (SavedAutoInfo.load(std::memory_order_relaxed) != 0) {
            // Connected when it was switched off: connect again, and identify it on the AI answer.
            PowerOffMarker.store(1, std::memory_order_relaxed);
            SetMirror(Mirror::AI, 0);
            PostConnect();
        }
    } else {
        SavedAutoInfo.store(GetMirror(Mirror::AI), std::memory_order_relaxed);
        ZeroMeters("SM1000");
        PostStopReads();
    }
    SetMirror(Mirror::PS, power);
    return true;
}

bool ParseRingInfo(const char* answer) {
    if (GetField(Field::AI) != 1) {
        return false;
    }
    ParseFieldsOf("RI", answer);
    return true;
}

bool ParseBandGroup(const char* answer) {
    int32_t value = 0;
    if (!ReadDecimal(answer, 3, 2, &value)) {
        return false;
    }
    switch (answer[2]) {
        case '0':
            SetField(Field::BG0, value);
            return true;
        case '1':
            SetField(Field::BG1, value);
            SetField(Field::BG2, -1);
            return true;
        case '2':
            SetField(Field::BG1, -1);
            SetField(Field::BG2, value);
            return true;
        default:
            return false;
    }
}

bool ParseEqualizer(const char* answer) {
    // The program reads and writes the processor equalizer with P1 "2"; "1" names the same group.
    int p1 = -1;
    if (answer[2] == '0') {
        p1 = 0;
    } else if (answer[2] == '1' || answer[2] == '2') {
        p1 = 1;
    }
    const int p2 = answer[3] - '0';
    const int p3 = answer[4] - '0';
    if (p1 < 0 || p2 < 0 || p2 > 2 || p3 < 0 || p3 > 2) {
        return false;
    }
    int32_t value = 0;
    if (p3 == 1) {
        if (!ReadDecimal(answer, 6, 2, &value)) {
            return false;
        }
        if (answer[5] == '-') {
            value = -value;
        }
    } else if (!ReadDecimal(answer, 5, 3, &value)) {
        return false;
    }
    SetPE(p1, p2, p3, value);
    return true;
}

bool ParseDspControl(const char* answer) {
    if (IsDigit(answer[3])) {
        SetField(Field::KC, answer[3] - '0');
    }
    return true;
}

// Converts a menu value field by the item's kind; false when the field is malformed.
bool ConvertMenuValue(const char* field, int width, MenuAnswerField form, int64_t* value) {
    int64_t result = 0;
    if (form == MenuAnswerField::Bits) {
        // A set of bits, the first character weighing 4096.
        for (int i = 0; i < width; ++i) {
            if (field[i] != '0' && field[i] != '1') {
                return false;
            }
            if (field[i] == '1' && i < 13) {
                result += int64_t{4096} >> i;
            }
        }
        *value = result;
        return true;
    }
    int i = 0;
    bool negative = false;
    if (field[0] == '+' || field[0] == '-') {
        negative = field[0] == '-';
        i = 1;
    }
    if (i == width) {
        return false;
    }
    for (; i < width; ++i) {
        if (!IsDigit(field[i]) || result > 100'000'000'000LL) {
            return false;
        }
        result = result * 10 + (field[i] - '0');
    }
    if (negative) {
        result = -result;
    }
    if (form == MenuAnswerField::Seconds) {
        result = MenuSecondsOfCode(result);
    }
    *value = result;
    return true;
}

// Returns the notification a changed value of this kind also raises, or 0.
uint32_t MenuKindNotification(const MenuKindProperties& kind) {
    return kind.alsoNotifies.empty() ? 0 : AnswerNotification(kind.alsoNotifies);
}

constexpr bool MenuKindNotificationsExist() {
    for (const MenuKindProperties& kind : kMenuKinds) {
        if (!kind.alsoNotifies.empty() && AnswerNotification(kind.alsoNotifies) == 0) {
            return false;
        }
    }
    return true;
}
static_assert(MenuKindNotificationsExist(), "menu kinds notify through catalogued answer codes");

}  // namespace

bool ParseAnswer(int row, const AnswerBuffer& buffer) {
    const char* answer = buffer.Text();
    if (row < 0 || row >= kAnalysedAnswerRows) {
        return false;
    }
    switch (kAnswerParsers[static_cast<size_t>(row)].parser) {
        case AnswerParser::Fields:
            return ParseFields(row, answer);
        case AnswerParser::Identification:
            return ParseIdentification(answer);
        case AnswerParser::BandPass:
            return ParseOnOffOrLevel(answer, 3, 6, 4, Field::BP0, Field::BP1);
        case AnswerParser::Contour:
            return ParseContour(answer);
        case AnswerParser::Monitor:
            return ParseOnOffOrLevel(answer, 2, 5, 3, Field::ML0, Field::ML1);
        case AnswerParser::Meter:
            return ParseMeter(answer);
        case AnswerParser::Information:
            return ParseInformation(row, answer);
        case AnswerParser::IfShift:
            return ParseIfShift(answer);
        case AnswerParser::AutoInfo:
            return ParseAutoInfo(answer);
        case AnswerParser::KeyerText:
            return ParseKeyerText(answer);
        case AnswerParser::Reset:
            return ParseReset(answer);
        case AnswerParser::Mode:
            return ParseMode(answer);
        case AnswerParser::Power:
            return ParsePower(answer);
        case AnswerParser::RingInfo:
            return ParseRingInfo(answer);
        case AnswerParser::BandGroup:
            return ParseBandGroup(answer);
        case AnswerParser::Equalizer:
            return ParseEqualizer(answer);
        case AnswerParser::DspControl:
            return ParseDspControl(answer);
        case AnswerParser::Nothing:
            return true;
    }
    return false;
}

bool ParseMenuAnswer(const AnswerBuffer& buffer, uint32_t* extraNotification) {
    const char* answer = buffer.Text();
    *extraNotification = 0;
    int32_t number = 0;
    if (!ReadDecimal(answer, 2, 3, &number)) {
        return false;
    }
    // MenuAnswerWidth applies the menu-width correction that the framing applied to the length.
    const int width = MenuAnswerWidth(number);
    constexpr int kValueFirst = 5;
    if (width <= 0 || width >= static_cast<int>(kAnswerBufferSize) - kValueFirst) {
        return false;
    }
    const MenuKindProperties kind = MenuKindOf(static_cast<uint32_t>(MenuItemKind(number)));
    int64_t value = 0;
    if (!ConvertMenuValue(answer + kValueFirst, width, kind.answer, &value)) {
        return false;
    }
    if (!ReplaceMenuItemValue(number, value)) {
        return false;
    }
    *extraNotification = MenuKindNotification(kind);
    return true;
}

void AnalyseSyntheticAnswer(const char* text) {
    const AnswerBuffer answer(text);
    const int row = FindAnalysedRow(answer.Text()[0], answer.Text()[1]);
    if (row >= 0 && ParseAnswer(row, answer)) {
        PostToMainWindow(CatAnswerTable[static_cast<size_t>(row)].notification);
    }
}

}  // namespace kestrel
