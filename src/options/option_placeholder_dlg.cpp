#include "options/option_placeholder_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

COptionPlaceholderDlg::COptionPlaceholderDlg(QWidget* parent, MainWindow& window,
                                             uint32_t closeMessage, const QString& title)
    : CChildDlg(parent, window, closeMessage, title), note_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    note_->setText(title);
    note_->setAlignment(Qt::AlignCenter);
    layout->addWidget(note_);
    auto* close = new QPushButton(tr("CANCEL"), this);
    layout->addWidget(close);
    connect(close, &QPushButton::clicked, this, [this] { SendClosing(); });
    resize(260, 120);
}

void COptionPlaceholderDlg::SetMode(int mode) {
    mode_ = mode;
}

void COptionPlaceholderDlg::HandleNotification(uint32_t id, uint64_t, int64_t) {
    ++notifications_;
    lastNotification_ = id;
}

}  // namespace kestrel
