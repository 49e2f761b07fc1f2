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
    PostToMainWindow(kMsgPowerBroadcast, sleeping ? kPowerSuspend : kPowerResumeSuspend);
}

}  // namespace kestrel
