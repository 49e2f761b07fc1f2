#include "server/rigctl_session.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "protocol/requests.h"
#include "server/share_caps.h"

namespace kestrel {

namespace {

// How a command answers.
enum class Kind : uint8_t {
    Get,          // its values, one a line
    Set,          // "RPRT 0"
    Block,        // a text block without a report (dump_state)
    BlockReport,  // a text block followed by "RPRT 0" (dump_caps)
    Bare,         // one line and nothing else, in either protocol (chk_vfo)
    Quit,         // "RPRT 0", then the connection closes
};

// A command that takes the rest of the line as its one argument.
constexpr int kRestOfLine = -1;

struct Call {
    ShareContext& context;
    uint64_t client;
    Vfo dial;                             // the VFO on the dial, as this client last chose it
    Vfo transmit;                         // the transmitting VFO, likewise
    std::optional<Vfo> chosenDial{};      // set by set_vfo
    std::optional<Vfo> chosenTransmit{};  // set by set_split_vfo
    std::vector<std::string_view> args{};
    std::vector<std::string> values{};
    std::string block{};

    RadioAccess& Radio() { return context.radio; }
};

using Handler = int (*)(Call&);

struct RigctlCommand {
    char shortName;  // '\0' when the command has only its long name
    std::string_view longName;
    int minArgs;
    int maxArgs;  // or kRestOfLine
    bool needsRadio;
    Kind kind;
    std::array<std::string_view, 2> keys;  // extended-response labels of the values
    Handler run;
};

std::optional<double> ParseDouble(std::string_view text) {
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int64_t> ParseInt(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A frequency in Hz as Hamlib sends it ("14074000.000000"), kept to the whole hertz.
std::optional<uint64_t> ParseFrequency(std::string_view text) {
    const auto value = ParseDouble(text);
    if (!value) {
        return std::nullopt;
    }
    const int64_t hertz = std::llround(*value);
    if (hertz < FieldMin(Field::FA) || hertz > FieldMax(Field::FA)) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(hertz);
}

std::string_view VfoName(Vfo vfo) {
    return vfo == Vfo::A ? "VFOA" : "VFOB";
}

// Hamlib's names for the two VFOs of a radio whose main receiver tunes VFO-A and whose sub
// receiver tunes VFO-B, and for the current and the transmitting one.
std::optional<Vfo> ParseVfo(Call& c, std::string_view name) {
    if (name == "VFOA" || name == "A" || name == "Main" || name == "MainA") {
        return Vfo::A;
    }
    if (name == "VFOB" || name == "B" || name == "Sub" || name == "SubB") {
        return Vfo::B;
    }
    if (name == "currVFO" || name == "VFO" || name == "RX") {
        return c.dial;
    }
    if (name == "TX") {
        return c.transmit;
    }
    return std::nullopt;
}

std::string FormatFloat(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

int Done(bool posted) {
    return posted ? kRigOk : kRigRejected;
}

int GetFreq(Call& c) {
    c.values.push_back(std::to_string(FrequencyOf(c.Radio(), c.dial)));
    return kRigOk;
}

int SetFreq(Call& c) {
    const auto hertz = ParseFrequency(c.args[0]);
    if (!hertz) {
        return kRigInvalid;
    }
    return Done(c.Radio().SetFrequency(c.dial, *hertz));
}

int GetMode(Call& c) {
    const ShareMode* mode = ModeOf(c.Radio(), c.dial);
    const auto passband = CurrentPassband(c.Radio(), c.dial);
    if (mode == nullptr || !passband) {
        return kRigNotAvailable;
    }
    c.values.emplace_back(mode->hamlib);
    c.values.push_back(std::to_string(*passband));
    return kRigOk;
}

// The passband is accepted (0 and -1 mean "keep") but the filter stays: the radio's filters are
// chosen with the mode and NAR.
int SetMode(Call& c) {
    const ShareMode* mode = ShareModeByHamlib(c.args[0]);
    if (mode == nullptr || (c.args.size() > 1 && !ParseInt(c.args[1]))) {
        return kRigInvalid;
    }
    // The same name again keeps the radio's own variant of it (FM-N stays FM-N).
    const ShareMode* current = ModeOf(c.Radio(), c.dial);
    if (current != nullptr && current->hamlib == mode->hamlib) {
        return kRigOk;
    }
    return Done(c.Radio().SetMode(mode->code, c.dial));
}

int GetVfo(Call& c) {
    c.values.emplace_back(VfoName(c.dial));
    return kRigOk;
}

int SetVfo(Call& c) {
    const auto vfo = ParseVfo(c, c.args[0]);
    if (!vfo || !c.Radio().SetActiveVfo(*vfo)) {
        return vfo ? kRigRejected : kRigInvalid;
    }
    c.chosenDial = vfo;
    return kRigOk;
}

int GetPtt(Call& c) {
    c.values.emplace_back(c.Radio().Read(Field::TX) != 0 ? "1" : "0");
    return kRigOk;
}

int SetPtt(Call& c) {
    // 0 receive; 1 transmit, 2 and 3 transmit from the microphone or the data input.
    const auto ptt = ParseInt(c.args[0]);
    if (!ptt || *ptt < 0 || *ptt > 3) {
        return kRigInvalid;
    }
    return Done(c.context.SetTransmit(c.client, *ptt != 0));
}

int GetSplitVfo(Call& c) {
    c.values.emplace_back(c.transmit != c.dial ? "1" : "0");
    c.values.emplace_back(VfoName(c.transmit));
    return kRigOk;
}

// Split transmits on the VFO that is not on the dial, whichever the client names.
int SetSplitVfo(Call& c) {
    const auto split = ParseInt(c.args[0]);
    if (!split || *split < 0 || *split > 1 || !ParseVfo(c, c.args[1])) {
        return kRigInvalid;
    }
    if (!SetSplit(c.Radio(), c.dial, *split == 1)) {
        return kRigRejected;
    }
    c.chosenTransmit = (*split == 1) == (c.dial == Vfo::A) ? Vfo::B : Vfo::A;
    return kRigOk;
}

// The split frequency is the transmitting VFO's. Hamlib's client selects that VFO before it
// asks, as it does for every VFO a radio cannot address directly.
int GetSplitFreq(Call& c) {
    c.values.push_back(std::to_string(FrequencyOf(c.Radio(), c.transmit)));
    return kRigOk;
}

int SetSplitFreq(Call& c) {
    const auto hertz = ParseFrequency(c.args[0]);
    if (!hertz) {
        return kRigInvalid;
    }
    return Done(c.Radio().SetFrequency(c.transmit, *hertz));
}

template <typename Rows, typename Pick>
std::string NameList(const Rows& rows, Pick pick) {
    std::string names;
    for (const auto& row : rows) {
        if (pick(row)) {
            names += std::string(row.name) + " ";
        }
    }
    return names;
}

int GetLevel(Call& c) {
    if (c.args[0] == "?") {
        c.block = NameList(kShareLevels, [](const ShareLevel&) { return true; }) + "\n";
        return kRigOk;
    }
    const ShareLevel* level = ShareLevelByName(c.args[0]);
    if (level == nullptr) {
        return kRigNotAvailable;
    }
    const auto value = level->get(c.Radio());
    if (!value) {
        return kRigNotAvailable;
    }
    c.values.push_back(level->isFloat ? FormatFloat(*value)
                                      : std::to_string(static_cast<int64_t>(*value)));
    return kRigOk;
}

int SetLevel(Call& c) {
    if (c.args[0] == "?") {
        c.block =
            NameList(kShareLevels, [](const ShareLevel& l) { return l.set != nullptr; }) + "\n";
        return kRigOk;
    }
    const ShareLevel* level = ShareLevelByName(c.args[0]);
    if (level == nullptr || level->set == nullptr) {
        return kRigNotAvailable;
    }
    const auto value = c.args.size() > 1 ? ParseDouble(c.args[1]) : std::nullopt;
    if (!value || !level->set(c.Radio(), *value)) {
        return kRigInvalid;
    }
    return kRigOk;
}

int GetFunc(Call& c) {
    if (c.args[0] == "?") {
        c.block = NameList(kShareFunctions, [](const ShareFunction&) { return true; }) + "\n";
        return kRigOk;
    }
    const ShareFunction* function = ShareFunctionByName(c.args[0]);
    if (function == nullptr) {
        return kRigNotAvailable;
    }
    c.values.emplace_back(function->get(c.Radio()) ? "1" : "0");
    return kRigOk;
}

int SetFunc(Call& c) {
    if (c.args[0] == "?") {
        c.block = NameList(kShareFunctions, [](const ShareFunction&) { return true; }) + "\n";
        return kRigOk;
    }
    const ShareFunction* function = ShareFunctionByName(c.args[0]);
    if (function == nullptr) {
        return kRigNotAvailable;
    }
    const auto on = c.args.size() > 1 ? ParseInt(c.args[1]) : std::nullopt;
    if (!on || *on < 0 || *on > 1) {
        return kRigInvalid;
    }
    return Done(function->set(c.Radio(), *on == 1));
}

int GetPowerstat(Call& c) {
    c.values.emplace_back(c.Radio().Read(Field::PS) != 0 ? "1" : "0");
    return kRigOk;
}

int SetPowerstat(Call& c) {
    const auto on = ParseInt(c.args[0]);
    if (!on || *on < 0 || *on > 1) {
        return kRigInvalid;
    }
    // The power request switches: it is made only when the radio's state differs.
    const bool isOn = c.Radio().Read(Field::PS) != 0;
    return isOn == (*on == 1) ? kRigOk : Done(c.Radio().Request(kReqPower, 0, 0));
}

// The text goes into keyer text memory 5, which is then played: the radio keys text only from
// its memories. The memory takes up to 50 characters of space to "_" and "}".
int SendMorse(Call& c) {
    constexpr size_t kMaxText = 50;
    std::string text(c.args.empty() ? std::string_view{} : c.args[0]);
    for (char& ch : text) {
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if ((ch < ' ' || ch > '_') && ch != '}') {
            return kRigInvalid;
        }
    }
    if (text.empty() || text.size() > kMaxText) {
        return kRigInvalid;
    }
    if (c.Radio().QueueRaw("KM5" + text + ";") != RawResult::Queued) {
        return kRigRejected;
    }
    constexpr int kPlayTextMemory5 = kReqKeyerPlay1 + 9;
    return Done(c.Radio().Request(kPlayTextMemory5, 0, 0));
}

int SendCmd(Call& c) {
    if (!c.context.allowRaw) {
        return kRigNotAvailable;
    }
    switch (c.Radio().QueueRaw(c.args.empty() ? std::string_view{} : c.args[0])) {
        case RawResult::Queued:
            return kRigOk;
        case RawResult::Empty:
        case RawResult::TooLong:
            return kRigInvalid;
        case RawResult::RingFull:
            return kRigBusBusy;
        case RawResult::NotRunning:
            break;
    }
    return kRigRejected;
}

int GetInfo(Call& c) {
    c.values.emplace_back("Kestrel HF transceiver");
    return kRigOk;
}

// Hamlib's own frequency lock of rigctld; the server has none, so it is always open.
int GetLockMode(Call& c) {
    c.values.emplace_back("0");
    return kRigOk;
}

int ChkVfo(Call& c) {
    // VFO mode (a VFO argument on every command) is not offered.
    c.values.emplace_back("0");
    return kRigOk;
}

int DumpState(Call& c) {
    c.block = RigctlDumpState();
    return kRigOk;
}

int DumpCaps(Call& c) {
    c.block = RigctlDumpCaps();
    return kRigOk;
}

int Quit(Call&) {
    return kRigOk;
}

// clang-format off
constexpr std::array<RigctlCommand, 27> kRigctlCommands = {{
    // short long name         min max           radio  kind              keys                         handler
    {'f',  "get_freq",        0, 0,           true,  Kind::Get,         {"Frequency"},               GetFreq},
    {'F',  "set_freq",        1, 1,           true,  Kind::Set,         {},                          SetFreq},
    {'m',  "get_mode",        0, 0,           true,  Kind::Get,         {"Mode", "Passband"},        GetMode},
    {'M',  "set_mode",        1, 2,           true,  Kind::Set,         {},                          SetMode},
    {'v',  "get_vfo",         0, 0,           true,  Kind::Get,         {"VFO"},                     GetVfo},
    {'V',  "set_vfo",         1, 1,           true,  Kind::Set,         {},                          SetVfo},
    {'t',  "get_ptt",         0, 0,           true,  Kind::Get,         {"PTT"},                     GetPtt},
    {'T',  "set_ptt",         1, 1,           true,  Kind::Set,         {},                          SetPtt},
    {'s',  "get_split_vfo",   0, 0,           true,  Kind::Get,         {"Split", "TX VFO"},         GetSplitVfo},
    {'S',  "set_split_vfo",   2, 2,           true,  Kind::Set,         {},                          SetSplitVfo},
    {'i',  "get_split_freq",  0, 0,           true,  Kind::Get,         {"TX Frequency"},            GetSplitFreq},
    {'I',  "set_split_freq",  1, 1,           true,  Kind::Set,         {},                          SetSplitFreq},
    {'l',  "get_level",       1, 1,           true,  Kind::Get,         {""},                        GetLevel},
    {'L',  "set_level",       1, 2,           true,  Kind::Set,         {},                          SetLevel},
    {'u',  "get_func",        1, 1,           true,  Kind::Get,         {""},                        GetFunc},
    {'U',  "set_func",        1, 2,           true,  Kind::Set,         {},                          SetFunc},
    {'\0', "get_powerstat",   0, 0,           true,  Kind::Get,         {"Power Status"},            GetPowerstat},
    {'\0', "set_powerstat",   1, 1,           true,  Kind::Set,         {},                          SetPowerstat},
    {'b',  "send_morse",      1, kRestOfLine, true,  Kind::Set,         {},                          SendMorse},
    {'w',  "send_cmd",        1, kRestOfLine, true,  Kind::Set,         {},                          SendCmd},
    {'_',  "get_info",        0, 0,           false, Kind::Get,         {"Info"},                    GetInfo},
    {'\0', "get_lock_mode",   0, 0,           false, Kind::Get,         {"Locked"},                  GetLockMode},
    {'\0', "chk_vfo",         0, 0,           false, Kind::Bare,        {"ChkVFO"},                  ChkVfo},
    {'\0', "dump_state",      0, 0,           false, Kind::Block,       {},                          DumpState},
    {'1',  "dump_caps",       0, 0,           false, Kind::BlockReport, {},                          DumpCaps},
    {'q',  "quit",            0, 0,           false, Kind::Quit,        {},                          Quit},
    {'Q',  "exit",            0, 0,           false, Kind::Quit,        {},                          Quit},
}};
// clang-format on

const RigctlCommand* FindCommand(std::string_view token) {
    const auto found = [&](auto predicate) -> const RigctlCommand* {
        const auto it = std::find_if(kRigctlCommands.begin(), kRigctlCommands.end(), predicate);
        return it == kRigctlCommands.end() ? nullptr : &*it;
    };
    if (token.size() > 1 && token.front() == '\\') {
        const std::string_view name = token.substr(1);
        return found([name](const RigctlCommand& c) { return c.longName == name; });
    }
    if (token.size() == 1 && token.front() != '\0') {
        return found([token](const RigctlCommand& c) { return c.shortName == token.front(); });
    }
    return nullptr;
}

// A leading punctuation character asks for the extended response with that separator; "+"
// separates records by line ends. "\", "?", "_" and "#" have other meanings.
bool IsSeparatorPrefix(char c) {
    return std::ispunct(static_cast<unsigned char>(c)) && c != '\\' && c != '?' && c != '_' &&
           c != '#';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

class LineCursor {
  public:
    explicit LineCursor(std::string_view line) : line_(line) {}

    bool AtEnd() {
        SkipBlanks();
        return pos_ >= line_.size();
    }
    std::string_view Token() {
        SkipBlanks();
        const size_t start = pos_;
        while (pos_ < line_.size() && !IsBlank(line_[pos_])) {
            ++pos_;
        }
        return line_.substr(start, pos_ - start);
    }
    std::string_view Rest() {
        SkipBlanks();
        std::string_view rest = line_.substr(pos_);
        while (!rest.empty() && IsBlank(rest.back())) {
            rest.remove_suffix(1);
        }
        pos_ = line_.size();
        return rest;
    }

  private:
    void SkipBlanks() {
        while (pos_ < line_.size() && IsBlank(line_[pos_])) {
            ++pos_;
        }
    }

    std::string_view line_;
    size_t pos_ = 0;
};

void Report(std::string& out, int status) {
    out += "RPRT " + std::to_string(status) + "\n";
}

// Writes a command's answer. separator is 0 for the default protocol.
void Answer(std::string& out, const RigctlCommand& command, const Call& call, int status,
            char separator) {
    if (command.kind == Kind::Bare) {
        const std::string& value = call.values.empty() ? std::string() : call.values[0];
        out += separator != 0 ? std::string(command.keys[0]) + ": " + value + "\n" : value + "\n";
        return;
    }
    if (separator == 0) {
        if (status != kRigOk) {
            Report(out, status);
            return;
        }
        out += call.block;
        for (const std::string& value : call.values) {
            out += value + "\n";
        }
        if (command.kind == Kind::Set || command.kind == Kind::BlockReport ||
            command.kind == Kind::Quit) {
            Report(out, kRigOk);
        }
        return;
    }
    out += command.longName;
    out += ':';
    for (const std::string_view arg : call.args) {
        out += ' ';
        out += arg;
    }
    out += separator;
    if (status == kRigOk) {
        out += call.block;
        for (size_t i = 0; i < call.values.size(); ++i) {
            const std::string_view key = i < command.keys.size() ? command.keys[i] : "";
            out += key.empty() ? call.values[i] : std::string(key) + ": " + call.values[i];
            out += separator;
        }
    }
    Report(out, status);
}

}  // namespace

bool RigctlSession::HandleLine(std::string_view line, std::string& out) {
    // Hamlib's client reaches the VFO off the dial by selecting it, asking and selecting back,
    // and sets the split frequency right after split, faster than the radio reports either:
    // for a while after each choice, this client's choice stands for the radio's report.
    RadioAccess& radio = context_.radio;
    const int64_t now = context_.nowMs();
    if (now >= choiceEndsMs_) {
        chosenDial_.reset();
        chosenTransmit_.reset();
    }
    LineCursor cursor(line);
    while (!cursor.AtEnd()) {
        std::string_view token = cursor.Token();
        if (token.front() == '#') {
            break;
        }
        char separator = 0;
        if (token.size() > 1 && IsSeparatorPrefix(token.front())) {
            separator = token.front() == '+' ? '\n' : token.front();
            token.remove_prefix(1);
        }
        const RigctlCommand* command = FindCommand(token);
        if (command == nullptr) {
            // The rest of the line cannot be told from this command's arguments.
            Report(out, kRigNotAvailable);
            break;
        }
        Call call{.context = context_,
                  .client = client_,
                  .dial = chosenDial_.value_or(ReceiveVfo(radio)),
                  .transmit = chosenTransmit_.value_or(TransmitVfo(radio))};
        if (command->maxArgs == kRestOfLine) {
            const std::string_view rest = cursor.Rest();
            if (!rest.empty()) {
                call.args.push_back(rest);
            }
        } else {
            while (static_cast<int>(call.args.size()) < command->maxArgs && !cursor.AtEnd()) {
                call.args.push_back(cursor.Token());
            }
        }
        int status = kRigOk;
        if (static_cast<int>(call.args.size()) < command->minArgs) {
            status = kRigInvalid;
        } else if (command->needsRadio && !radio.IsConnected()) {
            status = kRigRejected;
        } else {
            status = command->run(call);
        }
        if (call.chosenDial || call.chosenTransmit) {
            chosenDial_ = call.chosenDial ? call.chosenDial : chosenDial_;
            chosenTransmit_ = call.chosenTransmit ? call.chosenTransmit : chosenTransmit_;
            choiceEndsMs_ = now + kRigctlChoiceHoldMs;
        }
        Answer(out, *command, call, status, separator);
        if (command->kind == Kind::Quit) {
            return false;
        }
        if (status == kRigInvalid && static_cast<int>(call.args.size()) < command->minArgs) {
            break;
        }
    }
    return true;
}

}  // namespace kestrel
