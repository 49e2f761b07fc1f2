#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace kestrel {

// The main window's numbered timers on Qt timers of the user-interface thread. They may be set
// and killed from any thread; a killed timer never ticks again, even when its tick was already
// due. Qt never queues a second expiry of a timer that has not been handled, so a slow handler
// makes ticks late, never piled up.
class WindowTimers final : public QObject {
    Q_OBJECT
  public:
    // Called on the user-interface thread with the timer's number at every tick.
    using TickHandler = std::function<void(int timerId)>;

    // Makes the timers on the calling thread, which must be the user-interface thread.
    explicit WindowTimers(TickHandler onTick, QObject* parent = nullptr);
    ~WindowTimers() override;

    // Sets (or resets) the numbered timer to tick every ms milliseconds; ignored once closed.
    void Set(int timerId, int64_t ms);
    // Kills the numbered timer; an unknown timer is ignored.
    void Kill(int timerId);
    // Kills every timer and refuses new ones from now on.
    void Close();
    // Reports whether the numbered timer is set.
    bool IsSet(int timerId) const;
    // Returns the numbered timer's period in milliseconds, or 0 when it is not set.
    int64_t Period(int timerId) const;

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    struct Wanted {
        int64_t ms;
        uint64_t generation;
    };
    struct Running {
        int qtId;
        uint64_t generation;
    };
    void Apply(int timerId);
    void ApplySoon(int timerId);

    const TickHandler onTick_;
    mutable std::mutex mutex_;
    std::map<int, Wanted> wanted_;  // what the callers asked for, from any thread
    uint64_t nextGeneration_ = 1;
    bool closed_ = false;
    std::map<int, Running> running_;  // the Qt timers; user-interface thread only
    std::map<int, int> numberOfQtId_;
};

}  // namespace kestrel
