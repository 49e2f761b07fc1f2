#pragma once

#include <cstdint>

#include "options/child_dlg.h"

class QLabel;

namespace kestrel {

// Stands in for an option window that is not built yet: it opens, takes the notifications
// handed to it, and closes through its closing message like the real window will; run modally,
// it shows its note in a message box.
class COptionPlaceholderDlg : public CChildDlg {
    Q_OBJECT
  public:
    // Makes the hidden window with its title, closing message and the note it shows.
    COptionPlaceholderDlg(QWidget* parent, MainWindow& window, uint32_t closeMessage,
                          const QString& title, const QString& note);

    // Shows the note in an information box with the window's title.
    void RunModal() override;
    // Counts the notification.
    void OnNotification(uint32_t id, uint64_t wParam, int64_t lParam) override;
    // Returns how many notifications were handed on since the program started.
    int NotificationCount() const { return notifications_; }
    // Returns the last notification handed on.
    uint32_t LastNotification() const { return lastNotification_; }

  private:
    QLabel* note_;
    int notifications_ = 0;
    uint32_t lastNotification_ = 0;
};

}  // namespace kestrel
