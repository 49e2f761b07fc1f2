#pragma once

#include <QDialog>
#include <cstdint>

#include "platform/main_window.h"

class QCloseEvent;

namespace kestrel {

// A modeless child window of the main window that the panel controller owns: the object lives as
// long as the controller, its window is shown and hidden many times, and every way of closing it
// (its buttons, Escape, the close box) sends its closing message to the main window, whose
// controller then hides it.
class CChildDlg : public QDialog {
    Q_OBJECT
  public:
    // Makes the (hidden) window; closing sends closeMessage with wParam 0 to the main window.
    CChildDlg(QWidget* parent, MainWindow& window, uint32_t closeMessage, const QString& title);

    // Shows the window, brings it to the front and paints it at once.
    virtual void Open();
    // Hides the window; the object keeps its members for the next opening.
    virtual void Destroy();
    // Takes a notification that the controller hands on while the window is open.
    virtual void HandleNotification(uint32_t id, uint64_t wParam, int64_t lParam);
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
};

}  // namespace kestrel
