#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless_main_window.h"
#include "platform/memory_serial_pair.h"
#include "platform/message.h"
#include "platform/virtual_runtime.h"
#include "sim/byte_sink.h"
#include "sim/memory_pair_link.h"
#include "sim/transceiver.h"

namespace kestrel {

// One command or answer on the line, with the virtual time it was written.
struct LineText {
    int64_t atMs;
    std::string text;
};

// One message the main window handled, with the virtual time it was handled.
struct WindowEvent {
    int64_t atMs;
    Message message;
};

// Everything that crossed the line in one direction, cut into commands at each ";".
class LineLog {
  public:
    // Adds written bytes; a command split over two writes is dated by its last part.
    void Add(int64_t atMs, std::string_view bytes);
    // Returns the commands written at or after a time.
    std::vector<LineText> Since(int64_t atMs) const;
    // Returns the commands from the index-th on.
    std::vector<LineText> From(size_t index) const;
    // Returns how many commands there are.
    size_t Size() const;

  private:
    mutable std::mutex mutex_;
    std::string pending_;
    std::vector<LineText> entries_;
};

// Returns the texts of line entries, without their times.
std::vector<std::string> TextsOf(const std::vector<LineText>& entries);

// The whole program's engine as it runs, on one virtual clock, with the simulated transceiver at
// the other end of an in-memory cable. The main window is headless: it hands timers to the engine
// and keeps every other message it is given. The commands the program writes and the answers the
// radio sends are logged with their times.
class Station : public ::testing::Test {
  protected:
    // The radio's fixed options; a fixture for another firmware overrides them.
    virtual SimOptions RadioOptions() const { return SimOptions{}; }

    void SetUp() override;
    void TearDown() override;

    // Connects (request 1) and runs until the menu read has ended; reports whether it did.
    bool ConnectAndReadAll(int64_t maxMs = 12000);
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

    VirtualRuntime rt;
    std::unique_ptr<MemorySerialPair> pair;
    std::unique_ptr<MemoryPairLink> link;
    std::unique_ptr<ByteSink> radioOut;
    std::unique_ptr<Transceiver> radio;
    std::unique_ptr<HeadlessMainWindow> window;

    // Takes every window message the engine does not handle itself, on the window's loop.
    std::function<void(const Message&)> windowHook;

    LineLog commands;  // what the program wrote to its port
    LineLog answers;   // what the radio put on the line

  private:
    mutable std::mutex windowMutex_;
    std::vector<WindowEvent> windowEvents_;
    std::string workDir_;
};

// The same station with a radio of older firmware, which leaves "ID0747;" unanswered.
class OldFirmwareStation : public Station {
  protected:
    SimOptions RadioOptions() const override {
        SimOptions options;
        options.answerExtendedId = false;
        options.extendedId = 0;
        return options;
    }
};

}  // namespace kestrel
