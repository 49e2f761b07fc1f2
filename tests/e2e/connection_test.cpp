// A connection from the connect request to on line, against the simulated transceiver: the
// commands on the line in order and at their pace, the window's notifications, and the store
// holding the radio's values afterwards.
#include <algorithm>
#include <string>
#include <vector>

#include "connection_line.h"
#include "engine/engine_lifecycle.h"
#include "platform/timer_numbers.h"
#include "platform/workers.h"
#include "protocol/notifications.h"
#include "protocol/radio_state.h"
#include "serial/serial_port.h"
#include "station_fixture.h"

namespace kestrel {
namespace {

// The gap expected between two commands that follow each other in the connection, where no
// heartbeat came near: reads of one row follow at once, the monitor and equalizer reads wait
// 25 ms each, and every other row and menu item starts on the next 30 ms tick.
int64_t ExpectedGap(const std::string& previous, const std::string& next) {
    if (previous == "AI1;") {
        return 20;
    }
    if (previous == "ID;" || previous == "ML0;" || previous.starts_with("PE")) {
        return 25;
    }
    if (previous == "ML1;") {
        return 5;  // the tick after the one that sent "ML0;"
    }
    if (previous == "UL;") {
        return 60;  // the AI row between them reads nothing but takes its tick
    }
    for (const char* code : {"BP", "CO", "RM", "KM", "RI", "BG"}) {
        if (previous.starts_with(code) && next.starts_with(code)) {
            return 0;
        }
    }
    return 30;
}

// Forwards to the station's clock and records the name of every loop started.
class LoopStartRecorder final : public Runtime {
  public:
    explicit LoopStartRecorder(VirtualRuntime& rt) : rt_(rt) {}
    int64_t NowMs() const override { return rt_.NowMs(); }
    void SleepMs(int64_t ms) override { rt_.SleepMs(ms); }
    std::shared_ptr<MessageLoop> StartLoop(std::string name, MessageHandler handler) override {
        started.push_back(name);
        return rt_.StartLoop(std::move(name), std::move(handler));
    }
    std::shared_ptr<MessageLoop> StartPacedLoop(std::string name, int64_t periodMs, Message tick,
                                                MessageHandler handler) override {
        started.push_back(name);
        return rt_.StartPacedLoop(std::move(name), periodMs, tick, std::move(handler));
    }
    TimerId StartTimer(int64_t periodMs, std::function<void()> fn) override {
        return rt_.StartTimer(periodMs, std::move(fn));
    }
    void CancelTimer(TimerId id) override { rt_.CancelTimer(id); }
    void CallAfter(int64_t delayMs, std::function<void()> fn) override {
        rt_.CallAfter(delayMs, std::move(fn));
    }
    std::shared_ptr<Signal> MakeSignal() override { return rt_.MakeSignal(); }
    bool Wait(Signal& signal, int64_t timeoutMs) override { return rt_.Wait(signal, timeoutMs); }
    MessageLoop* CurrentLoop() const override { return rt_.CurrentLoop(); }

    std::vector<std::string> started;

  private:
    VirtualRuntime& rt_;
};

class EngineLifecycle : public Station {
  protected:
    LoopStartRecorder recorder{rt};
};

// The port is shut before any worker stops, the receiving side stops before the sending side,
// and the workers start in the opposite order, consumers before their producers.
TEST_F(EngineLifecycle, WorkersStopAfterThePortClosesAndStartConsumersFirst) {
    const Worker order[] = {Worker::SioRecv, Worker::AnlRecv, Worker::AnlSend, Worker::SioSend};
    std::vector<std::string> stopped;
    bool portOpen = TheSerialPort().IsOpen();
    bool running[4] = {true, true, true, true};
    const TimerId sampler = rt.StartTimer(1, [&] {
        if (portOpen && !TheSerialPort().IsOpen()) {
            portOpen = false;
            stopped.push_back("port");
        }
        for (int i = 0; i < 4; ++i) {
            const auto loop = WorkerLoop(order[i]);
            if (running[i] && !(loop && loop->IsRunning())) {
                running[i] = false;
                stopped.push_back(loop ? loop->Name() : "slot emptied");
            }
        }
    });
    ASSERT_TRUE(portOpen);
    StopEngine();
    rt.RunFor(5);
    rt.CancelTimer(sampler);
    EXPECT_EQ(stopped, (TextList{"port", "Sio_Recv_Thread", "Anl_Recv_Thread", "Anl_Send_Thread",
                                 "Sio_Send_Thread"}));

    SetRuntime(&recorder);
    ASSERT_TRUE(StartEngine([](int) {}));
    EXPECT_EQ(recorder.started,
              (TextList{"File_MenuListDefFile", "Anl_Recv_Thread", "Sio_Recv_Thread",
                        "Sio_Send_Thread", "Anl_Send_Thread"}));
    ASSERT_TRUE(rt.RunUntil([] { return StoreReady.load() == 1; }, 1000));
}

// Opening the port writes automatic information off and nothing else until the connect; then the
// whole cycle runs to on line, after which only the heartbeat goes out.
TEST_F(Station, ConnectRunsTheWholeCycleToOnLineThenOnlyTheHeartbeat) {
    rt.RunFor(1500);
    EXPECT_EQ(TextsOf(commands.From(0)), TextList{"AI0;"});
    EXPECT_EQ(GetMirror(Mirror::AI), 0);
    const int64_t connectMs = Now();
    const size_t before = commands.Size();
    ASSERT_TRUE(ConnectAndReadAll());
    const std::vector<LineText> written = commands.From(before);
    const AlignedLine aligned = AlignConnection(written);
    EXPECT_EQ(written.front().atMs, connectMs) << "the connect request is made at once";
    EXPECT_FALSE(aligned.heartbeats.empty()) << "a full read outlasts a heartbeat";

    // The pace of every step.
    int checked = 0;
    for (size_t i = 1; i < aligned.matched.size(); ++i) {
        const LineText& previous = aligned.matched[i - 1];
        const LineText& next = aligned.matched[i];
        // The probe and the first read wait for the radio's answers; a heartbeat holds up the
        // step queued behind it.
        const bool heartbeatNear = std::any_of(
            aligned.heartbeats.begin(), aligned.heartbeats.end(),
            [&](const LineText& h) { return h.atMs >= previous.atMs - 60 && h.atMs <= next.atMs; });
        if (next.text == "ID;" || previous.text == "ID0747;" || heartbeatNear) {
            continue;
        }
        EXPECT_EQ(next.atMs - previous.atMs, ExpectedGap(previous.text, next.text))
            << previous.text << " -> " << next.text;
        ++checked;
    }
    EXPECT_GT(checked, 180);

    // The window heard of the connection once, and of the end of the menu read right after the
    // last read.
    EXPECT_EQ(WindowOf(kMsgConnectionUp).size(), 1u);
    EXPECT_EQ(WindowOf(kMsgStartupFailure).size(), 0u);
    EXPECT_EQ(OnLineAt(connectMs), aligned.matched.back().atMs);
    EXPECT_FALSE(window->ReadingRunning() != 0 || window->HasTimer(kTimerInitialRead) ||
                 window->HasTimer(kTimerMenuRead));

    // The store holds what the radio holds.
    rt.RunFor(100);
    const SimState radioState = radio->State();
    // The keyer text with all 50 characters.
    EXPECT_EQ((TextList{Store("FA"), Store("FB"), Store("MD0"), Store("IDX"), Store("ID"),
                        Store("AI"), Store("PS"), Store("KM1")}),
              (TextList{std::to_string(radioState.fa), std::to_string(radioState.fb),
                        std::to_string(radioState.md[0]), "1", "310", "1", "1",
                        radio->AnswerTo("KM1;").substr(3, 50)}));
    EXPECT_EQ(GetMirror(Mirror::AI) + AutoInfoSent.load(), 2);
    // Every menu item holds the radio's setting, long times (kind 41) converted to the program's.
    ASSERT_EQ(GetMenuItemCount(), 118);
    for (int number = 1; number <= 118; ++number) {
        MenuItem item;
        ASSERT_TRUE(GetMenuItem(number, &item));
        const int64_t value = radioState.menu[static_cast<size_t>(number - 1)];
        EXPECT_EQ(MenuValueToWhole(item.value),
                  item.kind == 41 && value > 240 ? (value - 240) * 30 + 240 : value)
            << "menu item " << number;
    }

    rt.RunFor(900);
    const int64_t from = Now();
    rt.RunFor(4000);
    const std::vector<LineText> line = commands.Since(from);
    ASSERT_EQ(TextsOf(line), (TextList{"PS;", "AI;", "PS;", "AI;", "PS;", "AI;", "PS;", "AI;"}));
    for (size_t i = 0; i < line.size(); i += 2) {
        EXPECT_EQ(line[i + 1].atMs - line[i].atMs, 30);
        if (i >= 2) {
            EXPECT_EQ(line[i].atMs - line[i - 2].atMs, 1000);
        }
    }
    // The heartbeats' answers keep the watchdog from expiring, so the connection holds.
    EXPECT_EQ(GetMirror(Mirror::AI), 1);
    EXPECT_EQ(Store("PS"), "1");
}

}  // namespace
}  // namespace kestrel
