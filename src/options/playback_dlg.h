#pragma once

#include <cstdint>

#include "window/child_dlg.h"

class QKeyEvent;

namespace kestrel {

class ColorStatic;

// The Playback window: records into and plays the transceiver's five voice memories, with a
// lamp for recording and one for playing. While the link is down the lamps are grey, since a
// recording or playback they showed may have ended meanwhile.
class CPlaybackDlg : public CChildDlg {
    Q_OBJECT
  public:
    // Makes the hidden window.
    CPlaybackDlg(QWidget* parent, MainWindow& window);

    // Opens the window with the lamps refreshed.
    void Open() override;
    // Refreshes the lamps on an RI report and on a change of the link (AI).
    void OnNotification(uint32_t id, uint64_t wParam, int64_t lParam) override;

    // Returns the recording lamp.
    ColorStatic& RecLamp() { return *rec_; }
    // Returns the playing lamp.
    ColorStatic& PlayLamp() { return *play_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void RefreshLamps();

    ColorStatic* rec_;
    ColorStatic* play_;
};

}  // namespace kestrel
