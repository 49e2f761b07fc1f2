#include "panel/reading_dlg.h"

#include "panel/status_box.h"

namespace kestrel {

CReadingDlg::CReadingDlg(QWidget* parent, MainWindow& window, int timeoutMs)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), window_(window) {
    BuildStatusBox(*this, 109);  // "Reading the menu setting data now."
    setModal(true);
    timeout_.setSingleShot(true);
    timeout_.setInterval(timeoutMs);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        window_.SetWindowWaiting(0);
        CloseSoon();
    });
}

void CReadingDlg::Run() {
    if (window_.ReadingRunning() == 0) {
        window_.SetWindowWaiting(0);
        CloseSoon();
    } else {
        window_.SetWindowWaiting(1);
        timeout_.start();
    }
    exec();
}

void CReadingDlg::OnReadingDone() {
    if (window_.WindowWaiting() != 1) {
        return;
    }
    timeout_.stop();
    window_.SetWindowWaiting(0);
    CloseSoon();
}

void CReadingDlg::CloseSoon() {
    // The pause is a single-shot timer rather than a sleep, so the panel keeps painting.
    QTimer::singleShot(kCloseDelayMs, this, [this] { done(QDialog::Accepted); });
}

}  // namespace kestrel
