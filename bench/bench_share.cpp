// Measures the rigctld server of the sharing layer on real threads, with the engine connected to
// the built-in simulated transceiver over a pseudo-terminal:
//   - how many answers per second one client gets for "f" (served from the store), and
//   - the time from a client's "F" to the last byte of the "FA" command written to the line.
// At 4800 baud those 11 bytes then take another 25 ms on a real cable.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine_api/radio_engine.h"
#include "platform/headless_main_window.h"
#include "platform/real_runtime.h"
#include "platform/termios_device.h"
#include "protocol/store_flags.h"
#include "server/engine_radio_access.h"
#include "server/radio_server.h"
#include "sim/built_in_radio.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kAnswers = 20000;
constexpr int kSamples = 200;

// Notes when each command's last byte has been written to the line.
class TimingDevice final : public kestrel::SerialDevice {
  public:
    using Sink = std::function<void(std::string, Clock::time_point)>;
    TimingDevice(std::unique_ptr<kestrel::SerialDevice> inner, Sink sink)
        : inner_(std::move(inner)), sink_(std::move(sink)) {}
    bool Configure(const kestrel::LineSettings& s) override { return inner_->Configure(s); }
    kestrel::ReadResult Read(uint8_t* data, size_t max) override { return inner_->Read(data, max); }
    bool Write(const uint8_t* data, size_t size, int64_t timeoutMs) override {
        const bool ok = inner_->Write(data, size, timeoutMs);
        sink_(std::string(reinterpret_cast<const char*>(data), size), Clock::now());
        return ok;
    }
    bool QueryStatus(kestrel::LineStatus& status) override { return inner_->QueryStatus(status); }
    bool SetRts(bool raised) override { return inner_->SetRts(raised); }
    bool HungUp() override { return inner_->HungUp(); }

  private:
    std::unique_ptr<kestrel::SerialDevice> inner_;
    Sink sink_;
};

// Sends a line and reads the one-line answer.
std::string Ask(int fd, const std::string& line) {
    ::send(fd, line.data(), line.size(), MSG_NOSIGNAL);
    std::string answer;
    char c;
    while (::recv(fd, &c, 1, 0) == 1 && c != '\n') {
        answer += c;
    }
    return answer;
}

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

template <typename Ready>
bool WaitFor(Ready ready, int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (!ready() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return ready();
}

}  // namespace

int main() {
    using namespace kestrel;
    char folder[] = "/tmp/kestrel-share-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0) {
        return 1;
    }
    RealRuntime runtime;
    SetRuntime(&runtime);

    std::mutex mutex;
    std::condition_variable written;
    std::vector<std::pair<std::string, Clock::time_point>> writes;
    RadioEngine::SetDeviceFactory([&](const std::string& path) -> std::unique_ptr<SerialDevice> {
        auto device = TermiosDevice::Open(path);
        if (!device) {
            return nullptr;
        }
        return std::make_unique<TimingDevice>(std::move(device),
                                              [&](std::string bytes, Clock::time_point at) {
                                                  std::lock_guard lock(mutex);
                                                  writes.emplace_back(std::move(bytes), at);
                                                  written.notify_all();
                                              });
    });
    std::unique_ptr<BuiltInRadio> radio;
    HeadlessMainWindow window([](const Message& m) -> int64_t {
        if (m.id == kMsgTimer) {
            RadioEngine::DispatchTimer(static_cast<int>(m.wParam));
        }
        return 0;
    });
    SetMainWindow(&window);
    RadioEngine::Start([](int) {},
                       [&] {
                           radio = std::make_unique<BuiltInRadio>(RadioEngine::BaudRate());
                           RadioEngine::SetDeviceOverride(radio->Start());
                       });
    WaitFor([] { return StoreReady.load() != 0; }, 5);
    RadioEngine::Connect();
    // Measure in the steady state: after the initial and menu reads.
    WaitFor([] { return RadioEngine::IsConnected(); }, 5);
    WaitFor([&] { return window.ReadingRunning() != 0; }, 5);
    WaitFor([&] { return window.ReadingRunning() == 0; }, 30);

    EngineRadioAccess access;
    RadioServer server(access);
    ServerOptions options;
    options.rigctl = ListenEndpoint{"127.0.0.1", 0};
    std::string error;
    if (!RadioEngine::IsConnected() || !server.Start(options, error)) {
        std::printf("not ready: %s\n", error.c_str());
        return 1;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.RigctlPort());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return 1;
    }

    const auto start = Clock::now();
    for (int i = 0; i < kAnswers; ++i) {
        Ask(fd, "f\n");
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%-44s %8.0f answers/s  (%d round trips)\n", "one client, \"f\" from the store",
                kAnswers / seconds, kAnswers);

    std::vector<double> latencies;
    for (int i = 0; i < kSamples; ++i) {
        char command[16];
        std::snprintf(command, sizeof command, "FA%08d;", 14000000 + (i % 50) * 100 + 10);
        {
            std::lock_guard lock(mutex);
            writes.clear();
        }
        const auto asked = Clock::now();
        Ask(fd, "F " + std::string(command + 2, 8) + "\n");
        std::unique_lock lock(mutex);
        const auto found = [&] {
            return std::find_if(writes.begin(), writes.end(), [&](const auto& w) {
                return w.first.find(command) != std::string::npos;
            });
        };
        if (written.wait_for(lock, std::chrono::seconds(2),
                             [&] { return found() != writes.end(); })) {
            latencies.push_back(Micros(found()->second - asked));
        }
        lock.unlock();
        // Let the radio's report of the new frequency go by before the next sample.
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        std::printf("%-44s median %8.0f us   p99 %8.0f us   (%zu samples)\n",
                    "\"F\" -> last byte of \"FA\" on the line", latencies[latencies.size() / 2],
                    latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)],
                    latencies.size());
    }

    ::close(fd);
    server.Stop();
    RadioEngine::Stop();
    window.Close();
    StopWorker(&window.Loop());
    SetMainWindow(nullptr);
    radio.reset();
    RadioEngine::SetDeviceFactory(nullptr);
    return 0;
}
