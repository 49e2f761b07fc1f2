#include "app/panel_controller_client.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "app/main_panel_dlg.h"
#include "platform/timer_numbers.h"
#include "window/panel_messages.h"
#include "window/shortcut_key_events.h"

namespace kestrel {

PanelControllerClient::PanelControllerClient(QWidget* mainWidget, MainWindow& window)
    : controller_(mainWidget, window),
      shortcuts_(
          window, [this] { return controller_.IsBusy(); },
          [this] { controller_.OpenEntryWindow(); }) {}

void PanelControllerClient::OnLeftButtonDown(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    controller_.OnLeftButtonDown(p.x(), p.y());
}

void PanelControllerClient::OnLeftButtonUp(QMouseEvent* event) {
    controller_.OnMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
    controller_.OnLeftButtonUp();
}

void PanelControllerClient::OnRightButtonDown(QMouseEvent*) {
    controller_.OnRightButtonDown();
}

void PanelControllerClient::OnRightButtonUp(QMouseEvent*) {
    controller_.OnRightButtonUp();
}

void PanelControllerClient::OnMouseMove(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    controller_.OnMouseMove(p.x(), p.y());
}

void PanelControllerClient::OnMouseWheel(QWheelEvent* event) {
    const QPoint p = event->position().toPoint();
    const int delta =
        event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (delta != 0) {
        controller_.OnMouseWheel(delta, p.x(), p.y());
    }
}

void PanelControllerClient::OnInputLost() {
    controller_.OnInputLost();
}

void PanelControllerClient::OnMenuCommand(int commandId) {
    controller_.OnMenuCommand(commandId);
}

void PanelControllerClient::OnTimer(int timerId) {
    if (timerId == kTimerShortcut) {
        shortcuts_.OnTimer();
    } else {
        controller_.OnTimer(timerId);
    }
}

bool PanelControllerClient::OnKeyPress(QKeyEvent* event) {
    const ShortcutKey key = ShortcutKeyOf(event->key());
    if (key == ShortcutKey::Other) {
        return false;
    }
    return shortcuts_.OnKeyDown(key, ShortcutModifierOf(event->modifiers()));
}

int64_t PanelControllerClient::OnWindowMessage(const Message& message) {
    controller_.HandleWindowMessage(message.id, message.wParam, message.lParam);
    return 0;
}

bool PanelControllerClient::Busy() const {
    return controller_.IsBusy();
}

std::unique_ptr<PanelClient> MakePanelControllerClient(CMainPanelDlg& dialog) {
    auto client = std::make_unique<PanelControllerClient>(&dialog, dialog);
    dialog.SetMenuBar(client->Controller().CreateMenuBar(&dialog));
    return client;
}

}  // namespace kestrel
