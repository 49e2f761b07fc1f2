#include "sim/operator_console.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "sim/sim_faults.h"
#include "sim/transceiver.h"

namespace kestrel {

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

// Parses a whole decimal number (an optional sign, then digits only).
bool ParseInt(const std::string& text, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end != nullptr && *end == '\0';
}

bool ParseReal(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0';
}

}  // namespace

OperatorConsole::OperatorConsole(Transceiver& radio) : radio_(radio) {}

std::string OperatorConsole::Help() {
    std::string text =
        "Console commands (one per line):\n"
        "  dial N              turn the main dial N detents (negative: counter-clockwise)\n"
        "  key NAME            press a front-panel key; NAME is one of:\n"
        "                      " +
        Transceiver::KeyNames() +
        "\n"
        "  power on|off        switch the radio on (after its start-up delay) or off\n"
        "  cat COMMAND;        carry out a CAT command as if made on the radio itself\n"
        "  read COMMAND;       show the answer the radio gives to a read command\n"
        "  fault NAME [AMOUNT] start a fault; NAME is one of:\n";
    for (const SimFaultInfo& info : SimFaultTable) {
        text += "                        " + std::string(info.name) + ": " +
                std::string(info.help) + "\n";
    }
    text +=
        "  fault NAME off      stop a fault\n"
        "  state               print the radio's state\n"
        "  help                print this list\n"
        "  quit                end the simulator\n";
    return text;
}

std::string OperatorConsole::Execute(std::string_view line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') {
        return "";
    }
    const std::string& verb = words[0];
    if (verb == "help") {
        return Help();
    }
    if (verb == "quit" || verb == "exit") {
        quit_ = true;
        return "";
    }
    if (verb == "state") {
        return radio_.Describe();
    }
    if (verb == "dial" && words.size() == 2) {
        long steps = 0;
        if (!ParseInt(words[1], steps) || steps < -100000 || steps > 100000) {
            return "dial: give a whole number of detents\n";
        }
        radio_.TurnMainDial(static_cast<int>(steps));
        return "";
    }
    if (verb == "key" && words.size() == 2) {
        return radio_.PressKey(words[1]) ? "" : "key: no key " + words[1] + "\n";
    }
    if (verb == "power" && words.size() == 2 && (words[1] == "on" || words[1] == "off")) {
        radio_.SetPower(words[1] == "on");
        return "";
    }
    if (verb == "cat" && words.size() == 2) {
        return radio_.Apply(words[1]) ? "" : "cat: the radio refused " + words[1] + "\n";
    }
    if (verb == "read" && words.size() == 2) {
        const std::string answer = radio_.AnswerTo(words[1]);
        return answer.empty() ? "read: no answer to " + words[1] + "\n" : answer + "\n";
    }
    if (verb == "fault" && (words.size() == 2 || words.size() == 3)) {
        const auto fault = FaultByName(words[1]);
        if (!fault) {
            return "fault: no fault " + words[1] + "\n";
        }
        if (words.size() == 3 && words[2] == "off") {
            radio_.StopFault(*fault);
            return "";
        }
        double amount = 0.0;
        if (words.size() == 3 && (!ParseReal(words[2], amount) || amount < 0.0)) {
            return "fault: the amount must be a number of 0 or more\n";
        }
        radio_.StartFault(*fault, words.size() == 3 ? std::optional<double>(amount) : std::nullopt);
        return "";
    }
    return "unknown command: " + std::string(line) + " (try help)\n";
}

}  // namespace kestrel
