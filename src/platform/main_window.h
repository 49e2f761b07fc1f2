#pragma once

#include <cstdint>

namespace kestrel {

// The narrow interface through which workers reach the main window. The Qt main window and the
// headless main loop both implement it.
class MainWindow {
  public:
    virtual ~MainWindow() = default;
    // Queues a window message for the main window's thread; false once the window is closing.
    virtual bool PostMessage(uint32_t id, uint64_t wParam, int64_t lParam) = 0;
    // Has the main window's thread handle a message and returns its result. Called on that thread
    // it runs at once; once the window is closing it returns 0 at once.
    virtual int64_t SendMessage(uint32_t id, uint64_t wParam, int64_t lParam) = 0;
    // Sets (or resets) the numbered timer to fire every ms milliseconds as kMsgTimer.
    virtual void SetTimer(int timerId, int64_t ms) = 0;
    // Kills the numbered timer; an unknown timer is ignored.
    virtual void KillTimer(int timerId) = 0;
    // Reads the reading window's "window waiting" byte.
    virtual uint8_t WindowWaiting() const = 0;
    // Sets the reading window's "window waiting" byte.
    virtual void SetWindowWaiting(uint8_t value) = 0;
    // Reads the "reading running" byte (the request thread's reading sequence runs).
    virtual uint8_t ReadingRunning() const = 0;
    // Sets the "reading running" byte.
    virtual void SetReadingRunning(uint8_t value) = 0;
};

// Returns the installed main window, or nullptr before one exists.
MainWindow* TheMainWindow();
// Installs the main window that workers reach (nullptr uninstalls it).
void SetMainWindow(MainWindow* window);

// Posts a window message to the installed main window and hands it to the tap, if one is
// installed; false when there is no window or it is closing.
bool PostToMainWindow(uint32_t id, uint64_t wParam = 0, int64_t lParam = 0);
// Sets a numbered timer of the installed main window, if there is one.
void SetMainWindowTimer(int timerId, int64_t ms);
// Kills a numbered timer of the installed main window, if there is one.
void KillMainWindowTimer(int timerId);

// Receives a copy of every message posted through PostToMainWindow, with or without a window.
// It runs on the posting thread, so it must be short and must not wait.
using MainWindowTap = void (*)(uint32_t id, uint64_t wParam, int64_t lParam);
// Installs the tap (nullptr removes it). With none installed a post costs one atomic load more.
void SetMainWindowTap(MainWindowTap tap);

}  // namespace kestrel
