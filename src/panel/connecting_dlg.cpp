#include "panel/connecting_dlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "res/strings.h"

namespace kestrel {

CConnectingDlg::CConnectingDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    auto* layout = new QVBoxLayout(this);
    const std::string_view text = LoadString(110);
    auto* label =
        new QLabel(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), this);
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
