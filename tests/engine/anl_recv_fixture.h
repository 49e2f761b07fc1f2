#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/anl_recv_thread.h"
#include "engine/engine_timers.h"
#include "menulist/menu_catalogue.h"
#include "platform/headless_main_window.h"
#include "platform/virtual_runtime.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/radio_state.h"
#include "protocol/store_flags.h"

namespace kestrel {

using Ids = std::vector<uint32_t>;
using FieldValues = std::initializer_list<std::pair<Field, int32_t>>;

// Sets each field to its value.
inline void SetFields(FieldValues fields) {
    for (const auto& [field, value] : fields) {
        SetField(field, value);
    }
}

// Expects each field to hold its value.
inline void ExpectFields(FieldValues fields) {
    for (const auto& [field, value] : fields) {
        EXPECT_EQ(GetField(field), value) << FieldName(field);
    }
}

// A message as the headless main window handled it (timer ticks apart).
struct SeenWindowMessage {
    uint32_t id;
    uint64_t wParam;
    int64_t lParam;
    bool operator==(const SeenWindowMessage&) const = default;
};

// Analyses answers in virtual time against a fresh store, with a headless main window that
// records every message in order and a stand-in Anl_Send_Thread that records what is posted to
// it. The menu catalogue is loaded, as it is before any answer can be framed.
class AnalysisTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRuntime(&runtime);
        ResetRadioState();
        LoadMenuCatalogue();
        InitControlMirror();
        AnswerRing.Empty();
        AutoInfoSent.store(0);
        SavedAutoInfo.store(0);
        PowerOffMarker.store(0);
        LinkWatchdogArmed.store(0);
        window = std::make_unique<HeadlessMainWindow>([this](const Message& m) -> int64_t {
            if (m.id == kMsgTimer) {
                timerTicks.push_back({runtime.NowMs(), static_cast<int>(m.wParam)});
            } else {
                windowMessages.push_back({m.id, m.wParam, m.lParam});
            }
            return 0;
        });
        SetMainWindow(window.get());
        SetWorkerLoop(Worker::AnlSend, runtime.StartLoop("anl send", [this](const Message& m) {
            senderMessages.push_back(m.id);
        }));
    }

    void TearDown() override {
        StopAnalysisThread();
        StopWorkerInSlot(Worker::AnlSend);
        window->Close();
        SetMainWindow(nullptr);
        window.reset();
        AnswerRing.Empty();
        SetRuntime(nullptr);
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

    struct Tick {
        int64_t atMs;
        int timer;
    };

    VirtualRuntime runtime;
    std::unique_ptr<HeadlessMainWindow> window;
    std::vector<SeenWindowMessage> windowMessages;
    Ids senderMessages;
    std::vector<Tick> timerTicks;
};

}  // namespace kestrel
