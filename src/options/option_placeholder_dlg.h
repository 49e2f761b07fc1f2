#pragma once

#include <cstdint>

#include "options/child_dlg.h"

class QLabel;

namespace kestrel {

// Stands in for an option window that is not built yet: it opens, takes the notifications
// handed to it, and closes through its closing message like the real window will.
class COptionPlaceholderDlg : public CChildDlg {
    Q_OBJECT
  public:
    // Makes the hidden window with its title and closing message.
    COptionPlaceholderDlg(QWidget* parent, MainWindow& window, uint32_t closeMessage,
                          const QString& title);

    // Sets the mode the window opens in (the equalizer's normal 0 or processor 1).
    void SetMode(int mode);
    // Returns the mode last set.
    int Mode() const { return mode_; }
    // Counts the notification.
    void HandleNotification(uint32_t id, uint64_t wParam, int64_t lParam) override;
    // Returns how many notifications were handed on since the program started.
    int NotificationCount() const { return notifications_; }
    // Returns the last notification handed on.
    uint32_t LastNotification() const { return lastNotification_; }

  private:
    QLabel* note_;
    int mode_ = 0;
    int notifications_ = 0;
    uint32_t lastNotification_ = 0;
};

}  // namespace kestrel
