#pragma once

#include <QObject>

namespace kestrel {

// Turns the desktop's suspend signal (logind's PrepareForSleep on the system bus) into the main
// window's power events: suspend when the machine goes to sleep, resume when it wakes. Where no
// system bus or no logind is reachable it does nothing.
class SuspendWatcher final : public QObject {
    Q_OBJECT
  public:
    explicit SuspendWatcher(QObject* parent = nullptr);

  public slots:
    // Posts the power event for a sleep that begins (true) or has ended (false).
    void OnPrepareForSleep(bool sleeping);
};

}  // namespace kestrel
