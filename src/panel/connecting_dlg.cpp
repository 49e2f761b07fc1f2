#include "panel/connecting_dlg.h"

#include "panel/status_box.h"

namespace kestrel {

CConnectingDlg::CConnectingDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    BuildStatusBox(*this, 110);  // "Connecting the COM port now."
}

void CConnectingDlg::Open() {
    show();
    raise();
    repaint();
}

void CConnectingDlg::Destroy() {
    hide();
}

}  // namespace kestrel
