#include "window/child_dlg.h"

#include <QCloseEvent>

namespace kestrel {

CChildDlg::CChildDlg(QWidget* parent, MainWindow& window, uint32_t closeMessage,
                     const QString& title)
    : QDialog(parent), window_(window), closeMessage_(closeMessage) {
    setWindowTitle(title);
    setModal(false);
}

void CChildDlg::Open() {
    show();
    raise();
    activateWindow();
    repaint();
}

void CChildDlg::RunModal() {
    exec();
}

void CChildDlg::Destroy() {
    hide();
}

void CChildDlg::OnNotification(uint32_t, uint64_t, int64_t) {}

void CChildDlg::TakeNotification(uint32_t id, uint64_t wParam, int64_t lParam) {
    ++notifications_;
    OnNotification(id, wParam, lParam);
}

void CChildDlg::reject() {
    if (closeMessage_ == 0) {
        QDialog::reject();
        return;
    }
    SendClosing();
}

void CChildDlg::SendClosing(uint64_t wParam) {
    window_.SendMessage(closeMessage_, wParam, 0);
}

void CChildDlg::closeEvent(QCloseEvent* event) {
    if (closeMessage_ == 0) {
        QDialog::closeEvent(event);
        return;
    }
    // The controller hides the window when it handles the closing message; a window hidden by
    // it does not come through here again.
    event->ignore();
    SendClosing();
}

}  // namespace kestrel
