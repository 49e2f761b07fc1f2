#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/anl_recv_thread.h"
#include "engine/anl_send_thread.h"
#include "engine/engine_timers.h"
#include "menulist/menu_catalogue.h"
#include "platform/headless_main_window.h"
#include "platform/memory_serial_pair.h"
#include "platform/virtual_runtime.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/radio_state.h"
#include "protocol/store_flags.h"
#include "serial/serial_port.h"

namespace kestrel {

using Ids = std::vector<uint32_t>;
using TextList = std::vector<std::string>;

// Expects each field to hold its value.
inline void ExpectFields(std::initializer_list<std::pair<Field, int32_t>> fields) {
    for (const auto& [field, value] : fields) {
        EXPECT_EQ(GetField(field), value) << FieldName(field);
    }
}

// A fresh store, mirror, rings and flags on a runtime (virtual time unless a test needs real
// threads), with a headless main window that hands every message to OnWindow. Stand-ins take the
// place of the workers a test does not run.
template <class RuntimeType>
class EngineTestOn : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRuntime(&runtime);
        ResetRadioState();
        InitControlMirror();
        CommandRing.Empty();
        AnswerRing.Empty();
        AutoInfoSent.store(0);
        SavedAutoInfo.store(0);
        PowerOffMarker.store(0);
        LinkWatchdogArmed.store(0);
        window = std::make_unique<HeadlessMainWindow>([this](const Message& m) -> int64_t {
            OnWindow(m);
            return 0;
        });
        SetMainWindow(window.get());
    }

    void TearDown() override {
        for (const Worker worker : {Worker::AnlRecv, Worker::AnlSend, Worker::SioSend}) {
            StopWorkerInSlot(worker);
        }
        window->Close();
        SetMainWindow(nullptr);
        window.reset();
        TheSerialPort().Close();
        TheSerialPort().SetDeviceFactory(nullptr);
        CommandRing.Empty();
        AnswerRing.Empty();
        SetRuntime(nullptr);
    }

    // Handles a message of the main window.
    virtual void OnWindow(const Message& m) {
        if (onWindow) {
            onWindow(m);
        }
    }

    // Puts a stand-in that hands every message to the handler in a worker's slot.
    void StandIn(Worker worker, MessageHandler handler) {
        SetWorkerLoop(worker, runtime.StartLoop("stand-in", std::move(handler)));
    }

    RuntimeType runtime;
    std::unique_ptr<HeadlessMainWindow> window;
    std::function<void(const Message&)> onWindow;  // sees each window message first
};

using EngineTest = EngineTestOn<VirtualRuntime>;

// A message as the headless main window handled it (timer ticks apart).
struct SeenWindowMessage {
    uint32_t id;
    uint64_t wParam;
    int64_t lParam;
    bool operator==(const SeenWindowMessage&) const = default;
};

// Analyses answers with the menu catalogue loaded, as it is before any answer can be framed. The
// window records every message in order and a stand-in Anl_Send_Thread what is posted to it.
class AnalysisTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        LoadMenuCatalogue();
        StandIn(Worker::AnlSend, [this](const Message& m) { senderMessages.push_back(m.id); });
    }

    void OnWindow(const Message& m) override {
        EngineTest::OnWindow(m);
        if (m.id == kMsgTimer) {
            timerTicks.push_back({runtime.NowMs(), static_cast<int64_t>(m.wParam)});
        } else {
            windowMessages.push_back({m.id, m.wParam, m.lParam});
        }
    }

    // Analyses one answer (without its ";") and lets every posted message arrive.
    void Analyse(const std::string& answer) {
        AnalyseAnswer(answer);
        runtime.RunFor(0);
    }

    // Returns the ids of the window messages seen so far and forgets them.
    Ids TakeWindowIds() {
        Ids ids;
        for (const auto& m : std::exchange(windowMessages, {})) {
            ids.push_back(m.id);
        }
        return ids;
    }

    // Returns the messages posted to Anl_Send_Thread so far and forgets them.
    Ids TakeSenderIds() { return std::exchange(senderMessages, {}); }

    std::vector<SeenWindowMessage> windowMessages;
    Ids senderMessages;
    std::vector<std::pair<int64_t, int64_t>> timerTicks;  // when, and which timer
};

// A command as Sio_Send_Thread took it from the ring, or a window message, with its virtual time.
struct SentCommand {
    int64_t atMs;
    std::string text;
};
struct WindowMessage {
    int64_t atMs;
    uint32_t id;
};

// Runs Anl_Send_Thread with the window's timer ticks going through DispatchEngineTimer, and
// stand-ins for Sio_Send_Thread and Anl_Recv_Thread that record what reaches them. The port
// opens onto an in-memory cable.
class RequestThreadTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        TheSerialPort().SetDeviceFactory(cable.Factory(MemorySerialPair::Side::A));
        StandIn(Worker::SioSend, [this](const Message& m) {
            char buffer[MessageRing::kSlotSize];
            if (m.id == kMsgSendStep && CommandRing.Take(buffer) != 0) {
                sent.push_back({runtime.NowMs(), buffer});
            }
        });
        StandIn(Worker::AnlRecv, [this](const Message& m) {
            char buffer[MessageRing::kSlotSize];
            if (m.id == kMsgAnalyse && AnswerRing.Take(buffer) != 0) {
                analysed.emplace_back(buffer);
            }
        });
        ASSERT_TRUE(StartRequestThread());
    }

    void TearDown() override {
        StopRequestThread();
        EngineTest::TearDown();
    }

    void OnWindow(const Message& m) override {
        if (m.id == kMsgTimer) {
            DispatchEngineTimer(static_cast<int>(m.wParam));
        } else {
            windowMessages.push_back({runtime.NowMs(), m.id});
        }
    }

    // Returns the texts sent so far, in order.
    TextList Texts() const {
        TextList texts;
        for (const auto& command : sent) {
            texts.push_back(command.text);
        }
        return texts;
    }

    MemorySerialPair cable;
    std::vector<SentCommand> sent;
    std::vector<WindowMessage> windowMessages;
    std::vector<std::string> analysed;
};

}  // namespace kestrel
