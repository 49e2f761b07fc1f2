#include "sim/transceiver.h"

#include <algorithm>
#include <cstdlib>

#include "menulist/menu_catalogue.h"
#include "menulist/menu_item.h"
#include "menulist/menu_kind.h"
#include "sim/sim_field_table.h"
#include "sim/sim_text.h"

namespace kestrel {

namespace {

// The radio's command buffer: a command longer than this without ";" is line garbage.
constexpr size_t kMaxCommandLength = 64;
// What "ID;" answers, and what it answers while the wrong-identification fault runs.
constexpr std::string_view kIdAnswer = "ID0310;";
constexpr std::string_view kWrongIdAnswer = "ID0650;";
constexpr std::string_view kModelLiteral = "0747";
// Menu items that share their values with other commands.
constexpr int kFirstEqualizerItem = 91;  // PE a b c is item 91 + 9 (processor) + 3b + c
constexpr int kTxPowerItem = 111;        // the PC value
constexpr int kQuickSplitItem = 30;      // kHz added by QS
constexpr int kDialStepItem = 84;        // 1, 5 or 10 Hz per encoder pulse
constexpr int kPulsesPerDetent = 10;
// The two equalizer selectors the program uses for the normal and the processor equalizer.
constexpr char kPeNormal = '0';
constexpr char kPeProcessor = '2';
// The rotator's speed changes 2 % per command.
constexpr int kRotatorSpeedStep = 2;
// A tuner cycle (AC002) takes this long before the tuner reports itself on.
constexpr int64_t kTuneMs = 2500;

bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

// The menu catalogue records the radio takes its item layouts from, built once.
const MenuItem& MenuRecord(int number) {
    static const std::array<MenuItem, kSimMenuItems> records = [] {
        std::array<MenuItem, kSimMenuItems> all{};
        for (int n = 1; n <= kSimMenuItems; ++n) {
            all[static_cast<size_t>(n - 1)] = CatalogueMenuItem(n);
        }
        return all;
    }();
    return records[static_cast<size_t>(number - 1)];
}

// Reports whether a menu value is one the item accepts.
bool MenuValueValid(const MenuItem& item, int64_t value) {
    const auto lo = static_cast<int64_t>(std::min(item.minValue, item.maxValue));
    const auto hi = static_cast<int64_t>(std::max(item.minValue, item.maxValue));
    switch (MenuKindOf(item.kind).show) {
        case MenuShow::Choice:
            return value >= 0 && value < static_cast<int64_t>(item.choiceCount);
        case MenuShow::FirstChoiceAt1000:
            return value == 1000 || (value >= lo && value <= hi);
        case MenuShow::Bit:
            return value >= 0 && value < (int64_t{1} << 13);
        case MenuShow::OffOrNumber:
            return value == 0 || (value >= lo && value <= hi);
        case MenuShow::OffOrSeconds:
            return value >= 0 && value <= 255;
        case MenuShow::Number:
        case MenuShow::Negated:
        case MenuShow::Tenths:
        case MenuShow::Thousandths:
            return value >= lo && value <= hi;
    }
    return false;
}

// Writes a menu value into a field of `width` characters by the item's kind.
std::string EncodeMenuValue(uint32_t kind, int64_t value, int width) {
    switch (MenuKindOf(kind).write) {
        case MenuWriteField::Bits: {
            std::string bits(static_cast<size_t>(width), '0');
            for (int i = 0; i < width; ++i) {
                const int bit = 12 - i;
                if (bit >= 0 && ((value >> bit) & 1) != 0) {
                    bits[static_cast<size_t>(i)] = '1';
                }
            }
            return bits;
        }
        case MenuWriteField::Signed:
            return (value < 0 ? "-" : "+") + SimDigits(value, width - 1);
        case MenuWriteField::Digits:
        case MenuWriteField::Zeros:
            break;
    }
    return SimDigits(value, width);
}

// Reads a menu value field by the item's kind.
std::optional<int64_t> DecodeMenuValue(uint32_t kind, std::string_view field) {
    if (field.empty()) {
        return std::nullopt;
    }
    const MenuWriteField form = MenuKindOf(kind).write;
    if (form == MenuWriteField::Bits) {
        int64_t value = 0;
        for (size_t i = 0; i < field.size(); ++i) {
            if (field[i] != '0' && field[i] != '1') {
                return std::nullopt;
            }
            const int bit = 12 - static_cast<int>(i);
            if (field[i] == '1' && bit >= 0) {
                value |= int64_t{1} << bit;
            }
        }
        return value;
    }
    if (form == MenuWriteField::Signed && (field[0] == '+' || field[0] == '-')) {
        const auto magnitude = SimParseDigits(field.substr(1));
        if (!magnitude) {
            return std::nullopt;
        }
        return field[0] == '-' ? -*magnitude : *magnitude;
    }
    return SimParseDigits(field);
}

// Returns the menu item a PE selector triple addresses, or 0.
int EqualizerItem(char bank, char band, char quantity) {
    if (bank != '0' && bank != '1' && bank != '2') {
        return 0;
    }
    if (band < '0' || band > '2' || quantity < '0' || quantity > '2') {
        return 0;
    }
    return kFirstEqualizerItem + (bank == '0' ? 0 : 9) + 3 * (band - '0') + (quantity - '0');
}

std::string Signed4(int value) {
    return (value < 0 ? "-" : "+") + SimDigits(value, 4);
}

}  // namespace

Transceiver::Transceiver(ByteSink& sink, SimOptions options)
    : sink_(sink), options_(options), state_(InitialSimState()), rng_(options.seed) {
    // Everything a change can show up in, in the order the radio reports it.
    for (const SimFieldRow& row : SimFieldTable) {
        if (FindAnswerRow(std::string_view(row.code, 2)) < 0) {
            continue;
        }
        if (row.layout == SimLayout::Plain) {
            reportReads_.emplace_back(row.code, "");
        } else {
            for (int sel = 0; sel < row.selectors; ++sel) {
                reportReads_.emplace_back(row.code, std::string(1, static_cast<char>('0' + sel)));
            }
        }
    }
    const std::pair<const char*, const char*> special[] = {
        {"BP", "00"}, {"BP", "01"}, {"CO", "00"}, {"CO", "01"}, {"AN", "0"}, {"AC", ""},
        {"ML", "0"},  {"ML", "1"},  {"TX", ""},   {"IF", ""},   {"OI", ""},  {"VF", "0"},
        {"VF", "1"},  {"IS", "0"},  {"BY", ""},   {"RO", ""},   {"KC", "0"}, {"LM", "0"},
        {"LM", "1"},  {"PB", "0"},  {"PB", "1"},  {"BG", "0"},  {"BG", "1"}, {"BG", "2"}};
    for (const auto& [code, param] : special) {
        reportReads_.emplace_back(code, param);
    }
    for (int memory = 1; memory <= kSimKeyerMemories; ++memory) {
        reportReads_.emplace_back("KM", std::to_string(memory));
    }
    for (int sel = 0; sel <= 8; ++sel) {
        reportReads_.emplace_back("RI", std::to_string(sel));
    }
    for (char bank : {kPeNormal, kPeProcessor}) {
        for (char band = '0'; band <= '2'; ++band) {
            for (char quantity = '0'; quantity <= '2'; ++quantity) {
                reportReads_.emplace_back("PE", std::string{bank, band, quantity});
            }
        }
    }
    for (int number = 1; number <= kSimMenuItems; ++number) {
        reportReads_.emplace_back("EX", SimDigits(number, 3));
    }
}

Transceiver::~Transceiver() {
    Stop();
}

void Transceiver::SetLinkControl(LinkControl* link) {
    std::lock_guard lock(mutex_);
    link_ = link;
}

void Transceiver::Receive(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    if (faultOn_[static_cast<size_t>(SimFault::Silence)]) {
        return;
    }
    for (char c : bytes) {
        if (c == ';') {
            const std::string command = input_ + ';';
            input_.clear();
            HandleCommand(command, true);
        } else if (input_.size() < kMaxCommandLength) {
            input_ += c;
        } else {
            // An overlong run without a terminator is noise; the radio starts afresh.
            input_.clear();
        }
    }
}

bool Transceiver::Apply(std::string_view command) {
    std::lock_guard lock(mutex_);
    if (command.empty() || command.back() != ';') {
        return false;
    }
    const bool taken = Execute(command, false);
    if (taken) {
        ReportChanges();
    }
    return taken;
}

std::string Transceiver::AnswerTo(std::string_view read) const {
    std::lock_guard lock(mutex_);
    if (read.size() < 3 || read.back() != ';') {
        return "";
    }
    return AnswerLocked(read.substr(0, 2), read.substr(2, read.size() - 3));
}

void Transceiver::HandleCommand(std::string_view command, bool fromLine) {
    if (Execute(command, fromLine)) {
        ReportChanges();
    } else if (fromLine) {
        Answer("?;");
    }
}

bool Transceiver::Execute(std::string_view command, bool fromLine) {
    if (command.size() < 3 || !IsUpper(command[0]) || !IsUpper(command[1])) {
        return false;
    }
    const std::string_view code = command.substr(0, 2);
    const std::string_view param = command.substr(2, command.size() - 3);
    if (code == "PS") {
        return HandlePower(param, fromLine);
    }
    if (state_.ps == 0 || booting_) {
        // Switched off, the radio listens for nothing but the power command.
        return true;
    }
    if (code == "ID") {
        return HandleId(param, fromLine);
    }
    if (code == "AI") {
        return HandleAutoInfo(param, fromLine);
    }
    if (code == "EX") {
        return HandleEx(param, fromLine);
    }
    if (code == "PE") {
        return HandlePe(param, fromLine);
    }
    const std::string answer = AnswerLocked(code, param);
    if (!answer.empty()) {
        if (fromLine) {
            Answer(answer);
        }
        return true;
    }
    if (const SimFieldRow* row = FindSimField(code)) {
        if (!row->settable) {
            return false;
        }
        const size_t selectorWidth = row->layout == SimLayout::Selector ? 1 : 0;
        if (param.size() != selectorWidth + static_cast<size_t>(row->width)) {
            return false;
        }
        int sel = 0;
        if (row->layout == SimLayout::Selector) {
            sel = param[0] - '0';
            if (sel < 0 || sel >= row->selectors) {
                return false;
            }
        }
        const std::string_view field = param.substr(selectorWidth);
        std::optional<int64_t> value;
        if (row->hex) {
            value = SimParseHex(field[0]);
        } else {
            value = SimParseDigits(field);
        }
        if (!value || *value < row->min || *value > row->max) {
            return false;
        }
        int& target = row->pair != nullptr ? (state_.*(row->pair))[static_cast<size_t>(sel)]
                                           : state_.*(row->single);
        target = static_cast<int>(*value);
        if (code == "PC") {
            state_.menu[kTxPowerItem - 1] = state_.pc;
        } else if (code == "MC" && state_.vm != 0) {
            const SimMemory& memory = state_.memories[static_cast<size_t>(state_.mc - 1)];
            state_.fa = memory.frequency;
            state_.md[0] = memory.mode;
        } else if (code == "SC") {
            nextScanMs_ = Rt().NowMs();
        }
        return true;
    }
    return ExecuteSpecial(code, param, fromLine) || ExecuteSetOnly(code, param);
}

bool Transceiver::HandleId(std::string_view param, bool fromLine) {
    if (param.empty()) {
        if (fromLine) {
            Answer(faultOn_[static_cast<size_t>(SimFault::WrongId)] ? kWrongIdAnswer : kIdAnswer);
        }
        return true;
    }
    if (param == kModelLiteral) {
        // Older firmware does not know the extended identification and stays silent.
        if (fromLine && options_.answerExtendedId) {
            Answer(AnswerLocked("ID", param));
        }
        return true;
    }
    return false;
}

bool Transceiver::HandlePower(std::string_view param, bool fromLine) {
    if (param.empty()) {
        if (fromLine) {
            Answer(AnswerLocked("PS", ""));
        }
        return true;
    }
    if (param == "0") {
        if (state_.ps == 1 && !booting_) {
            if (Reporting()) {
                Emit("PS0;");
            }
            PowerOff();
        } else if (booting_) {
            booting_ = false;
        }
        return true;
    }
    if (param == "1") {
        if (state_.ps == 0 && !booting_) {
            booting_ = true;
            bootDoneMs_ = Rt().NowMs() + options_.powerOnDelayMs;
        }
        return true;
    }
    return false;
}

bool Transceiver::HandleAutoInfo(std::string_view param, bool fromLine) {
    if (param.empty()) {
        if (fromLine) {
            Answer(AnswerLocked("AI", ""));
        }
        return true;
    }
    if (param != "0" && param != "1") {
        return false;
    }
    const int value = param[0] - '0';
    if (value == state_.ai) {
        return true;
    }
    state_.ai = value;
    if (value == 1 && !faultOn_[static_cast<size_t>(SimFault::Silence)]) {
        // The switch itself is the first report; the changes that follow are measured from here.
        Emit("AI1;");
        Rebaseline();
    }
    return true;
}

int Transceiver::ExWidth(int number) const {
    const MenuItem& item = MenuRecord(number);
    const int extended = options_.answerExtendedId ? options_.extendedId : 0;
    // Older firmware (no extended identification) has one digit less for the two middle
    // equalizer frequencies while automatic information is on; the program measures the answer
    // the same way.
    if (MenuKindOf(item.kind).narrowing == MenuNarrowing::AnswerAndWrite && extended == 0 &&
        state_.ai != 0) {
        return static_cast<int>(item.width) - 1;
    }
    return static_cast<int>(item.width);
}

std::string Transceiver::ExAnswer(int number) const {
    const MenuItem& item = MenuRecord(number);
    return "EX" + SimDigits(number, 3) +
           EncodeMenuValue(item.kind, state_.menu[static_cast<size_t>(number - 1)],
                           ExWidth(number)) +
           ";";
}

bool Transceiver::HandleEx(std::string_view param, bool fromLine) {
    if (param.size() < 3) {
        return false;
    }
    const auto number = SimParseDigits(param.substr(0, 3));
    if (!number || *number < 1 || *number > kSimMenuItems) {
        return false;
    }
    const int n = static_cast<int>(*number);
    if (param.size() == 3) {
        if (fromLine) {
            Answer(ExAnswer(n));
        }
        return true;
    }
    const MenuItem& item = MenuRecord(n);
    const std::string_view field = param.substr(3);
    const auto width = static_cast<int>(field.size());
    const bool widthOk = width == static_cast<int>(item.width) || width == ExWidth(n) ||
                         (MenuKindOf(item.kind).narrowing != MenuNarrowing::None &&
                          width == static_cast<int>(item.width) - 1);
    if (!widthOk) {
        return false;
    }
    const auto value = DecodeMenuValue(item.kind, field);
    if (!value || !MenuValueValid(item, *value)) {
        return false;
    }
    state_.menu[static_cast<size_t>(n - 1)] = static_cast<int>(*value);
    if (n == kTxPowerItem) {
        state_.pc = state_.menu[kTxPowerItem - 1];
    }
    return true;
}

bool Transceiver::HandlePe(std::string_view param, bool fromLine) {
    if (param.size() != 3 && param.size() != 6) {
        return false;
    }
    const int item = EqualizerItem(param[0], param[1], param[2]);
    if (item == 0) {
        return false;
    }
    if (param.size() == 3) {
        if (fromLine) {
            Answer(AnswerLocked("PE", param));
        }
        return true;
    }
    const std::string_view field = param.substr(3);
    std::optional<int64_t> value;
    if (param[2] == '1') {
        // The level: a sign and two digits; the program writes 0 as "000".
        const auto magnitude = SimParseDigits(field.substr(1));
        if (field[0] == '-' && magnitude) {
            value = -*magnitude;
        } else if ((field[0] == '+' || field[0] == '0') && magnitude) {
            value = *magnitude;
        }
    } else {
        value = SimParseDigits(field);
    }
    if (!value || !MenuValueValid(MenuRecord(item), *value)) {
        return false;
    }
    state_.menu[static_cast<size_t>(item - 1)] = static_cast<int>(*value);
    return true;
}

std::string Transceiver::AnswerLocked(std::string_view code, std::string_view param) const {
    const SimState& s = state_;
    const std::string c(code);
    auto one = [&](std::string_view p) { return param == p; };
    auto sel01 = [&]() -> int {
        return param.size() == 1 && (param[0] == '0' || param[0] == '1') ? param[0] - '0' : -1;
    };
    if (state_.ps == 0 || booting_) {
        return code == "PS" && param.empty() ? "PS0;" : "";
    }
    if (const SimFieldRow* row = FindSimField(code)) {
        if (FindAnswerRow(code) < 0) {
            return "";
        }
        if (row->layout == SimLayout::Plain) {
            if (!param.empty()) {
                return "";
            }
            return c + SimDigits(s.*(row->single), row->width) + ";";
        }
        if (param.size() != 1 || param[0] < '0' || param[0] >= '0' + row->selectors) {
            return "";
        }
        const int sel = param[0] - '0';
        const int value =
            row->pair != nullptr ? (s.*(row->pair))[static_cast<size_t>(sel)] : s.*(row->single);
        return c + std::string(param) +
               (row->hex ? std::string(1, SimHexDigit(value)) : SimDigits(value, row->width)) + ";";
    }
    if (code == "ID") {
        if (param.empty()) {
            return std::string(kIdAnswer);
        }
        if (param == kModelLiteral && options_.answerExtendedId) {
            return "ID0747" + SimDigits(options_.extendedId, 3) + ";";
        }
        return "";
    }
    if (code == "PS" && param.empty()) {
        return "PS1;";
    }
    if (code == "AI" && param.empty()) {
        return "AI" + std::to_string(s.ai) + ";";
    }
    if (code == "EX") {
        const auto number = param.size() == 3 ? SimParseDigits(param) : std::nullopt;
        return number && *number >= 1 && *number <= kSimMenuItems
                   ? ExAnswer(static_cast<int>(*number))
                   : "";
    }
    if (code == "PE") {
        const int item = param.size() == 3 ? EqualizerItem(param[0], param[1], param[2]) : 0;
        if (item == 0) {
            return "";
        }
        const int value = s.menu[static_cast<size_t>(item - 1)];
        return "PE" + std::string(param) +
               (param[2] == '1' ? (value < 0 ? "-" : "+") + SimDigits(value, 2)
                                : SimDigits(value, 3)) +
               ";";
    }
    if (code == "BP") {
        if (one("00")) {
            return "BP0000" + std::to_string(s.bpOn) + ";";
        }
        return one("01") ? "BP01" + SimDigits(s.bpLevel, 3) + ";" : "";
    }
    if (code == "CO") {
        if (one("00")) {
            return "CO000" + std::to_string(s.coMode) + ";";
        }
        return one("01") ? "CO01" + SimDigits(s.coLevel, 2) + ";" : "";
    }
    if (code == "AN") {
        return one("0") ? "AN0" + std::to_string(s.an) + "0;" : "";
    }
    if (code == "AC") {
        return param.empty() ? "AC00" + std::to_string(s.ac) + ";" : "";
    }
    if (code == "ML") {
        if (one("0")) {
            return "ML000" + std::to_string(s.mlOn) + ";";
        }
        return one("1") ? "ML1" + SimDigits(s.mlLevel, 3) + ";" : "";
    }
    if (code == "TX") {
        if (!param.empty()) {
            return "";
        }
        return "TX" + std::to_string(s.Transmitting() ? (s.catTx != 0 ? s.catTx : 1) : 0) + ";";
    }
    if ((code == "IF" || code == "OI") && param.empty()) {
        const size_t v = code == "IF" ? 0 : 1;
        return c + SimDigits(s.mc, 3) + SimDigits(v == 0 ? s.fa : s.fb, 8) + Signed4(s.clarifier) +
               std::to_string(s.rt) + std::to_string(s.xt) + SimHexDigit(s.md[v]) +
               std::to_string(s.vm) + std::to_string(s.ct[v]) + SimDigits(s.cn[v], 2) +
               std::to_string(s.os[v]) + ";";
    }
    if (code == "VF") {
        const int v = sel01();
        return v < 0 ? ""
                     : "VF" + std::string(param) + std::to_string(s.vfOn[static_cast<size_t>(v)]) +
                           SimDigits(s.vfValue[static_cast<size_t>(v)], 3) + "0;";
    }
    if (code == "IS") {
        return one("0") ? "IS0" + Signed4(s.is) + ";" : "";
    }
    if (code == "BY") {
        const bool busy = !s.Transmitting() && s.sMain > s.sq[0] && s.sMain >= 40;
        return param.empty() ? std::string("BY") + (busy ? '1' : '0') + "0;" : "";
    }
    if (code == "RO") {
        return param.empty() ? "RO" + std::to_string(s.rotatorMotion) +
                                   SimDigits(static_cast<int>(s.rotatorAngle), 3) +
                                   SimDigits(s.rotatorSpeed, 3) + ";"
                             : "";
    }
    if (code == "SM") {
        const int v = sel01();
        return v < 0 ? ""
                     : "SM" + std::string(param) + SimDigits(v == 0 ? s.sMain : s.sSub, 3) + ";";
    }
    if (code == "RM") {
        if (param.size() != 1 || param[0] < '0' || param[0] > '6') {
            return "";
        }
        const int values[] = {
            s.Transmitting() ? s.po : s.sMain, s.comp, s.alc, s.po, s.swr, s.idd, s.vdd};
        return "RM" + std::string(param) + SimDigits(values[param[0] - '0'], 3) + ";";
    }
    if (code == "KM") {
        if (param.size() != 1 || param[0] < '1' || param[0] > '5') {
            return "";
        }
        std::string text = s.keyerText[static_cast<size_t>(param[0] - '1')];
        text.resize(kSimKeyerTextLength, ' ');
        return "KM" + std::string(param) + text + ";";
    }
    if (code == "RI") {
        if (param.size() != 1 || param[0] < '0' || param[0] > '8') {
            return "";
        }
        const bool tx = s.Transmitting();
        const int lamps[] = {
            tx && s.swr > 100 ? 1 : 0,     s.pr == 2 ? 1 : 0, 0, s.recordingChannel != 0 ? 1 : 0,
            s.playingChannel != 0 ? 1 : 0, tx ? 1 : 0,        0, s.fr != 4 ? 1 : 0,
            s.fr == 0 || s.fr == 5 ? 1 : 0};
        return "RI" + std::string(param) + SimHexDigit(lamps[param[0] - '0']) + ";";
    }
    if (code == "BG") {
        if (param.size() != 1 || param[0] < '0' || param[0] > '2') {
            return "";
        }
        const int bars[] = {std::min(5, s.sh / 4), std::clamp(11 + s.clarifier / 50, 0, 21),
                            s.vfValue[0] * 11 / 255};
        return "BG" + std::string(param) + SimDigits(bars[param[0] - '0'], 2) + ";";
    }
    if (code == "LM" || code == "PB") {
        const int v = sel01();
        if (v < 0) {
            return "";
        }
        const int value = code == "LM" ? (v == 0 ? s.recordingChannel : s.lmFlag)
                                       : (v == 0 ? s.playingChannel : s.pbFlag);
        return c + std::string(param) + std::to_string(value) + ";";
    }
    if (code == "KC") {
        return one("0") ? "KC0" + std::to_string(s.kc) + ";" : "";
    }
    return "";
}

bool Transceiver::ExecuteSpecial(std::string_view code, std::string_view param, bool) {
    SimState& s = state_;
    const int64_t now = Rt().NowMs();
    if (code == "BP" && param.size() == 5 && param[0] == '0') {
        const auto value = SimParseDigits(param.substr(2));
        if (!value) {
            return false;
        }
        if (param[1] == '0' && *value <= 1) {
            s.bpOn = static_cast<int>(*value);
            return true;
        }
        if (param[1] == '1' && *value <= 300) {
            s.bpLevel = static_cast<int>(*value);
            return true;
        }
        return false;
    }
    if (code == "CO" && param.size() == 4 && param[0] == '0') {
        const auto value = SimParseDigits(param.substr(2));
        if (!value) {
            return false;
        }
        if (param[1] == '0' && *value <= 2) {
            s.coMode = static_cast<int>(*value);
            return true;
        }
        if (param[1] == '1' && *value <= 30) {
            s.coLevel = static_cast<int>(*value);
            return true;
        }
        return false;
    }
    if (code == "AN" && param.size() == 2 && param[0] == '0') {
        if (param[1] == '1' || param[1] == '2') {
            s.an = param[1] - '0';
            return true;
        }
        if (param[1] == '5') {
            s.an = 3 - s.an;
            return true;
        }
        return false;
    }
    if (code == "AC" && param.size() == 3 && param.substr(0, 2) == "00") {
        const int value = param[2] - '0';
        if (value < 0 || value > 2) {
            return false;
        }
        s.ac = value;
        if (value == 2) {
            tuneEndMs_ = now + kTuneMs;
        }
        return true;
    }
    if (code == "ML" && param.size() == 4) {
        const auto value = SimParseDigits(param.substr(1));
        if (!value) {
            return false;
        }
        if (param[0] == '0' && *value <= 1) {
            s.mlOn = static_cast<int>(*value);
            return true;
        }
        if (param[0] == '1' && *value <= 255) {
            s.mlLevel = static_cast<int>(*value);
            return true;
        }
        return false;
    }
    if (code == "TX" && param.size() == 1) {
        if (param[0] == '0') {
            s.mx = 0;
            s.catTx = 0;
            s.keyerPlaying = 0;
            return true;
        }
        if (param[0] == '1' || param[0] == '2') {
            s.catTx = param[0] - '0';
            return true;
        }
        return false;
    }
    if ((code == "IF" || code == "OI") && param.size() == 24) {
        const auto mc = SimParseDigits(param.substr(0, 3));
        const auto freq = SimParseDigits(param.substr(3, 8));
        const auto offset = SimParseDigits(param.substr(12, 4));
        const auto mode = SimParseHex(param[18]);
        const auto cn = SimParseDigits(param.substr(21, 2));
        const bool sign = param[11] == '+' || param[11] == '-';
        const bool flags = param[16] >= '0' && param[16] <= '1' && param[17] >= '0' &&
                           param[17] <= '1' && param[19] >= '0' && param[19] <= '1' &&
                           param[20] >= '0' && param[20] <= '2' && param[23] >= '0' &&
                           param[23] <= '2';
        if (!mc || !freq || !offset || !mode || !cn || !sign || !flags || *mc < 1 ||
            *mc > kSimMemoryChannels || *freq < 30000 || *freq > 60000000 || *offset > 9999 ||
            *mode < 1 || *mode > 12 || *cn > 49) {
            return false;
        }
        const size_t v = code == "IF" ? 0 : 1;
        s.mc = static_cast<int>(*mc);
        (v == 0 ? s.fa : s.fb) = static_cast<int>(*freq);
        s.clarifier = static_cast<int>(param[11] == '-' ? -*offset : *offset);
        s.rt = param[16] - '0';
        s.xt = param[17] - '0';
        s.md[v] = *mode;
        s.vm = param[19] - '0';
        s.ct[v] = param[20] - '0';
        s.cn[v] = static_cast<int>(*cn);
        s.os[v] = param[23] - '0';
        return true;
    }
    if (code == "VF" && param.size() == 4 && (param[0] == '0' || param[0] == '1')) {
        const auto v = static_cast<size_t>(param[0] - '0');
        if (param[1] == '1' && (param[2] == '+' || param[2] == '-') && param[3] >= '0' &&
            param[3] <= '9') {
            // Turning the u-TUNE knob moves the peak by the given number of steps.
            const int step = (param[3] - '0') * (param[2] == '-' ? -1 : 1);
            s.vfValue[v] = std::clamp(s.vfValue[v] + step, 0, 255);
            return true;
        }
        if ((param[1] == '0' || param[1] == '1') && param.substr(2) == "00") {
            s.vfOn[v] = param[1] - '0';
            return true;
        }
        return false;
    }
    if (code == "IS" && param.size() == 6 && param[0] == '0' &&
        (param[1] == '+' || param[1] == '-')) {
        const auto value = SimParseDigits(param.substr(2));
        if (!value || *value > 1000) {
            return false;
        }
        s.is = static_cast<int>(param[1] == '-' ? -*value : *value);
        return true;
    }
    if (code == "RO" && param.size() == 1) {
        switch (param[0]) {
            case '0':
                s.rotatorMotion = 0;
                return true;
            case '1':
            case '2':
                s.rotatorMotion = param[0] - '0';
                return true;
            case '3':
                s.rotatorSpeed = std::max(0, s.rotatorSpeed - kRotatorSpeedStep);
                return true;
            case '4':
                s.rotatorSpeed = std::min(100, s.rotatorSpeed + kRotatorSpeedStep);
                return true;
            default:
                return false;
        }
    }
    if (code == "KM" && param.size() >= 2 && param.size() <= 1 + kSimKeyerTextLength &&
        param[0] >= '1' && param[0] <= '5') {
        const std::string_view text = param.substr(1);
        for (char ch : text) {
            if ((ch < 0x20 || ch > 0x5F) && ch != '}') {
                return false;
            }
        }
        std::string stored(text);
        stored.erase(stored.find_last_not_of(' ') + 1);
        s.keyerText[static_cast<size_t>(param[0] - '1')] = stored;
        return true;
    }
    if ((code == "LM" || code == "PB") && param.size() == 2) {
        const bool record = code == "LM";
        if (param[0] == '0' && param[1] >= '0' && param[1] <= '5') {
            const int channel = param[1] - '0';
            if (record) {
                channel == 0 ? StopRecording() : StartRecording(channel);
            } else {
                channel == 0 ? StopPlayback() : StartPlayback(channel);
            }
            return true;
        }
        if (param[0] == '1' && (param[1] == '0' || param[1] == '1')) {
            (record ? s.lmFlag : s.pbFlag) = param[1] - '0';
            return true;
        }
        return false;
    }
    if (code == "KC" && param.size() == 3 && param[0] == '0' && param[1] >= '1' &&
        param[1] <= '7' && param[2] >= '0' && param[2] <= '9') {
        const int key = param[1] - '0';
        // Keys 1 to 5 share one lamp group; 6 and 7 act without a lamp.
        if (key <= 5) {
            if (param[2] != '0') {
                s.kc = key;
            } else if (s.kc == key) {
                s.kc = 0;
            }
        }
        return true;
    }
    return false;
}

bool Transceiver::ExecuteSetOnly(std::string_view code, std::string_view param) {
    SimState& s = state_;
    if (param.empty()) {
        if (code == "AB") {
            s.fb = s.fa;
            s.md[1] = s.md[0];
        } else if (code == "SV") {
            std::swap(s.fa, s.fb);
            std::swap(s.md[0], s.md[1]);
        } else if (code == "AM") {
            s.memories[static_cast<size_t>(s.mc - 1)] = {s.fa, s.md[0]};
        } else if (code == "MA") {
            const SimMemory& memory = s.memories[static_cast<size_t>(s.mc - 1)];
            s.fa = memory.frequency;
            s.md[0] = memory.mode;
        } else if (code == "VM") {
            s.vm ^= 1;
            if (s.vm != 0) {
                const SimMemory& memory = s.memories[static_cast<size_t>(s.mc - 1)];
                s.fa = memory.frequency;
                s.md[0] = memory.mode;
            }
        } else if (code == "QI") {
            s.qmb = {s.fa, s.md[0]};
        } else if (code == "QR") {
            s.fa = s.qmb.frequency;
            s.md[0] = s.qmb.mode;
        } else if (code == "QS") {
            s.fb = std::clamp(s.fa + s.menu[kQuickSplitItem - 1] * 1000, 30000, 60000000);
            s.md[1] = s.md[0];
            s.ft = 1;
        } else if (code == "RC") {
            s.clarifier = 0;
        } else {
            return false;
        }
        return true;
    }
    if (code == "BS" && param.size() == 2) {
        const auto band = SimParseDigits(param);
        if (!band || *band >= kSimBands) {
            return false;
        }
        SelectBand(static_cast<int>(*band));
        return true;
    }
    if ((code == "BU" || code == "BD") && param.size() == 1 &&
        (param[0] == '0' || param[0] == '1')) {
        StepBand(code == "BU" ? 1 : -1);
        return true;
    }
    if (code == "CH" && param.size() == 1 && (param[0] == '0' || param[0] == '1')) {
        s.mc = param[0] == '0' ? s.mc % kSimMemoryChannels + 1
                               : (s.mc + kSimMemoryChannels - 2) % kSimMemoryChannels + 1;
        if (s.vm != 0) {
            const SimMemory& memory = s.memories[static_cast<size_t>(s.mc - 1)];
            s.fa = memory.frequency;
            s.md[0] = memory.mode;
        }
        return true;
    }
    if ((code == "EU" || code == "ED") && param.size() == 3 && param[0] >= '0' && param[0] <= '2') {
        const auto steps = SimParseDigits(param.substr(1));
        if (!steps) {
            return false;
        }
        const int signedSteps = static_cast<int>(code == "EU" ? *steps : -*steps);
        if (param[0] == '2') {
            // The centre knob moves the clarifier 10 Hz per detent.
            s.clarifier = std::clamp(s.clarifier + signedSteps * 10, -9999, 9999);
        } else if (s.lk == 0) {
            const int vfo = param[0] == '0' ? s.vs : 1;
            const int pulseHz = s.menu[kDialStepItem - 1] == 0   ? 1
                                : s.menu[kDialStepItem - 1] == 1 ? 5
                                                                 : 10;
            TuneVfo(vfo, int64_t{signedSteps} * pulseHz * kPulsesPerDetent * (s.fs != 0 ? 10 : 1));
        }
        return true;
    }
    if ((code == "RU" || code == "RD") && param.size() == 4) {
        const auto offset = SimParseDigits(param);
        if (!offset) {
            return false;
        }
        s.clarifier = std::clamp(s.clarifier + static_cast<int>(code == "RU" ? *offset : -*offset),
                                 -9999, 9999);
        return true;
    }
    if (code == "FK" && param.size() == 1 && param[0] >= '1' && param[0] <= '7') {
        s.lastFk = param[0] - '0';
        return true;
    }
    if (code == "MK" && param.size() == 1 && param[0] >= '0' && param[0] <= '6') {
        s.lastMk = param[0] - '0';
        return true;
    }
    if (code == "KY" && param.size() == 1) {
        if (param[0] == '0') {
            s.keyerPlaying = 0;
            return true;
        }
        if (param[0] >= '1' && param[0] <= '9') {
            StartKeyer(param[0] - '0');
            return true;
        }
        if (param[0] == 'A') {
            StartKeyer(10);
            return true;
        }
        return false;
    }
    return false;
}

void Transceiver::TuneVfo(int vfo, int64_t deltaHz) {
    int& frequency = vfo == 0 ? state_.fa : state_.fb;
    frequency = static_cast<int>(std::clamp<int64_t>(frequency + deltaHz, 30000, 60000000));
}

void Transceiver::SelectBand(int band) {
    // The band being left remembers its frequency, as a band stack does.
    int current = -1;
    for (int b = 0; b < kSimBands - 1; ++b) {
        const int start = state_.bandStack[static_cast<size_t>(b)] / 1000000;
        if (state_.fa / 1000000 == start) {
            current = b;
        }
    }
    if (current >= 0) {
        state_.bandStack[static_cast<size_t>(current)] = state_.fa;
    }
    state_.fa = state_.bandStack[static_cast<size_t>(band)];
    state_.md[0] = band == kSimBands - 1 ? 5 : (band < 4 ? 1 : 2);
}

void Transceiver::StepBand(int direction) {
    const int64_t mhz = state_.fa / 1000000;
    int current = 0;
    for (int b = 0; b < kSimBands - 1; ++b) {
        if (state_.bandStack[static_cast<size_t>(b)] / 1000000 <= mhz) {
            current = b;
        }
    }
    SelectBand((current + direction + kSimBands - 1) % (kSimBands - 1));
}

}  // namespace kestrel
