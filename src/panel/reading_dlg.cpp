#include "panel/reading_dlg.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "res/strings.h"

namespace kestrel {

CReadingDlg::CReadingDlg(QWidget* parent, MainWindow& window, int timeoutMs)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), window_(window) {
    // Without a title bar the box needs a frame of its own to stand out from the panel.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    const std::string_view text = LoadString(109);
    auto* label =
        new QLabel(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), frame);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    resize(330, 130);
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
