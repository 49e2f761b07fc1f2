#pragma once

#include "window/child_dlg.h"

namespace kestrel {

// The box without a title bar that says "Connecting the COM port now." while the connect key
// waits for the transceiver's automatic information to come on. The panel controller shows and
// hides it; it has no buttons and sends no closing message.
class CConnectingDlg : public CChildDlg {
    Q_OBJECT
  public:
    // Makes the hidden box.
    CConnectingDlg(QWidget* parent, MainWindow& window);
    // Shows the box and paints it at once, leaving the focus where it is.
    void Open() override;

  protected:
    // Escape and the window manager do not close it; only the controller does.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace kestrel
