#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "window/child_dlg.h"

namespace kestrel {

class ColorStatic;
class HoldButton;

// The Rotator window: the antenna direction and rotation speed, and four keys that act while
// held: CCW and CW turn the antenna, SLOW and FAST change the speed, repeating every 100 ms
// while the line is usable.
class CRotatorDlg : public CChildDlg {
    Q_OBJECT
  public:
    // The hold buttons by their codes.
    enum Key { kCcw, kCw, kSlow, kFast, kKeyCount };

    // Makes the hidden window.
    CRotatorDlg(QWidget* parent, MainWindow& window);
    ~CRotatorDlg() override;

    // Opens the window with the read-outs refreshed.
    void Open() override;
    // Lets every held key go, then hides the window.
    void Destroy() override;
    // Refreshes the read-outs on an RO report.
    void OnNotification(uint32_t id, uint64_t wParam, int64_t lParam) override;

    // Returns a hold button by its code.
    HoldButton& Button(Key key) { return *buttons_[key]; }
    // Returns the direction read-out.
    ColorStatic& Direction() { return *direction_; }
    // Returns the speed read-out.
    ColorStatic& Speed() { return *speed_; }

  private:
    void OnHold(int code, bool pressed);
    void OnRepeat(int code);
    void RefreshReadouts();

    ColorStatic* direction_;
    ColorStatic* speed_;
    std::array<HoldButton*, kKeyCount> buttons_{};
};

// Returns the text the direction read-out shows for a stored direction: past 359 degrees the
// rotator has turned beyond north, and the read-out shows how far.
QString DirectionText(int32_t degrees);

}  // namespace kestrel
