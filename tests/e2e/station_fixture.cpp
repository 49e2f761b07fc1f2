#include "station_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/anl_send_thread.h"
#include "engine/engine_lifecycle.h"
#include "engine/engine_timers.h"
#include "platform/paths.h"
#include "platform/runtime.h"
#include "platform/startup_box.h"
#include "platform/workers.h"
#include "protocol/field_names.h"
#include "protocol/message_ring.h"
#include "protocol/notifications.h"
#include "protocol/radio_state.h"
#include "protocol/requests.h"
#include "serial/serial_port.h"
#include "support/line_taps.h"

namespace kestrel {

namespace {

// The line the simulated radio listens on; the program reads the same rate from its settings file.
constexpr LineSettings kRadioLine{.baud = 4800, .stopBits = 2, .ctsFlow = false};

}  // namespace

void LineLog::Add(int64_t atMs, std::string_view bytes) {
    std::lock_guard lock(mutex_);
    for (const char c : bytes) {
        pending_ += c;
        if (c == ';') {
            entries_.push_back({atMs, std::exchange(pending_, std::string())});
        }
    }
}

std::vector<LineText> LineLog::Since(int64_t atMs) const {
    std::lock_guard lock(mutex_);
    std::vector<LineText> found;
    std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(found),
                 [&](const LineText& entry) { return entry.atMs >= atMs; });
    return found;
}

std::vector<LineText> LineLog::From(size_t index) const {
    std::lock_guard lock(mutex_);
    return std::vector<LineText>(
        entries_.begin() + static_cast<ptrdiff_t>(std::min(index, entries_.size())),
        entries_.end());
}

size_t LineLog::Size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

std::vector<std::string> TextsOf(const std::vector<LineText>& entries) {
    std::vector<std::string> texts;
    for (const LineText& entry : entries) {
        texts.push_back(entry.text);
    }
    return texts;
}

void Station::SetUp() {
    char dirTemplate[] = "/tmp/kestrel-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    workDir_ = dirTemplate;
    std::filesystem::create_directory(workDir_ + "/" + std::string(kCommoFolder));
    std::ofstream(workDir_ + "/" + std::string(kCommoFolder) + "/CommSetting.csv") << "1,4800,0\n";
    SetWorkingDirectoryBase(workDir_);

    SetRuntime(&rt);
    AutoInfoSent.store(0);
    AnswerWaiting.store(0);
    StartupBoxShown.store(0);

    pair = std::make_unique<MemorySerialPair>();
    link = std::make_unique<MemoryPairLink>(*pair, kRadioLine);
    radioOut = std::make_unique<TappedSink>(
        *link, [this](std::string_view bytes) { answers.Add(Rt().NowMs(), bytes); });
    radio = std::make_unique<Transceiver>(*radioOut, RadioOptions());
    link->Attach(*radio);
    radio->SetLinkControl(link.get());
    ASSERT_TRUE(link->Start());
    radio->Start();
    TheSerialPort().SetDeviceFactory(
        TappedFactory(pair->Factory(MemorySerialPair::Side::A),
                      [this](std::string_view bytes) { commands.Add(Rt().NowMs(), bytes); }));

    window = std::make_unique<HeadlessMainWindow>([this](const Message& m) -> int64_t {
        const bool engineTimer =
            m.id == kMsgTimer && DispatchEngineTimer(static_cast<int>(m.wParam));
        if (m.id != kMsgTimer) {
            std::lock_guard lock(windowMutex_);
            windowEvents_.push_back({rt.NowMs(), m});
        }
        if (!engineTimer && windowHook) {
            windowHook(m);
        }
        return 0;
    });
    SetMainWindow(window.get());

    ASSERT_TRUE(StartEngine([](int stringId) { ADD_FAILURE() << "startup string " << stringId; }));
    ASSERT_TRUE(rt.RunUntil([] { return StoreReady.load() == 1; }, 1000));
}

void Station::TearDown() {
    if (window) {
        StopEngine();
        window->Close();
        StopWorker(&window->Loop());
    }
    // The loader ends itself once the catalogue is in; this only clears its slot.
    StopWorkerInSlot(Worker::MenuLoader);
    SetMainWindow(nullptr);
    window.reset();
    TheSerialPort().SetDeviceFactory(nullptr);
    if (radio) {
        radio->Stop();
        radio->SetLinkControl(nullptr);
        link->Stop();
    }
    link.reset();
    radio.reset();
    radioOut.reset();
    pair.reset();
    CommandRing.Empty();
    AnswerRing.Empty();
    AutoInfoSent.store(0);
    AnswerWaiting.store(0);
    StoreReady.store(0);
    SetRuntime(nullptr);
    SetWorkingDirectoryBase("");
    if (!workDir_.empty()) {
        std::filesystem::remove_all(workDir_);
    }
}

bool Station::ConnectAndReadAll(int64_t maxMs) {
    const int64_t from = rt.NowMs();
    return PostRequest(kReqConnect, 0, 0) && RunUntilOnLine(from, maxMs);
}

int64_t Station::OnLineAt(int64_t sinceMs) const {
    // 0x8307 is also the CO answer's notification, so the end of the menu read is told by the
    // pair of notifications that follows its last read.
    int64_t lastReadMs = -1;
    for (const LineText& entry : commands.Since(sinceMs)) {
        if (entry.text == "EX118;") {
            lastReadMs = entry.atMs;
        }
    }
    if (lastReadMs < 0) {
        return -1;
    }
    const std::vector<WindowEvent> events = WindowSince(lastReadMs);
    for (size_t i = 0; i + 1 < events.size(); ++i) {
        if (events[i].message.id == kNotifyBG && events[i + 1].message.id == kNotifyCO) {
            return events[i + 1].atMs;
        }
    }
    return -1;
}

bool Station::RunUntilOneMore(uint32_t id, int64_t maxMs) {
    const size_t count = WindowOf(id).size() + 1;
    return rt.RunUntil([&] { return WindowOf(id).size() >= count; }, maxMs);
}

std::vector<WindowEvent> Station::WindowOf(uint32_t id, int64_t sinceMs) const {
    std::lock_guard lock(windowMutex_);
    std::vector<WindowEvent> found;
    std::copy_if(
        windowEvents_.begin(), windowEvents_.end(), std::back_inserter(found),
        [&](const WindowEvent& e) { return e.atMs >= sinceMs && (id == 0 || e.message.id == id); });
    return found;
}

std::string Station::Store(std::string_view name) {
    std::string value;
    if (!GetFieldByName(name, value)) {
        ADD_FAILURE() << "no store field " << name;
    }
    return value;
}

}  // namespace kestrel
