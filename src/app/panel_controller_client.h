#pragma once

#include <memory>

#include "app/panel_client.h"
#include "panel/panel_controller.h"
#include "window/shortcut_keys.h"

class QWidget;

namespace kestrel {

// Joins the panel controller and the shortcut keys to the main window: it turns the window's Qt
// events into the controller's client positions and the shortcut keys' key codes, and hands each
// timer and window message to the part that owns it.
class PanelControllerClient final : public PanelClient {
  public:
    // Makes the controller and the shortcut keys for the main window's widget and interface.
    PanelControllerClient(QWidget* mainWidget, MainWindow& window);

    void OnLeftButtonDown(QMouseEvent* event) override;
    void OnLeftButtonUp(QMouseEvent* event) override;
    void OnRightButtonDown(QMouseEvent* event) override;
    void OnRightButtonUp(QMouseEvent* event) override;
    void OnMouseMove(QMouseEvent* event) override;
    void OnMouseWheel(QWheelEvent* event) override;
    void OnInputLost() override;
    void OnMenuCommand(int commandId) override;
    void OnTimer(int timerId) override;
    bool OnKeyPress(QKeyEvent* event) override;
    int64_t OnWindowMessage(const Message& message) override;
    bool Busy() const override;

    // Returns the panel controller.
    PanelController& Controller() { return controller_; }
    // Returns the shortcut keys.
    CShortcutKeys& Shortcuts() { return shortcuts_; }

  private:
    PanelController controller_;
    CShortcutKeys shortcuts_;
};

class CMainPanelDlg;
// Makes the controller client for the main window and puts its menu bar above the panel: the
// factory the application gives the main window.
std::unique_ptr<PanelClient> MakePanelControllerClient(CMainPanelDlg& dialog);

}  // namespace kestrel
