#pragma once

#include <string>
#include <string_view>

namespace kestrel {

class Transceiver;

// The simulator's operator console: one text line per action on the simulated radio (turn the
// dial, press a key, switch power, start or stop a fault, print the state, run a command).
class OperatorConsole {
  public:
    explicit OperatorConsole(Transceiver& radio);

    // Carries out one console line and returns what to print (possibly empty).
    std::string Execute(std::string_view line);
    // Reports whether a "quit" line was given.
    bool QuitRequested() const { return quit_; }
    // Returns the list of console commands.
    static std::string Help();

  private:
    Transceiver& radio_;
    bool quit_ = false;
};

}  // namespace kestrel
