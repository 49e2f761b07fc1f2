#pragma once

#include <QDialog>

namespace kestrel {

// The box without a title bar that says "Connecting the COM port now." while the connect key
// waits for the transceiver's automatic information to come on. The panel controller shows and
// hides it; it has no buttons.
class CConnectingDlg : public QDialog {
    Q_OBJECT
  public:
    // Makes the hidden box.
    explicit CConnectingDlg(QWidget* parent);
    // Shows the box and paints it at once.
    void Open();
    // Hides the box.
    void Destroy();

  protected:
    // Escape does not close it; only the controller does.
    void reject() override {}
};

}  // namespace kestrel
