#pragma once

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/message.h"

namespace kestrel {

// The console's side of the program: it prints what the main window would show and carries out
// the operator's command lines. Output lines are flushed one at a time, from any thread.
class ConsoleSession {
  public:
    explicit ConsoleSession(std::ostream& out) : out_(out) {}

    // Handles one message of the headless main window: timers go to the workers, notifications
    // and start-up failure boxes are printed.
    int64_t HandleWindowMessage(const Message& message);
    // Prints the box that string stringId would show, as "message N <text>".
    void ShowMessage(int stringId);
    // Carries out one command line; returns false when the line asks to quit.
    bool HandleLine(std::string_view line);
    // Prints one line and flushes it.
    void Print(std::string_view line);

  private:
    void Error(std::string_view reason) { Print("error: " + std::string(reason)); }
    void Post(std::string_view arguments);
    void Raw(std::string_view text);
    void Get(std::string_view name);
    void Wait(std::string_view arguments);

    std::ostream& out_;
    std::mutex outMutex_;
    bool boxShown_ = false;  // only the main window's thread reads and writes it
};

}  // namespace kestrel
