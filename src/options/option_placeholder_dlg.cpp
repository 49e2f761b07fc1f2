#include "options/option_placeholder_dlg.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

COptionPlaceholderDlg::COptionPlaceholderDlg(QWidget* parent, MainWindow& window,
                                             uint32_t closeMessage, const QString& title,
                                             const QString& note)
    : CChildDlg(parent, window, closeMessage, title), note_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    note_->setText(note);
    note_->setAlignment(Qt::AlignCenter);
    layout->addWidget(note_);
    auto* close = new QPushButton(tr("CANCEL"), this);
    layout->addWidget(close);
    connect(close, &QPushButton::clicked, this, [this] { SendClosing(); });
    resize(260, 120);
}

void COptionPlaceholderDlg::RunModal() {
    QMessageBox box(QMessageBox::Information, windowTitle(), note_->text(), QMessageBox::Ok,
                    parentWidget());
    box.exec();
}

}  // namespace kestrel
