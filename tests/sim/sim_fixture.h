#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime.h"
#include "platform/virtual_runtime.h"
#include "sim/byte_sink.h"
#include "sim/transceiver.h"

namespace kestrel {

// Collects what the simulated radio puts on the line.
class CaptureSink final : public ByteSink {
  public:
    void Send(std::string_view bytes) override { text.append(bytes); }
    // Returns and forgets everything captured so far.
    std::string Take() { return std::exchange(text, std::string()); }
    std::string text;
};

// Cuts captured line text into answers at each ";" (the ";" kept).
inline std::vector<std::string> SplitAnswers(const std::string& text) {
    std::vector<std::string> answers;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ';') {
            answers.push_back(text.substr(start, i - start + 1));
            start = i + 1;
        }
    }
    return answers;
}

// Every read the program makes: the initial read in its order, the second selectors the panel
// reads, and the identification probe.
// clang-format off
inline const std::vector<std::string> kProgramReads = {
    "RT;", "XT;", "SF;", "BP00;", "BP01;", "BC0;", "CO00;", "CO01;", "MS;", "NR0;", "FT;", "FR;",
    "LK;", "FS;", "VS;", "NA0;", "NB0;", "RF0;", "GT0;", "RA0;", "PA0;", "KR;", "TS;", "AN0;",
    "AC;", "MX;", "VX;", "BI;", "PR;", "ML0;", "ML1;", "CS;", "DP;", "RM0;", "RM2;", "KP;", "KS;",
    "SD;", "NL0;", "MG;", "PL;", "VG;", "VD;", "SQ0;", "AG0;", "RG0;", "IF;", "VF0;", "IS0;",
    "SH0;", "RL0;", "BY;", "FA;", "FB;", "RO;", "SC;", "SM0;", "TX;", "UL;", "CN0;", "CT0;",
    "KM1;", "KM2;", "KM3;", "KM4;", "KM5;", "MC;", "OI;", "OS0;", "PB0;", "PC;", "RS;", "MD0;",
    "PS;", "RI0;", "RI1;", "RI3;", "RI4;", "RI5;", "RI7;", "RI8;", "BG0;", "BG1;", "LM0;",
    "PE000;", "PE001;", "PE002;", "PE010;", "PE011;", "PE012;", "PE020;", "PE021;", "PE022;",
    "PE200;", "PE201;", "PE202;", "PE210;", "PE211;", "PE212;", "PE220;", "PE221;", "PE222;",
    "KC0;", "AI;",
    "MD1;", "SQ1;", "AG1;", "RG1;", "NB1;", "GT1;", "SM1;", "CN1;", "CT1;", "OS1;", "NA1;", "NR1;",
    "VF1;", "ID;", "ID0747;",
};
// clang-format on

// A simulated radio in virtual time with its line captured.
class SimTest : public ::testing::Test {
  protected:
    void SetUp() override { SetRuntime(&rt); }
    void TearDown() override {
        radio.reset();
        SetRuntime(nullptr);
    }
    // Makes the radio (not started: nothing happens by itself until Start).
    Transceiver& Make(SimOptions options = {}) {
        radio = std::make_unique<Transceiver>(sink, options);
        return *radio;
    }
    // Sends commands and returns what the radio answered at once.
    std::string Ask(std::string_view commands) {
        sink.Take();
        radio->Receive(commands);
        return sink.Take();
    }

    VirtualRuntime rt;
    CaptureSink sink;
    std::unique_ptr<Transceiver> radio;
};

}  // namespace kestrel
