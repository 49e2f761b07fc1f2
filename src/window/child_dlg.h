#pragma once

#include <QDialog>
#include <cstdint>

#include "platform/main_window.h"

class QCloseEvent;

namespace kestrel {

// A child window of the main window that the panel controller owns: the object lives as long as
// the controller, its window is shown and hidden many times. A modeless one sends its closing
// message to the main window on every way of closing (its buttons, Escape, the close box), and
// the controller then hides it; a modal one (closing message 0) ends like a plain dialog.
class CChildDlg : public QDialog {
    Q_OBJECT
  public:
    // Makes the (hidden) window; closing sends closeMessage with wParam 0 to the main window.
    CChildDlg(QWidget* parent, MainWindow& window, uint32_t closeMessage, const QString& title);

    // Shows the window, brings it to the front and paints it at once.
    virtual void Open();
    // Runs the window modally until it ends.
    virtual void RunModal();
    // Hides the window; the object keeps its members for the next opening. A window with timers
    // of its own stops them here.
    virtual void Destroy();
    // Takes a notification that the controller hands on while the window is open.
    virtual void OnNotification(uint32_t id, uint64_t wParam, int64_t lParam);
    // Hands the window a notification (OnNotification) and counts it.
    void TakeNotification(uint32_t id, uint64_t wParam, int64_t lParam);
    // Returns how many notifications the window was handed since it was made.
    int NotificationCount() const { return notifications_; }
    // Sets the mode the window opens in: the position of the menu command that opened it.
    void SetMode(int mode) { mode_ = mode; }
    // Returns the mode the window was last opened in (the equalizer's normal 0 or processor 1).
    int Mode() const { return mode_; }
    // Returns the message the window sends when it closes.
    uint32_t CloseMessage() const { return closeMessage_; }

    // Closing by Escape sends the closing message instead of hiding the window.
    void reject() override;

  protected:
    // Sends the closing message with a parameter to the main window.
    void SendClosing(uint64_t wParam = 0);
    // Returns the main window that closing messages go to.
    MainWindow& Window() { return window_; }
    void closeEvent(QCloseEvent* event) override;

  private:
    MainWindow& window_;
    uint32_t closeMessage_;
    int mode_ = 0;
    int notifications_ = 0;
};

}  // namespace kestrel
