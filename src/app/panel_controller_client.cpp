#include "app/panel_controller_client.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "app/main_panel_dlg.h"
#include "panel/panel_messages.h"
#include "platform/timer_numbers.h"

namespace kestrel {

ShortcutKey ShortcutKeyOf(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return static_cast<ShortcutKey>(static_cast<int>(ShortcutKey::F1) + (qtKey - Qt::Key_F1));
    }
    switch (qtKey) {
        case Qt::Key_PageUp:
            return ShortcutKey::PageUp;
        case Qt::Key_PageDown:
            return ShortcutKey::PageDown;
        case Qt::Key_Home:
            return ShortcutKey::Home;
        case Qt::Key_End:
            return ShortcutKey::End;
        default:
            return ShortcutKey::Other;
    }
}

ShortcutModifier ShortcutModifierOf(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ShiftModifier) {
        return ShortcutModifier::Shift;
    }
    if (modifiers & Qt::ControlModifier) {
        return ShortcutModifier::Ctrl;
    }
    if (modifiers & Qt::AltModifier) {
        return ShortcutModifier::Alt;
    }
    return ShortcutModifier::None;
}

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
