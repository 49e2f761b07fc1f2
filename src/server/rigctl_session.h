#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/share_context.h"

namespace kestrel {

// Hamlib's error numbers as rigctld reports them ("RPRT -n").
inline constexpr int kRigOk = 0;
inline constexpr int kRigInvalid = -1;        // a bad or missing argument
inline constexpr int kRigRejected = -9;       // the radio is not connected or took nothing
inline constexpr int kRigNotAvailable = -11;  // an unknown command, level or function
inline constexpr int kRigBusBusy = -14;       // the command queue is full

// How long a client's choice of VFO or split stands for the radio's report of it: the radio
// reports a change within a few line times.
inline constexpr int64_t kRigctlChoiceHoldMs = 1000;

// One client of the rigctld protocol (Hamlib's "NET rigctl"): answers its command lines from the
// store and passes its settings to the radio.
class RigctlSession {
  public:
    RigctlSession(ShareContext& context, uint64_t client) : context_(context), client_(client) {}

    // Carries out every command on one line (without its line end) and appends the answers to
    // out. Returns false when the client asked to close the connection.
    bool HandleLine(std::string_view line, std::string& out);

  private:
    ShareContext& context_;
    uint64_t client_;
    // The client's last set_vfo and set_split_vfo choices, which stand until choiceEndsMs_.
    std::optional<Vfo> chosenDial_;
    std::optional<Vfo> chosenTransmit_;
    int64_t choiceEndsMs_ = 0;
};

// Returns the answer to "\dump_state": the capabilities in the layout Hamlib's network client
// parses.
std::string RigctlDumpState();
// Returns the answer to "\dump_caps": the capabilities as readable lines.
std::string RigctlDumpCaps();

}  // namespace kestrel
