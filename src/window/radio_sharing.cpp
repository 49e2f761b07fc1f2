#include "window/radio_sharing.h"

#include "window/sharing_host.h"

namespace kestrel {

RadioSharing::RadioSharing() {
    // The server reports from its own thread; the report is carried to this object's thread and
    // dropped there if the object has gone.
    server_.SetStatusListener([this](const ServerStatus& status) {
        QMetaObject::invokeMethod(
            this, [this, status] { OnStatus(status); }, Qt::QueuedConnection);
    });
}

RadioSharing::~RadioSharing() {
    server_.Stop();
}

void RadioSharing::SetWindow(QWidget* window) {
    window_ = window;
    ShowSummary();
}

bool RadioSharing::Start(const ServerOptions& options, QString& error) {
    server_.Stop();
    std::string reason;
    if ((options.rigctl || options.xmlrpc) && !server_.Start(options, reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    OnStatus(server_.Status());
    return true;
}

bool RadioSharing::Apply(const ShareSettings& settings, QString& error) {
    settings_ = settings;
    return Start(settings.Options(), error);
}

void RadioSharing::Stop() {
    server_.Stop();
    OnStatus(ServerStatus{});
}

QString RadioSharing::Summary() const {
    if (!server_.Running()) {
        return {};
    }
    QString text = status_.clients == 1
                       ? QStringLiteral("shared with 1 program")
                       : QStringLiteral("shared with %1 programs").arg(status_.clients);
    if (!status_.keyingClient.empty()) {
        text += QStringLiteral(", %1 transmits").arg(QString::fromStdString(status_.keyingClient));
    }
    return text;
}

void RadioSharing::OnStatus(const ServerStatus& status) {
    status_ = status;
    ShowSummary();
    emit StatusChanged();
}

void RadioSharing::ShowSummary() {
    // The pointer forgets a window that has gone.
    if (auto* host = dynamic_cast<SharingHost*>(window_.data())) {
        host->SetTitleSummary(Summary());
    }
}

}  // namespace kestrel
