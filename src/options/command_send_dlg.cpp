#include "options/command_send_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include "res/strings.h"
#include "window/option_support.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

// Turns typed or pasted text into upper case and refuses anything but printable ASCII, so that
// no control character or other byte can reach the line.
class CommandTextValidator final : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return IsCommandText(input) ? Acceptable : Invalid;
    }
};

}  // namespace

bool IsCommandText(const QString& text) {
    if (text.size() > CCommandSendDlg::kMaxLength) {
        return false;
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            return false;
        }
    }
    return true;
}

CCommandSendDlg::CCommandSendDlg(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgCommandSendClosed, QStringLiteral("Command Send")),
      edit_(new QLineEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    const std::string_view prompt = LoadString(105);
    auto* label =
        new QLabel(QString::fromLatin1(prompt.data(), static_cast<qsizetype>(prompt.size())), this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    edit_->setMaxLength(kMaxLength);
    edit_->setValidator(new CommandTextValidator(edit_));
    layout->addWidget(edit_);
    const auto [ok, cancel] = AddOkCancelRow(this, layout);
    connect(ok, &QPushButton::clicked, this, [this] { Send(); });
    connect(cancel, &QPushButton::clicked, this, [this] { SendClosing(); });
    resize(330, 125);
}

void CCommandSendDlg::Open() {
    edit_->clear();
    CChildDlg::Open();
    FocusEdit();
}

void CCommandSendDlg::Send() {
    const QString text = edit_->text();
    if (!IsCommandText(text)) {
        SendClosing();
        return;
    }
    if (!text.isEmpty() && !QueueRawOrReport(this, text.toLatin1().toStdString())) {
        FocusEdit();
        return;
    }
    SendClosing();
}

void CCommandSendDlg::accept() {
    Send();
}

void CCommandSendDlg::focusInEvent(QFocusEvent* event) {
    CChildDlg::focusInEvent(event);
    FocusEdit();
}

void CCommandSendDlg::FocusEdit() {
    edit_->setFocus();
    edit_->setCursorPosition(static_cast<int>(edit_->text().size()));
}

}  // namespace kestrel
