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
#include "support/initial_read.h"

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
inline const std::vector<std::string> kProgramReads = [] {
    std::vector<std::string> reads = ExpectedInitialRead();
    for (const char* read : {"AI;", "MD1;", "SQ1;", "AG1;", "RG1;", "NB1;", "GT1;", "SM1;", "CN1;",
                             "CT1;", "OS1;", "NA1;", "NR1;", "VF1;", "ID;", "ID0747;"}) {
        reads.emplace_back(read);
    }
    return reads;
}();

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
