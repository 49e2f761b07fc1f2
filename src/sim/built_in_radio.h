#pragma once

#include <string>

#include "sim/pty_link.h"
#include "sim/transceiver.h"

namespace kestrel {

// The built-in transceiver on a pseudo-terminal, for running without a real radio. The program
// opens it through a symbolic link in a private folder, so that it finds the radio again on the
// new terminal after a pulled cable.
class BuiltInRadio {
  public:
    // Makes the radio for the given baud rate; nothing runs until Start.
    explicit BuiltInRadio(int baud, SimOptions options = {});
    // Stops the radio and removes its folder.
    ~BuiltInRadio();
    BuiltInRadio(const BuiltInRadio&) = delete;
    BuiltInRadio& operator=(const BuiltInRadio&) = delete;

    // Starts the radio and returns the path the program opens, or "" when no terminal was made.
    std::string Start();
    // Returns the simulated transceiver, for operator actions and checks.
    Transceiver& Radio() { return radio_; }

  private:
    std::string folder_;
    PtyLink link_;
    Transceiver radio_;
};

}  // namespace kestrel
