#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "server/engine_radio_access.h"
#include "server/radio_server.h"
#include "server/share_settings.h"

namespace kestrel {

// The panel's share of the radio with other programs: it runs the rigctld and XML-RPC servers as
// the operator chose them and shows in the main window's title that clients are connected and
// which one transmits. Lives on the user-interface thread.
class RadioSharing final : public QObject {
    Q_OBJECT
  public:
    RadioSharing();
    ~RadioSharing() override;

    // Sets the window whose title shows the sharing state (nullptr: none); a window that is no
    // SharingHost shows nothing.
    void SetWindow(QWidget* window);
    // Starts the servers the options name (from the command line); false with error set.
    bool Start(const ServerOptions& options, QString& error);
    // Runs the servers the settings ask for, in place of the running ones, and remembers the
    // settings; false with error set when a server cannot listen (then none runs).
    bool Apply(const ShareSettings& settings, QString& error);
    // Stops every server; a client's transmission ends.
    void Stop();
    // Returns the settings last applied (or read at start).
    const ShareSettings& Settings() const { return settings_; }
    // Returns the server's status as last reported.
    const ServerStatus& Status() const { return status_; }
    // Returns the port each server listens on (0 when it does not run).
    uint16_t RigctlPort() const { return server_.RigctlPort(); }
    uint16_t XmlrpcPort() const { return server_.XmlrpcPort(); }
    // Returns the text the window title carries: empty while nothing is shared.
    QString Summary() const;

  signals:
    // The clients or the keying client changed.
    void StatusChanged();

  private:
    void OnStatus(const ServerStatus& status);
    void ShowSummary();

    EngineRadioAccess radio_;
    RadioServer server_{radio_};
    ShareSettings settings_;
    ServerStatus status_;
    QPointer<QWidget> window_;
};

}  // namespace kestrel
