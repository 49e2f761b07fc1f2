#include "panel/connecting_dlg.h"

#include <QCloseEvent>

#include "panel/status_box.h"

namespace kestrel {

CConnectingDlg::CConnectingDlg(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, 0, QString()) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    BuildStatusBox(*this, 110);  // "Connecting the COM port now."
}

void CConnectingDlg::Open() {
    show();
    raise();
    repaint();
}

void CConnectingDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace kestrel
