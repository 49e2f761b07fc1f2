#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"
#include "support/sim_station.h"

namespace kestrel {

// One message the main window handled, with the virtual time it was handled.
struct WindowEvent {
    int64_t atMs;
    Message message;
};

// The station as a test fixture: the main window keeps every message it is given besides timers.
class Station : public ::testing::Test, public SimStation {
  protected:
    // The radio's fixed options; a fixture for another firmware overrides them.
    virtual SimOptions RadioOptions() const { return SimOptions{}; }

    void SetUp() override;
    void TearDown() override { Stop(); }

    // Connects (request 1) and runs until the menu read has ended; reports whether it did.
    bool ConnectAndReadAll();
    // Runs until a menu read that began at or after a time has ended; reports whether it did.
    bool RunUntilOnLine(int64_t sinceMs, int64_t maxMs = 12000) {
        return rt.RunUntil([&] { return OnLineAt(sinceMs) >= 0; }, maxMs);
    }
    // Returns when the window was told that a menu read after a time ended, or -1.
    int64_t OnLineAt(int64_t sinceMs) const;
    // Runs until one more window message with the id than now has come; reports whether it did.
    bool RunUntilOneMore(uint32_t id, int64_t maxMs);
    // Returns the window messages handled at or after a time.
    std::vector<WindowEvent> WindowSince(int64_t atMs) const { return WindowOf(0, atMs); }
    // Returns the window messages with the id handled at or after a time.
    std::vector<WindowEvent> WindowOf(uint32_t id, int64_t sinceMs = 0) const;
    // Returns the store's value of a field by its name ("FA", "MD0", "EX005", "IDX").
    static std::string Store(std::string_view name);

    int64_t Now() const { return rt.NowMs(); }

    // Takes every window message the engine does not handle itself, on the window's loop.
    std::function<void(const Message&)> windowHook;

  private:
    mutable std::mutex windowMutex_;
    std::vector<WindowEvent> windowEvents_;
};

// The same station with a radio of older firmware, which leaves "ID0747;" unanswered.
class OldFirmwareStation : public Station {
  protected:
    SimOptions RadioOptions() const override {
        return SimOptions{.answerExtendedId = false, .extendedId = 0};
    }
};

}  // namespace kestrel
