#include "app/window_timers.h"

#include <QThread>
#include <QTimerEvent>
#include <algorithm>
#include <chrono>
#include <optional>

namespace kestrel {

namespace {

// Timers this short pace the read steps, the shortcut commands and the frequency redraws; a
// coarse timer could fire them up to 5 % late.
constexpr int64_t kPreciseBelowMs = 50;

}  // namespace

WindowTimers::WindowTimers(TickHandler onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {}

WindowTimers::~WindowTimers() {
    Close();
}

void WindowTimers::Set(int timerId, int64_t ms) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        wanted_[timerId] = {std::max<int64_t>(ms, 0), nextGeneration_++};
    }
    ApplySoon(timerId);
}

void WindowTimers::Kill(int timerId) {
    {
        std::lock_guard lock(mutex_);
        if (wanted_.erase(timerId) == 0) {
            return;
        }
    }
    ApplySoon(timerId);
}

void WindowTimers::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        wanted_.clear();
    }
    if (QThread::currentThread() == thread()) {
        for (const auto& [number, running] : running_) {
            killTimer(running.qtId);
        }
        running_.clear();
        numberOfQtId_.clear();
    }
}

bool WindowTimers::IsSet(int timerId) const {
    std::lock_guard lock(mutex_);
    return wanted_.contains(timerId);
}

int64_t WindowTimers::Period(int timerId) const {
    std::lock_guard lock(mutex_);
    const auto found = wanted_.find(timerId);
    return found == wanted_.end() ? 0 : found->second.ms;
}

// Qt timers belong to the thread that starts them, so a worker's request is carried over to the
// user-interface thread; until it has been applied, the check in timerEvent keeps a killed or
// reset timer from ticking with its old settings.
void WindowTimers::ApplySoon(int timerId) {
    if (QThread::currentThread() == thread()) {
        Apply(timerId);
    } else {
        QMetaObject::invokeMethod(
            this, [this, timerId] { Apply(timerId); }, Qt::QueuedConnection);
    }
}

void WindowTimers::Apply(int timerId) {
    std::optional<Wanted> wanted;
    {
        std::lock_guard lock(mutex_);
        if (const auto found = wanted_.find(timerId); found != wanted_.end()) {
            wanted = found->second;
        }
    }
    const auto running = running_.find(timerId);
    if (running != running_.end()) {
        if (wanted && wanted->generation == running->second.generation) {
            return;
        }
        killTimer(running->second.qtId);
        numberOfQtId_.erase(running->second.qtId);
        running_.erase(running);
    }
    if (!wanted) {
        return;
    }
    const int qtId = startTimer(std::chrono::milliseconds(wanted->ms),
                                wanted->ms < kPreciseBelowMs ? Qt::PreciseTimer : Qt::CoarseTimer);
    if (qtId == 0) {
        return;
    }
    running_[timerId] = {qtId, wanted->generation};
    numberOfQtId_[qtId] = timerId;
}

void WindowTimers::timerEvent(QTimerEvent* event) {
    const auto number = numberOfQtId_.find(event->timerId());
    if (number == numberOfQtId_.end()) {
        return;
    }
    const int timerId = number->second;
    {
        std::lock_guard lock(mutex_);
        const auto wanted = wanted_.find(timerId);
        if (wanted == wanted_.end() ||
            wanted->second.generation != running_.at(timerId).generation) {
            return;
        }
    }
    onTick_(timerId);
}

}  // namespace kestrel
