#include "options/vfo_set_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "res/strings.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

QString StringText(int id) {
    const std::string_view text = LoadString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int32_t ParseEntryFrequency(const QString& text) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < CVfoSetDlg::kMinFrequency || value > CVfoSetDlg::kMaxFrequency) {
        return 0;
    }
    return static_cast<int32_t>(value);
}

CVfoSetDlg::CVfoSetDlg(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgEntryClosed, QStringLiteral("VFO SET")),
      edit_(new QLineEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(StringText(102), this);
    prompt->setAlignment(Qt::AlignCenter);
    layout->addWidget(prompt);
    layout->addWidget(new QLabel(StringText(103), this));
    edit_->setMaxLength(kMaxDigits);
    edit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
    layout->addWidget(edit_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("CANCEL"), this);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { Accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { SendClosing(0); });
}

void CVfoSetDlg::Open() {
    edit_->clear();
    CChildDlg::Open();
    FocusEdit();
}

void CVfoSetDlg::AppendDigit(int digit) {
    if (digit < 0 || digit > 9 || edit_->text().size() >= kMaxDigits) {
        return;
    }
    edit_->setText(edit_->text() + QChar('0' + digit));
    edit_->setCursorPosition(static_cast<int>(edit_->text().size()));
}

void CVfoSetDlg::Accept() {
    const QString text = edit_->text();
    if (text.isEmpty()) {
        SendClosing(0);
        return;
    }
    const int32_t frequency = ParseEntryFrequency(text);
    if (frequency == 0) {
        QMessageBox::warning(this, windowTitle(), StringText(104));
        FocusEdit();
        return;
    }
    SendClosing(static_cast<uint64_t>(frequency));
}

QString CVfoSetDlg::Text() const {
    return edit_->text();
}

void CVfoSetDlg::accept() {
    Accept();
}

void CVfoSetDlg::focusInEvent(QFocusEvent* event) {
    CChildDlg::focusInEvent(event);
    FocusEdit();
}

void CVfoSetDlg::FocusEdit() {
    edit_->setFocus();
    edit_->setCursorPosition(static_cast<int>(edit_->text().size()));
}

}  // namespace kestrel
