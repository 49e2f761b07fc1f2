#include "console/console_session.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "console/menu_commands.h"
#include "engine_api/radio_engine.h"
#include "platform/runtime.h"
#include "platform/startup_messages.h"
#include "protocol/cat_catalogue.h"
#include "protocol/field_names.h"
#include "protocol/requests.h"
#include "res/strings.h"

namespace kestrel {

namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (pos < text.size()) {
        const auto start = text.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos) {
            break;
        }
        const auto end = std::min(text.find_first_of(" \t", start), text.size());
        words.push_back(text.substr(start, end - start));
        pos = end;
    }
    return words;
}

std::optional<int64_t> ParseNumber(std::string_view word) {
    int64_t value = 0;
    const char* begin = word.data();
    const char* end = word.data() + word.size();
    if (!word.empty() && *begin == '+') {
        ++begin;
    }
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc{} || ptr != end || begin == end) {
        return std::nullopt;
    }
    return value;
}

// Writes a line break inside a message text as the two characters "\n", so one box is one line.
std::string EscapeLineBreaks(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

}  // namespace

int64_t ConsoleSession::HandleWindowMessage(const Message& message) {
    if (message.id == kMsgTimer) {
        RadioEngine::DispatchTimer(static_cast<int>(message.wParam));
        return 0;
    }
    if (message.id == kMsgStartupFailure) {
        if (auto stringId = StartupMessageToShow(message.wParam, message.lParam, boxShown_)) {
            // The console's box closes as soon as it is printed; the guard still keeps the
            // mode-0 rule that a second box never opens over a first.
            boxShown_ = message.wParam == 0;
            ShowMessage(*stringId);
            boxShown_ = false;
        }
        return 0;
    }
    if (message.id >= kFirstNotification && message.id <= kLastNotification) {
        char line[32];
        std::snprintf(line, sizeof line, "notify 0x%04X", message.id);
        Print(line);
    }
    return 0;
}

void ConsoleSession::ShowMessage(int stringId) {
    Print("message " + std::to_string(stringId) + " " + EscapeLineBreaks(LoadString(stringId)));
}

void ConsoleSession::Print(std::string_view line) {
    std::lock_guard lock(outMutex_);
    out_ << line << '\n';
    out_.flush();
}

bool ConsoleSession::HandleLine(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') {
        return true;
    }
    const auto space = line.find_first_of(" \t");
    const std::string_view command = line.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view{} : Trim(line.substr(space));
    if (command == "quit") {
        if (!rest.empty()) {
            Error("quit takes no arguments");
            return true;
        }
        return false;
    }
    if (command == "post") {
        Post(rest);
    } else if (command == "raw") {
        Raw(space == std::string_view::npos ? std::string_view{} : line.substr(space + 1));
    } else if (command == "get") {
        Get(rest);
    } else if (command == "wait") {
        Wait(rest);
    } else if (command == "menu") {
        RunMenuCommand(rest, [this](std::string_view text) { Print(text); });
    } else {
        Error("unknown command '" + std::string(command) + "'");
    }
    return true;
}

void ConsoleSession::Post(std::string_view arguments) {
    const auto words = Words(arguments);
    if (words.empty() || words.size() > 3) {
        Error("usage: post N [B [V]]");
        return;
    }
    const auto number = ParseNumber(words[0]);
    if (!number || *number < 1 || *number > kRequestCount) {
        Error("request number must be 1 to 153");
        return;
    }
    std::optional<int64_t> vfoB = int64_t{0};
    if (words.size() > 1) {
        vfoB = ParseNumber(words[1]);
    }
    if (!vfoB || (*vfoB != 0 && *vfoB != 1)) {
        Error("the VFO-B bit must be 0 or 1");
        return;
    }
    std::optional<int64_t> value = int64_t{0};
    if (words.size() > 2) {
        value = ParseNumber(words[2]);
    }
    if (!value || *value < INT32_MIN || *value > INT32_MAX) {
        Error("the value must be a 32-bit whole number");
        return;
    }
    if (!RadioEngine::Request(static_cast<int>(*number), static_cast<int>(*vfoB),
                              static_cast<int32_t>(*value))) {
        Error("the request thread does not run");
    }
}

void ConsoleSession::Raw(std::string_view text) {
    switch (RadioEngine::QueueRaw(text)) {
        case RawResult::Queued:
            break;
        case RawResult::Empty:
            Error("raw needs the text to send");
            break;
        case RawResult::TooLong:
            Error("the command is too long");
            break;
        case RawResult::RingFull:
            Error("the command queue is full");
            break;
        case RawResult::NotRunning:
            Error("the request thread does not run");
            break;
    }
}

void ConsoleSession::Get(std::string_view name) {
    std::string value;
    if (name.empty() || Words(name).size() != 1 || !GetFieldByName(name, value)) {
        Error("unknown field '" + std::string(name) + "'");
        return;
    }
    Print(std::string(name) + "=" + value);
}

void ConsoleSession::Wait(std::string_view arguments) {
    const auto ms = ParseNumber(arguments);
    if (!ms || *ms < 0 || *ms > kLongestWaitMs) {
        Error("usage: wait MS (0 to 86400000)");
        return;
    }
    Rt().SleepMs(*ms);
}

}  // namespace kestrel
