#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/anl_send_thread.h"
#include "engine/engine_timers.h"
#include "platform/headless_main_window.h"
#include "platform/memory_serial_pair.h"
#include "platform/virtual_runtime.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/radio_state.h"
#include "serial/serial_port.h"

namespace kestrel {

// A command as Sio_Send_Thread took it from the ring, with the virtual time it was taken.
struct SentCommand {
    int64_t atMs;
    std::string text;
};

// A window message as the headless main window handled it.
struct WindowMessage {
    int64_t atMs;
    uint32_t id;
};

// Runs Anl_Send_Thread in virtual time with a headless main window whose timer ticks go through
// DispatchEngineTimer, and stand-ins for Sio_Send_Thread and Anl_Recv_Thread that record what
// reaches them. The port opens onto an in-memory cable.
class RequestThreadTest : public ::testing::Test {
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
        TheSerialPort().SetDeviceFactory(cable.Factory(MemorySerialPair::Side::A));
        window = std::make_unique<HeadlessMainWindow>([this](const Message& m) -> int64_t {
            if (m.id == kMsgTimer) {
                DispatchEngineTimer(static_cast<int>(m.wParam));
            } else {
                windowMessages.push_back({runtime.NowMs(), m.id});
            }
            return 0;
        });
        SetMainWindow(window.get());
        SetWorkerLoop(Worker::SioSend, runtime.StartLoop("sio send", [this](const Message& m) {
            if (m.id != kMsgSendStep) {
                return;
            }
            ++sendSteps;
            char buffer[MessageRing::kSlotSize];
            if (const size_t n = CommandRing.Take(buffer); n != 0) {
                sent.push_back({runtime.NowMs(), std::string(buffer, n)});
            }
        }));
        SetWorkerLoop(Worker::AnlRecv, runtime.StartLoop("anl recv", [this](const Message& m) {
            char buffer[MessageRing::kSlotSize];
            if (m.id == kMsgAnalyse && AnswerRing.Take(buffer) != 0) {
                analysed.emplace_back(buffer);
            }
        }));
        ASSERT_TRUE(StartRequestThread());
    }

    void TearDown() override {
        StopRequestThread();
        StopWorkerInSlot(Worker::SioSend);
        StopWorkerInSlot(Worker::AnlRecv);
        window->Close();
        SetMainWindow(nullptr);
        window.reset();
        TheSerialPort().Close();
        TheSerialPort().SetDeviceFactory(nullptr);
        CommandRing.Empty();
        AnswerRing.Empty();
        SetRuntime(nullptr);
    }

    // Returns the texts sent so far, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& command : sent) {
            texts.push_back(command.text);
        }
        return texts;
    }

    // Returns the ids of the window messages handled so far, in order.
    std::vector<uint32_t> WindowIds() const {
        std::vector<uint32_t> ids;
        for (const auto& message : windowMessages) {
            ids.push_back(message.id);
        }
        return ids;
    }

    VirtualRuntime runtime;
    MemorySerialPair cable;
    std::unique_ptr<HeadlessMainWindow> window;
    std::vector<SentCommand> sent;
    std::vector<WindowMessage> windowMessages;
    std::vector<std::string> analysed;
    int sendSteps = 0;
};

}  // namespace kestrel
