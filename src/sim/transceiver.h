#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/runtime.h"
#include "sim/byte_sink.h"
#include "sim/sim_faults.h"
#include "sim/sim_state.h"

namespace kestrel {

// Choices that stay fixed for one simulated transceiver.
struct SimOptions {
    bool answerExtendedId = true;  // false: older firmware, "ID0747;" goes unanswered
    int extendedId = 1;            // the three digits of "ID0747nnn;"
    int powerOnDelayMs = 1200;     // from "PS1;" to the radio being on
    int meterPeriodMs = 200;       // how often the meters are reported while AI is on
    uint32_t seed = 1;             // seeds meter wander and the random faults
};

// The simulated Kestrel transceiver: fed the bytes of the line, it answers through a ByteSink,
// reports its changes while automatic information is on, and lives in Rt() time (meters,
// rotator, voice memory, keyer, power switching). All members may be called from any thread.
class Transceiver {
  public:
    // The period of the timer that drives everything that happens by itself.
    static constexpr int64_t kTickMs = 10;

    explicit Transceiver(ByteSink& sink, SimOptions options = {});
    ~Transceiver();
    Transceiver(const Transceiver&) = delete;
    Transceiver& operator=(const Transceiver&) = delete;

    // Starts the radio's own timer on Rt().
    void Start();
    // Stops the timer; the radio then only answers commands.
    void Stop();
    // Lets the Unplug fault pull the transport's cable.
    void SetLinkControl(LinkControl* link);

    // Takes bytes that arrived from the program.
    void Receive(std::string_view bytes);
    // Runs one command (with its ";") as if it came from the front panel: the state changes and
    // is reported, but no answer is sent. Reports whether the radio took the command.
    bool Apply(std::string_view command);

    // Turns the main dial by detents (positive clockwise).
    void TurnMainDial(int steps);
    // Presses a front-panel key by name; false for an unknown key.
    bool PressKey(std::string_view name);
    // Returns the names of the front-panel keys, space-separated.
    static std::string KeyNames();
    // Switches the power as the front-panel power key does.
    void SetPower(bool on);

    // Starts a fault with an amount (see SimFault), or its default when none is given.
    void StartFault(SimFault fault, std::optional<double> amount = std::nullopt);
    // Ends a fault.
    void StopFault(SimFault fault);
    // Reports whether a fault is active.
    bool FaultActive(SimFault fault) const;

    // Returns a copy of the current state.
    SimState State() const;
    // Reports whether the radio is on (and not still starting).
    bool PoweredOn() const;
    // Returns a readable summary of the state for the operator.
    std::string Describe() const;
    // Returns the answer the radio gives to a read command ("FA;", "EX005;"), or "" when the
    // read has none; the state does not change.
    std::string AnswerTo(std::string_view read) const;

  private:
    struct Timed {
        int64_t due;
        std::string bytes;
    };

    // Command handling; the lock is held.
    void HandleCommand(std::string_view command, bool fromLine);
    bool Execute(std::string_view command, bool fromLine);
    bool ExecuteSpecial(std::string_view code, std::string_view param, bool fromLine);
    bool ExecuteSetOnly(std::string_view code, std::string_view param);
    bool HandleEx(std::string_view param, bool fromLine);
    bool HandlePe(std::string_view param, bool fromLine);
    bool HandleId(std::string_view param, bool fromLine);
    bool HandlePower(std::string_view param, bool fromLine);
    bool HandleAutoInfo(std::string_view param, bool fromLine);
    void Answer(std::string_view text);
    std::string AnswerLocked(std::string_view code, std::string_view param) const;
    std::string ExAnswer(int number) const;
    int ExWidth(int number) const;

    // The radio's own behaviour; the lock is held.
    void Tick();
    void TuneVfo(int vfo, int64_t deltaHz);
    void SelectBand(int band);
    void StepBand(int direction);
    void StartKeyer(int memory);
    void StartPlayback(int channel);
    void StopPlayback();
    void StartRecording(int channel);
    void StopRecording();
    void UpdateMeters();
    void ReportMeters();
    void PowerOff();
    void PowerOnNow();
    bool Reporting() const;
    // Reports every answer that differs from the last look, while automatic information is on.
    void ReportChanges();
    std::vector<std::string> CollectReportable() const;
    void Rebaseline();

    // The way out: faults, then the sink.
    void Emit(std::string bytes);
    void Deliver(const std::string& bytes);

    ByteSink& sink_;
    const SimOptions options_;
    LinkControl* link_ = nullptr;

    mutable std::mutex mutex_;
    SimState state_;
    std::string input_;
    bool booting_ = false;
    int64_t bootDoneMs_ = 0;
    TimerId timer_ = 0;
    bool running_ = false;

    int64_t lastTickMs_ = 0;
    int64_t nextMeterMs_ = 0;
    int64_t nextScanMs_ = 0;
    int64_t keyerEndMs_ = 0;
    int64_t playEndMs_ = 0;
    int64_t recordStartMs_ = 0;
    int64_t tuneEndMs_ = 0;
    int64_t lastRotatorMs_ = 0;
    double fadePhase_ = 0.0;
    int lastMeterKey_ = -1;
    std::array<int, 3> lastMeters_{-1, -1, -1};

    std::vector<std::pair<std::string, std::string>> reportReads_;  // code, read parameter
    std::vector<std::string> lastAnswers_;
    bool baselineValid_ = false;

    std::array<bool, SimFaultTable.size()> faultOn_{};
    std::array<double, SimFaultTable.size()> faultAmount_{};
    double noiseCredit_ = 0.0;
    std::deque<Timed> delayed_;
    std::mt19937 rng_;
};

}  // namespace kestrel
