#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace kestrel {

// A pseudo-terminal standing in for a serial cable. The program opens the terminal side by its
// path, like any serial port; the far side (the simulated transceiver) reads and writes through
// FarEnd(). Both sides are raw before any byte moves, so nothing is echoed or translated.
class PtyPair {
  public:
    // Creates a new pair; nullptr when the system has no pseudo-terminal left.
    static std::unique_ptr<PtyPair> Create();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Returns the terminal path the program opens ("/dev/pts/N").
    const std::string& Path() const { return path_; }
    // Returns the far side: a device whose reads and writes are the cable's other end.
    SerialDevice& FarEnd() { return *far_; }
    // Returns the far side's descriptor for poll(), or -1 after Unplug.
    int FarFd() const { return farFd_; }
    // Points a symbolic link at the terminal, replacing any link there (as CommoFiles/COMn).
    bool LinkAs(const std::string& linkPath) const;
    // Pulls the cable: closes the far side, so the program's side reads 0 and writes fail.
    void Unplug();

  private:
    PtyPair(int masterFd, int slaveFd, std::string path);

    std::unique_ptr<SerialDevice> far_;
    int farFd_ = -1;
    int slaveFd_ = -1;  // held open so that the raw settings outlive the program's own opens
    std::string path_;
};

}  // namespace kestrel
