#include "options/share_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "window/panel_messages.h"
#include "window/radio_sharing.h"
#include "window/sharing_host.h"

namespace kestrel {

namespace {

constexpr int kMaxTimeoutSeconds = 24 * 60 * 60;

QString Endpoint(const ListenEndpoint& endpoint) {
    return QString::fromStdString(FormatListenEndpoint(endpoint));
}

}  // namespace

CShareDlg::CShareDlg(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgShareClosed, QStringLiteral("Share the radio")) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    rigctlOn_ = new QCheckBox(QStringLiteral("Hamlib network protocol (rigctld)"), this);
    rigctlAddress_ = new QLineEdit(this);
    xmlrpcOn_ = new QCheckBox(QStringLiteral("flrig XML-RPC"), this);
    xmlrpcAddress_ = new QLineEdit(this);
    allowRaw_ = new QCheckBox(QStringLiteral("Let clients send raw commands"), this);
    timeout_ = new QSpinBox(this);
    timeout_->setRange(1, kMaxTimeoutSeconds);
    timeout_->setSuffix(QStringLiteral(" s"));
    form->addRow(rigctlOn_, rigctlAddress_);
    form->addRow(xmlrpcOn_, xmlrpcAddress_);
    form->addRow(allowRaw_);
    form->addRow(QStringLiteral("End a client's transmission after"), timeout_);
    layout->addLayout(form);
    status_ = new QLabel(this);
    error_ = new QLabel(this);
    error_->setStyleSheet(QStringLiteral("color: #b00000"));
    layout->addWidget(status_);
    layout->addWidget(error_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    apply_ = buttons->button(QDialogButtonBox::Apply);
    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });
    connect(buttons->button(QDialogButtonBox::Close), &QPushButton::clicked, this,
            [this] { SendClosing(); });
}

void CShareDlg::Open() {
    auto* main = dynamic_cast<SharingHost*>(&Window());
    RadioSharing* sharing = main != nullptr ? main->Sharing() : nullptr;
    if (sharing != sharing_) {
        if (sharing_ != nullptr) {
            disconnect(sharing_, nullptr, this, nullptr);
        }
        sharing_ = sharing;
        if (sharing_ != nullptr) {
            connect(sharing_, &RadioSharing::StatusChanged, this, [this] { ShowStatus(); });
        }
    }
    ShowSettings(sharing_ != nullptr ? sharing_->Settings() : ShareSettings{});
    apply_->setEnabled(sharing_ != nullptr);
    error_->clear();
    ShowStatus();
    CChildDlg::Open();
}

void CShareDlg::ShowSettings(const ShareSettings& settings) {
    rigctlOn_->setChecked(settings.rigctlOn);
    rigctlAddress_->setText(Endpoint(settings.rigctl));
    xmlrpcOn_->setChecked(settings.xmlrpcOn);
    xmlrpcAddress_->setText(Endpoint(settings.xmlrpc));
    allowRaw_->setChecked(settings.allowRaw);
    timeout_->setValue(static_cast<int>(settings.transmitIdleSeconds));
}

bool CShareDlg::Apply() {
    ShareSettings settings;
    std::string reason;
    const auto rigctl = ParseListenEndpoint(rigctlAddress_->text().trimmed().toStdString(), reason);
    const auto xmlrpc = ParseListenEndpoint(xmlrpcAddress_->text().trimmed().toStdString(), reason);
    if (!rigctl || !xmlrpc) {
        error_->setText(QString::fromStdString(reason));
        return false;
    }
    settings.rigctlOn = rigctlOn_->isChecked();
    settings.rigctl = *rigctl;
    settings.xmlrpcOn = xmlrpcOn_->isChecked();
    settings.xmlrpc = *xmlrpc;
    settings.allowRaw = allowRaw_->isChecked();
    settings.transmitIdleSeconds = timeout_->value();
    if (sharing_ == nullptr) {
        return false;
    }
    QString error;
    const bool applied = sharing_->Apply(settings, error);
    if (!WriteShareSettings(settings) && applied) {
        error = QStringLiteral("The choice is in effect but could not be saved.");
    }
    error_->setText(error);
    ShowStatus();
    return applied && error.isEmpty();
}

QString CShareDlg::StatusText() const {
    return status_->text();
}

void CShareDlg::ShowStatus() {
    QStringList servers;
    if (sharing_ != nullptr && sharing_->RigctlPort() != 0) {
        servers << QStringLiteral("rigctld on port %1").arg(sharing_->RigctlPort());
    }
    if (sharing_ != nullptr && sharing_->XmlrpcPort() != 0) {
        servers << QStringLiteral("XML-RPC on port %1").arg(sharing_->XmlrpcPort());
    }
    if (servers.isEmpty()) {
        status_->setText(QStringLiteral("The radio is not shared."));
        return;
    }
    status_->setText(servers.join(QStringLiteral(", ")) + ": " + sharing_->Summary() + ".");
}

}  // namespace kestrel
