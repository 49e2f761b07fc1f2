#include "app/remote_controller_app.h"

#include <QEventLoop>
#include <QTimer>
#include <iostream>
#include <thread>

#include "app/main_panel_dlg.h"
#include "app/panel_client.h"
#include "engine_api/radio_engine.h"
#include "sim/built_in_radio.h"
#include "window/radio_sharing.h"

namespace kestrel {

CRemoteControllerApp::CRemoteControllerApp(PanelOptions options) : options_(std::move(options)) {}

CRemoteControllerApp::~CRemoteControllerApp() = default;

bool CRemoteControllerApp::InitInstance() {
    auto dialog = std::make_unique<CMainPanelDlg>(QString::fromStdString(options_.skinFolder));
    g_pMainDlg = dialog.get();
    SetMainWindow(dialog.get());
    if (factory_) {
        dialog->SetPanelClient(factory_(*dialog));
    }
    if (prepareHook_) {
        prepareHook_(*dialog);
    }
    if (!options_.device.empty()) {
        RadioEngine::SetDeviceOverride(options_.device);
    }
    dialog->OnInitDialog([this] { StartBuiltInRadio(); });
    StartSharing(*dialog);
    if (runningHook_) {
        QTimer::singleShot(0, dialog.get(), [this, &dialog] { runningHook_(*dialog); });
    }
    modalResult_ = dialog->exec();
    // Clients go before the engine stops, and a client's transmission ends with them.
    dialog->SetSharing(nullptr);
    sharing_.reset();
    if (modalResult_ == QDialog::Accepted || modalResult_ == QDialog::Rejected) {
        RunWithEventsFlowing([] { RadioEngine::Stop(); });
    }
    SetMainWindow(nullptr);
    dialog.reset();
    g_pMainDlg = nullptr;
    radio_.reset();
    RadioEngine::SetDeviceOverride({});
    return false;
}

void CRemoteControllerApp::StartBuiltInRadio() {
    if (!options_.simulate) {
        return;
    }
    radio_ = std::make_unique<BuiltInRadio>(RadioEngine::BaudRate());
    const std::string path = radio_->Start();
    if (path.empty()) {
        radio_.reset();
        return;
    }
    RadioEngine::SetDeviceOverride(path);
}

void CRemoteControllerApp::StartSharing(CMainPanelDlg& dialog) {
    sharing_ = std::make_unique<RadioSharing>();
    sharing_->SetWindow(&dialog);
    dialog.SetSharing(sharing_.get());
    const ServerOptions& given = options_.share;
    QString error;
    // The command line's servers are for this run; without any, the saved choice holds.
    const bool started = given.rigctl || given.xmlrpc ? sharing_->Start(given, error)
                                                      : sharing_->Apply(ReadShareSettings(), error);
    if (!started) {
        std::cerr << "kestrel-panel: the radio cannot be shared: " << error.toStdString() << "\n";
    }
}

void RunWithEventsFlowing(const std::function<void()>& fn) {
    QEventLoop loop;
    std::thread helper([&] {
        fn();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    helper.join();
}

}  // namespace kestrel
