#include "panel/connecting_dlg.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "res/strings.h"

namespace kestrel {

CConnectingDlg::CConnectingDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    // Without a title bar the box needs a frame of its own to stand out from the panel.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    const std::string_view text = LoadString(110);
    auto* label =
        new QLabel(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), frame);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    resize(330, 130);
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
