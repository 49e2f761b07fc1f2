#pragma once

#include <QString>

namespace kestrel {

class RadioSharing;

// The main window as the radio sharing and the "Share the radio..." window see it: where the
// sharing lives and the title that shows its state.
class SharingHost {
  public:
    virtual ~SharingHost() = default;
    // Returns the radio sharing, or nullptr.
    virtual RadioSharing* Sharing() const = 0;
    // Shows a summary after the window's name in its title ("" shows the name alone).
    virtual void SetTitleSummary(const QString& summary) = 0;
};

}  // namespace kestrel
