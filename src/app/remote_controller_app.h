#pragma once

#include <functional>
#include <memory>

#include "app/panel_options.h"

namespace kestrel {

class BuiltInRadio;
class CMainPanelDlg;
class PanelClient;
class RadioSharing;

// The application: it runs the main window modally for the whole run and shuts the engine down
// when the window ends. A runtime must be installed and a QApplication must exist.
class CRemoteControllerApp {
  public:
    // Makes the panel controller for the main window.
    using ControllerFactory = std::function<std::unique_ptr<PanelClient>(CMainPanelDlg&)>;
    // Runs on the user-interface thread with the main window (see the setters).
    using WindowHook = std::function<void(CMainPanelDlg&)>;

    explicit CRemoteControllerApp(PanelOptions options);
    ~CRemoteControllerApp();

    // Sets how the panel controller is made (none: the panel takes no input).
    void SetControllerFactory(ControllerFactory factory) { factory_ = std::move(factory); }
    // Sets a function to run on the new main window before its start-up (tests answer its
    // boxes from it).
    void SetPrepareHook(WindowHook hook) { prepareHook_ = std::move(hook); }
    // Sets a function to run once the modal loop runs (tests drive the window from it).
    void SetRunningHook(WindowHook hook) { runningHook_ = std::move(hook); }
    // Returns the radio sharing while the main window runs, or nullptr.
    RadioSharing* Sharing() const { return sharing_.get(); }
    // Returns the built-in transceiver while it runs, or nullptr.
    BuiltInRadio* Radio() const { return radio_.get(); }

    // Runs the whole program: builds the main window, runs its start-up and modal loop, then
    // (when it ended with OK or Cancel) closes the port, saves the settings and stops the
    // workers. Returns false, after which the program ends.
    bool InitInstance();
    // Returns the modal result the main window ended with.
    int ModalResult() const { return modalResult_; }

  private:
    void StartBuiltInRadio();
    void StartSharing(CMainPanelDlg& dialog);

    PanelOptions options_;
    ControllerFactory factory_;
    WindowHook prepareHook_;
    WindowHook runningHook_;
    std::unique_ptr<BuiltInRadio> radio_;
    std::unique_ptr<RadioSharing> sharing_;
    int modalResult_ = -1;
};

// Runs fn on a helper thread while the calling (user-interface) thread keeps handling events,
// so that a worker waiting on the main window is never stuck; returns when fn has returned.
void RunWithEventsFlowing(const std::function<void()>& fn);

}  // namespace kestrel
