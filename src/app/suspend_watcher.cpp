#include "app/suspend_watcher.h"

#include <QDBusConnection>

#include "app/power_events.h"
#include "platform/main_window.h"

namespace kestrel {

SuspendWatcher::SuspendWatcher(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return;
    }
    bus.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                SLOT(OnPrepareForSleep(bool)));
}

void SuspendWatcher::OnPrepareForSleep(bool sleeping) {
    // Straight to the window: the engine's listeners hear only what the engine posts.
    if (MainWindow* window = TheMainWindow()) {
        window->PostMessage(kMsgPowerBroadcast, sleeping ? kPowerSuspend : kPowerResumeSuspend, 0);
    }
}

}  // namespace kestrel
