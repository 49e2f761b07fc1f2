#pragma once

#include <cstdint>

#include "options/child_dlg.h"

class QLabel;

namespace kestrel {

// Stands in for an option window that is not built yet: it opens, takes the notifications
// handed to it (counted by CChildDlg), and closes through its closing message like the real window
// will; run modally, it shows its note in a message box.
class COptionPlaceholderDlg : public CChildDlg {
    Q_OBJECT
  public:
    // Makes the hidden window with its title, closing message and the note it shows.
    COptionPlaceholderDlg(QWidget* parent, MainWindow& window, uint32_t closeMessage,
                          const QString& title, const QString& note);

    // Shows the note in an information box with the window's title.
    void RunModal() override;

  private:
    QLabel* note_;
};

}  // namespace kestrel
