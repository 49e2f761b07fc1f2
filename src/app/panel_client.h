#pragma once

#include <cstdint>

#include "platform/message.h"

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace kestrel {

// What the main window hands to the panel controller: the mouse input on the panel picture, the
// menu bar's commands, the ticks of the controller's own timers, the keyboard before the dialog
// sees it, and the window messages that concern the controller's windows. The main window owns
// the controller and calls it on the user-interface thread only. Positions are panel pixels
// (0, 0 is the panel picture's top-left corner).
class PanelClient {
  public:
    virtual ~PanelClient() = default;

    // Handles a left-button press or double click on the panel picture.
    virtual void OnLeftButtonDown(QMouseEvent* event) = 0;
    // Handles a left-button release.
    virtual void OnLeftButtonUp(QMouseEvent* event) = 0;
    // Handles a right-button press or double click.
    virtual void OnRightButtonDown(QMouseEvent* event) = 0;
    // Handles a right-button release.
    virtual void OnRightButtonUp(QMouseEvent* event) = 0;
    // Handles a mouse move over the panel picture (the window tracks the mouse without a button).
    virtual void OnMouseMove(QMouseEvent* event) {}
    // Handles the loss of the mouse to something else (focus loss, a modal box, hide or
    // deactivation of the window): a button held now counts as released.
    virtual void OnInputLost() {}
    // Handles a wheel turn over the panel picture.
    virtual void OnMouseWheel(QWheelEvent* event) = 0;
    // Handles a menu bar command (32779 to 32789).
    virtual void OnMenuCommand(int commandId) = 0;
    // Handles the tick of a timer the controller set on the main window (1, 2, 18, 19, 22, 31).
    virtual void OnTimer(int timerId) = 0;
    // Sees a key press first; returns true when it consumed it (a shortcut key), so that the
    // dialog does nothing more with it (Escape, when not consumed, ends the program).
    virtual bool OnKeyPress(QKeyEvent* event) = 0;
    // Handles a window message meant for the controller: the connection-up message 0x810A, the
    // closing messages of its windows (0x85CC to 0x85CF, 0x85D3, 0x85D6 to 0x85D9, 0x85DB) and
    // every notification, after the main window's own redraw. Returns the message's result.
    virtual int64_t OnWindowMessage(const Message& message) = 0;
    // Reports whether any of the controller's pending operations is under way.
    virtual bool Busy() const = 0;
};

}  // namespace kestrel
