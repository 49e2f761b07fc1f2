// Measures, on real threads over a pseudo-terminal, how long the engine takes
//   - from the last byte of an answer reaching the line to its notification being posted, and
//   - from PostRequest to the last byte of the command arriving at the far end of the line.
// The receive step runs every 5 ms, so the first figure is bounded below by the tick.
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "engine/anl_send_thread.h"
#include "engine/engine_lifecycle.h"
#include "engine/engine_timers.h"
#include "platform/headless_main_window.h"
#include "platform/pty_pair.h"
#include "platform/real_runtime.h"
#include "protocol/notifications.h"
#include "protocol/requests.h"
#include "protocol/store_flags.h"
#include "serial/serial_port.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSamples = 300;

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void Report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    const double p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    std::printf("%-44s median %8.0f us   p99 %8.0f us   (%zu samples)\n", what, median, p99,
                samples.size());
}

// Reads from the far end until the text ends in ";" (the whole command) or time runs out.
bool ReadCommand(kestrel::PtyPair& pty, std::string& text) {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    uint8_t buffer[256];
    while (Clock::now() < deadline) {
        pollfd pfd{pty.FarFd(), POLLIN, 0};
        ::poll(&pfd, 1, 10);
        const auto result = pty.FarEnd().Read(buffer, sizeof buffer);
        text.append(reinterpret_cast<const char*>(buffer), result.count);
        if (!text.empty() && text.back() == ';') {
            return true;
        }
    }
    return false;
}

}  // namespace

int main() {
    using namespace kestrel;
    char folder[] = "/tmp/kestrel-latency-XXXXXX";
    if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0) {
        return 1;
    }
    RealRuntime runtime;
    SetRuntime(&runtime);
    auto pty = PtyPair::Create();
    if (!pty) {
        std::puts("no pseudo-terminal");
        return 1;
    }
    TheSerialPort().SetDeviceOverride(pty->Path());

    std::atomic<int64_t> notifiedAt{0};
    HeadlessMainWindow window([&](const Message& m) -> int64_t {
        if (m.id == kMsgTimer) {
            DispatchEngineTimer(static_cast<int>(m.wParam));
        } else if (m.id == kNotifyFA) {
            notifiedAt = Clock::now().time_since_epoch().count();
        }
        return 0;
    });
    SetMainWindow(&window);
    StartEngine([](int) {});
    while (!StoreReady.load()) {
        runtime.SleepMs(5);
    }
    std::string opening;
    ReadCommand(*pty, opening);

    std::vector<double> answerToNotify;
    std::vector<double> requestToLine;
    for (int i = 0; i < kSamples; ++i) {
        const std::string answer = "FA" + std::to_string(14000000 + i * 10) + ";";
        notifiedAt = 0;
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(answer.data());
        pty->FarEnd().Write(bytes, answer.size(), 1000);
        const auto written = Clock::now();
        while (notifiedAt == 0 && Clock::now() - written < std::chrono::seconds(2)) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        if (notifiedAt != 0) {
            answerToNotify.push_back(
                Micros(Clock::time_point(Clock::duration(notifiedAt.load())) - written));
        }

        const auto posted = Clock::now();
        PostRequest(kReqLockToggle, 0, 0);
        std::string command;
        if (ReadCommand(*pty, command)) {
            requestToLine.push_back(Micros(Clock::now() - posted));
        }
        // Spread the samples over the receive tick's phase.
        std::this_thread::sleep_for(std::chrono::microseconds(700 + 1300 * (i % 7)));
    }
    Report("answer on the line -> notification posted", answerToNotify);
    Report("PostRequest -> last command byte on the line", requestToLine);

    StopEngine();
    window.Close();
    StopWorker(&window.Loop());
    SetMainWindow(nullptr);
    return 0;
}
