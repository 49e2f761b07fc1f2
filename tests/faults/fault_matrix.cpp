// The seeded fault matrix: the engine and the simulated transceiver over the in-memory cable, in
// virtual time, through connect, the full read, operator requests, power off and on and
// disconnect, with the simulator's faults mixed in by the seed. Each seed runs in a child process
// of its own, so that a crash or a hang fails that seed alone and every seed starts from clean
// globals. After each run the invariants below are checked; a failing seed is printed so that it
// can be rerun alone with --seed.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "../support/sim_station.h"
#include "engine/anl_send_thread.h"
#include "engine/engine_lifecycle.h"
#include "platform/paths.h"
#include "platform/startup_box.h"
#include "protocol/control_mirror.h"
#include "protocol/notifications.h"
#include "protocol/radio_state.h"
#include "protocol/requests.h"
#include "sim/transceiver.h"

namespace kestrel {
namespace {

// The phases of one run, in virtual milliseconds.
constexpr int64_t kConnectPhaseMaxMs = 10000;  // faults may start this far into the full read
constexpr int64_t kChaosMs = 15000;            // faults and operator actions
constexpr int64_t kLongestOutageMs = 5000;     // an unplugged cable is back after at most this
constexpr int64_t kOnLineBoundMs = 30000;      // on line again this soon after the faults end
constexpr int64_t kLiveAnswerMs = 2000;        // on line: an answer no older than this
// A run takes well under a second of processor time. One that spends this much spins; one that
// has not ended after the much longer real time is stuck (the wide margin keeps a busy machine
// from passing for a hang).
constexpr rlim_t kCpuSecondsPerSeed = 60;
constexpr unsigned kRealSecondsPerSeed = 900;

// Prints what a run does and what crosses the line (--trace, for one seed).
bool tracing = false;
void Trace(int64_t atMs, const std::string& what) {
    if (tracing) {
        std::printf("%8lld %s\n", static_cast<long long>(atMs), what.c_str());
    }
}

// An operator's frequency request the engine took, to be found on the line or reported.
struct OperatorCommand {
    int64_t atMs;
    int32_t hertz;
    bool onLine;  // the panel showed the radio connected when the operator asked
};

// One run of one seed: the whole station, the scenario the seed makes, and the checks.
class Run {
  public:
    explicit Run(uint32_t seed) : seed_(seed), rng_(seed) {}

    // Runs the scenario and returns the broken invariants (none when the run passed).
    std::vector<std::string> Execute() {
        if (const std::string failed = StartStation(); !failed.empty()) {
            return {failed};
        }
        Scenario();
        CheckStore();
        CheckCommands();
        StopEngine();
        CheckSettingsFile();
        return failures_;
    }

  private:
    // Builds the station with the line traced and starts the engine; returns what failed, if any.
    std::string StartStation() {
        station_.onAnswer = [this](std::string_view bytes) {
            if (!bytes.empty()) {
                lastAnswerMs_.store(Rt().NowMs());
                Trace(Rt().NowMs(), "radio  " + std::string(bytes));
            }
        };
        station_.onCommand = [this](std::string_view bytes) {
            Trace(Rt().NowMs(), "engine " + std::string(bytes));
        };
        return station_.Start(
            SimOptions{.seed = seed_},
            [this](const Message& m) {
                if (m.id == kMsgStartupFailure || m.id == kNotifyAI) {
                    std::lock_guard lock(mutex_);
                    lastReportMs_ = station_.rt.NowMs();
                    if (m.id == kMsgStartupFailure) {
                        // The operator answers the box at once.
                        StartupBoxShown.store(0);
                    }
                }
            },
            [](int) {});
    }

    bool Ask(int number, int32_t value = 0) {
        Trace(station_.rt.NowMs(),
              "operator request " + std::to_string(number) + " " + std::to_string(value));
        return PostRequest(number, 0, value);
    }

    void Scenario() {
        Ask(kReqConnect);
        station_.rt.RunFor(Uniform(0, kConnectPhaseMaxMs));

        const int64_t chaosEnd = station_.rt.NowMs() + kChaosMs;
        std::map<SimFault, int64_t> faultEnds;
        while (station_.rt.NowMs() < chaosEnd) {
            station_.rt.RunFor(Uniform(50, 1500));
            std::erase_if(faultEnds, [&](const auto& entry) {
                if (station_.rt.NowMs() < entry.second) {
                    return false;
                }
                Trace(station_.rt.NowMs(), "fault off " + std::string(FaultInfo(entry.first).name));
                station_.radio->StopFault(entry.first);
                return true;
            });
            const int64_t pick = Uniform(0, 99);
            if (pick < 35) {
                StartFault(faultEnds);
            } else if (pick < 70) {
                const auto hertz =
                    static_cast<int32_t>(1800000 + Uniform(0, 27999) * 1000 + ++asked_);
                const bool onLine = GetMirror(Mirror::AI) == 1;
                if (Ask(kReqFrequencyA, hertz)) {
                    asked_commands_.push_back({station_.rt.NowMs(), hertz, onLine});
                }
            } else if (pick < 85) {
                static constexpr int kRequests[] = {
                    kReqModeSsb, kReqModeSsb + 2, kReqVfoA,      kReqVfoB,       kReqLockToggle,
                    kReqBand50,  kReqBand50 + 5,  kReqMoxToggle, kReqInformation};
                Ask(kRequests[Uniform(0, std::ssize(kRequests) - 1)]);
            } else if (pick < 93) {
                Ask(kReqPower);
            } else {
                Ask(kReqConnect);
            }
        }
        Trace(station_.rt.NowMs(), "every fault off");
        for (const SimFaultInfo& info : SimFaultTable) {
            station_.radio->StopFault(info.fault);
        }
        // A cable pulled near the end is back within the longest outage.
        station_.rt.RunFor(kLongestOutageMs);
        const int64_t faultsEnd = station_.rt.NowMs();

        // The operator brings the station back as anyone would: makes sure the radio itself is
        // on (a "PS0;" lost to the faults leaves the panel believing it on), then connects when
        // the panel shows no connection, switches on when it shows the radio off, and waits.
        if (!station_.radio->PoweredOn()) {
            Trace(station_.rt.NowMs(), "operator switches the radio on at the radio");
            station_.radio->SetPower(true);
        }
        int64_t nextActionMs = faultsEnd + 3500;  // the watchdog has had its say by then
        // On line: connected, the radio on and identified, and answering now.
        while (!(GetMirror(Mirror::AI) == 1 && GetMirror(Mirror::PS) == 1 &&
                 GetField(Field::ID) == 310 &&
                 station_.rt.NowMs() - lastAnswerMs_.load() <= kLiveAnswerMs)) {
            if (station_.rt.NowMs() - faultsEnd > kOnLineBoundMs) {
                Fail("not on line " + std::to_string(kOnLineBoundMs) +
                     " ms after the faults ended (AI mirror " +
                     std::to_string(GetMirror(Mirror::AI)) + ", PS mirror " +
                     std::to_string(GetMirror(Mirror::PS)) + ", ID " +
                     std::to_string(GetField(Field::ID)) + ", last answer at " +
                     std::to_string(lastAnswerMs_.load()) + ", now " +
                     std::to_string(station_.rt.NowMs()) + ")");
                return;
            }
            if (station_.rt.NowMs() >= nextActionMs) {
                if (GetMirror(Mirror::AI) != 1) {
                    Ask(kReqConnect);
                } else if (GetMirror(Mirror::PS) != 1) {
                    Ask(kReqPower);
                }
                nextActionMs = station_.rt.NowMs() + 6000;
            }
            station_.rt.RunFor(100);
        }
    }

    void StartFault(std::map<SimFault, int64_t>& faultEnds) {
        // The amount of each fault: drawn from low to high, then divided by the scale.
        struct Amount {
            SimFault fault;
            int64_t low, high;
            double scale;
        };
        // clang-format off
        static constexpr Amount kAmounts[] = {
            {SimFault::Noise,     1,  300,               1.0},
            {SimFault::LostBytes, 1,  400,               1000.0},
            {SimFault::Slow,      5,  1500,              1.0},
            {SimFault::Unplug,    50, kLongestOutageMs,  1.0},
            {SimFault::Malformed, 1,  700,               1000.0},
        };
        // clang-format on
        const SimFault fault = SimFaultTable[Uniform(0, std::ssize(SimFaultTable) - 1)].fault;
        double amount = 0.0;
        for (const Amount& a : kAmounts) {
            amount =
                a.fault == fault ? static_cast<double>(Uniform(a.low, a.high)) / a.scale : amount;
        }
        Trace(station_.rt.NowMs(),
              "fault on " + std::string(FaultInfo(fault).name) + " " + std::to_string(amount));
        station_.radio->StartFault(fault, amount);
        faultEnds[fault] = station_.rt.NowMs() + Uniform(50, 8000);
    }

    // Every store field lies within its limits, whatever the line carried.
    void CheckStore() {
        for (int i = 0; i < kFieldCount; ++i) {
            const auto field = static_cast<Field>(i);
            const int32_t value = GetField(field);
            if (value < FieldMin(field) || value > FieldMax(field)) {
                Fail("store field " + std::string(FieldName(field)) + " holds " +
                     std::to_string(value) + ", outside " + std::to_string(FieldMin(field)) +
                     " to " + std::to_string(FieldMax(field)));
            }
        }
        for (const RealField field : {RealField::IFp13, RealField::OIp13}) {
            const double value = GetReal(field);
            if (!(value >= -9999.0 && value <= 9999.0)) {
                Fail("clarifier offset " + std::to_string(value) + " out of range");
            }
        }
    }

    // A frequency the engine took either went out on the line or the operator was told that the
    // line was down: the panel showed no connection then, or a port failure or a change of the
    // connection came after.
    void CheckCommands() {
        const std::vector<std::string> sent = TextsOf(station_.commands.From(0));
        std::lock_guard lock(mutex_);
        for (const OperatorCommand& command : asked_commands_) {
            char text[16];
            std::snprintf(text, sizeof text, "FA%08d;", command.hertz);
            if (std::ranges::find(sent, text) == sent.end() && command.onLine &&
                lastReportMs_ < command.atMs) {
                Fail("frequency " + std::to_string(command.hertz) + " asked at " +
                     std::to_string(command.atMs) + " ms never reached the line, unreported");
            }
        }
    }

    // The settings file holds what it held, and nothing else is left in its folder.
    void CheckSettingsFile() {
        std::ifstream file(CommoFilePath("CommSetting.csv"), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(file), {}};
        if (text != SimStation::kSettingsText) {
            Fail("settings file reads \"" + text + "\"");
        }
        for (const auto& entry : std::filesystem::directory_iterator(CommoFolderPath())) {
            if (entry.path().filename() != "CommSetting.csv") {
                Fail("left in the settings folder: " + entry.path().filename().string());
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(station_.workDir, ignored);
    }

    int64_t Uniform(int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(rng_);
    }
    void Fail(std::string what) { failures_.push_back(std::move(what)); }

    const uint32_t seed_;
    std::mt19937 rng_;
    SimStation station_;
    std::atomic<int64_t> lastAnswerMs_{-1};  // when the radio last said something

    std::mutex mutex_;  // the window records, written on the window's thread
    int64_t lastReportMs_ = -1;
    std::vector<OperatorCommand> asked_commands_;
    int32_t asked_ = 0;
    std::vector<std::string> failures_;
};

// Writes a whole line with one call, so that lines of children running side by side never mix.
void PrintLine(const std::string& line) {
    [[maybe_unused]] const ssize_t written =
        ::write(STDOUT_FILENO, (line + "\n").data(), line.size() + 1);
}

// Describes how a child ended, when it did not pass.
std::string ChildOutcome(int status) {
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        if (signal == SIGALRM) {
            return "hang (no end within " + std::to_string(kRealSecondsPerSeed) + " s)";
        }
        if (signal == SIGXCPU) {
            return "spin (more than " + std::to_string(kCpuSecondsPerSeed) + " s of processor)";
        }
        return std::string("crash (") + ::strsignal(signal) + ")";
    }
    return "invariants broken (above)";
}

int Main(int argc, char** argv) {
    uint32_t first = 1;
    uint32_t count = 100;
    unsigned jobs = 2;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const auto number = [&] {
            return static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        };
        if (arg == "--trace") {
            tracing = true;
        } else if (arg == "--seeds" && hasValue) {
            count = number();
        } else if (arg == "--first" && hasValue) {
            first = number();
        } else if (arg == "--seed" && hasValue) {
            first = number();
            count = 1;
        } else if (arg == "--jobs" && hasValue) {
            jobs = std::max(1u, number());
        } else {
            std::fprintf(stderr,
                         "usage: fault_matrix [--seeds N] [--first SEED] [--seed SEED] [--jobs J] "
                         "[--trace]\n");
            return 2;
        }
    }
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    std::map<pid_t, uint32_t> running;
    std::vector<uint32_t> failed;
    uint32_t next = first;
    const uint32_t end = first + count;
    while (next < end || !running.empty()) {
        while (next < end && running.size() < jobs) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                const rlimit cpu{kCpuSecondsPerSeed, kCpuSecondsPerSeed + 5};
                ::setrlimit(RLIMIT_CPU, &cpu);
                ::alarm(kRealSecondsPerSeed);
                const std::vector<std::string> failures = Run(next).Execute();
                for (const std::string& failure : failures) {
                    PrintLine("seed " + std::to_string(next) + ": " + failure);
                }
                // The run's threads and globals go with the process; nothing needs tearing down.
                std::fflush(stdout);
                ::_exit(failures.empty() ? 0 : 1);
            }
            if (pid < 0) {
                std::perror("fork");
                return 2;
            }
            running[pid] = next++;
        }
        int status = 0;
        const pid_t done = ::wait(&status);
        if (done < 0) {
            break;
        }
        const uint32_t seed = running[done];
        running.erase(done);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            failed.push_back(seed);
            PrintLine("FAILED seed " + std::to_string(seed) + ": " + ChildOutcome(status) +
                      "; rerun with: fault_matrix --seed " + std::to_string(seed));
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char summary[160];
    std::snprintf(summary, sizeof summary,
                  "ran seeds %u to %u in %.1f s on %u jobs\n%u seeds, %zu failures", first, end - 1,
                  seconds, jobs, count, failed.size());
    PrintLine(summary);
    return failed.empty() ? 0 : 1;
}

}  // namespace
}  // namespace kestrel

int main(int argc, char** argv) {
    return kestrel::Main(argc, argv);
}
