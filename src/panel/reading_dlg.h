#pragma once

#include <QDialog>
#include <QTimer>

#include "platform/main_window.h"

namespace kestrel {

// The modal box without a title bar that says "Reading the menu setting data now." while the
// request thread reads every value and menu item. It shares two bytes with the request thread
// through the main window: "reading running" (the thread's) and "window waiting" (the box's).
class CReadingDlg : public QDialog {
    Q_OBJECT
  public:
    // The longest the box waits for the reading sequence to end.
    static constexpr int kTimeoutMs = 10000;
    // The pause before the box closes, which gives the request thread time to see the bytes.
    static constexpr int kCloseDelayMs = 100;

    // Makes the box for the main window's shared bytes, giving up after timeoutMs.
    CReadingDlg(QWidget* parent, MainWindow& window, int timeoutMs = kTimeoutMs);
    // Runs the box modally until the reading sequence ends, the time-out passes, or at once when
    // no reading runs.
    void Run();
    // Handles the request thread's message that the reading sequence has ended.
    void OnReadingDone();
    // Reports whether the box is waiting for the sequence (its 10-second timer runs).
    bool Waiting() const { return timeout_.isActive(); }

  protected:
    // Enter and Escape do nothing in this box.
    void reject() override {}
    void accept() override {}

  private:
    void CloseSoon();

    MainWindow& window_;
    QTimer timeout_;
};

}  // namespace kestrel
