#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/pty_pair.h"
#include "sim/sim_link.h"

namespace kestrel {

// Puts a simulated transceiver behind a pseudo-terminal that the program opens like a serial
// port. A pulled cable closes the terminal; the radio comes back on a new one, and the symbolic
// link (if any) is pointed at it.
class PtyLink final : public SimLink {
  public:
    // Called with the terminal's path whenever a new terminal is made.
    using PathListener = std::function<void(const std::string& path)>;

    // Makes the link; `linkPath` (may be empty) is kept pointing at the current terminal.
    PtyLink(LineSettings settings, std::string linkPath, PathListener listener);
    ~PtyLink() override;

    // Returns the path of the current terminal ("" while the cable is pulled).
    std::string Path() const;

  protected:
    SerialDevice* OpenDevice() override;
    void CloseDevice() override;

  private:
    const std::string linkPath_;
    const PathListener listener_;
    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<PtyPair> unplugged_;  // kept until the next terminal exists, so N differs
    std::string path_;
};

}  // namespace kestrel
