#include "platform/virtual_runtime.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <utility>

namespace kestrel {

namespace {
// Thrown through a handler that is still suspended when the runtime is destroyed, so that its
// thread can end.
struct LoopAbandoned {};
}  // namespace

class VirtualRuntime::Loop final : public MessageLoop {
  public:
    Loop(VirtualRuntime& runtime, std::string name, MessageHandler handler)
        : runtime_(runtime), name_(std::move(name)), handler_(std::move(handler)) {}

    bool Post(const Message& message) override {
        std::lock_guard lock(runtime_.mutex_);
        if (!running_) {
            return false;
        }
        queue_.push_back(message);
        ScheduleDispatchLocked();
        return true;
    }

    bool IsRunning() const override { return running_.load(std::memory_order_acquire); }
    const std::string& Name() const override { return name_; }

    void ScheduleDispatchLocked() {
        if (busy_ || dispatchScheduled_ || !HasWorkLocked()) {
            return;
        }
        dispatchScheduled_ = true;
        runtime_.ScheduleLocked(runtime_.now_, [this] {
            std::unique_lock lock(runtime_.mutex_);
            dispatchScheduled_ = false;
            if (!busy_ && HasWorkLocked() && running_) {
                busy_ = true;
                runtime_.RunSliceLocked(lock, this);
            }
        });
    }

    void Main() {
        currentLoop = this;
        std::unique_lock lock(runtime_.mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return runtime_.baton_ == this || abandoned_; });
            if (abandoned_) {
                break;
            }
            // A due tick goes first, as in the real loop.
            Message message = tick_;
            if (!std::exchange(tickDue_, false)) {
                message = queue_.front();
                queue_.pop_front();
            }
            if (message.id == kMsgStop) {
                queue_.clear();
                break;
            }
            lock.unlock();
            try {
                handler_(message);
            } catch (const LoopAbandoned&) {
                lock.lock();
                break;
            }
            lock.lock();
            busy_ = false;
            ScheduleDispatchLocked();
            runtime_.baton_ = nullptr;
            runtime_.driverWake_.notify_one();
        }
        running_.store(false, std::memory_order_release);
        busy_ = false;
        if (runtime_.baton_ == this) {
            runtime_.baton_ = nullptr;
        }
        runtime_.driverWake_.notify_one();
    }

    bool HasWorkLocked() const { return tickDue_ || !queue_.empty(); }

    // Makes the tick due at `time` and every period after it while the loop runs. Like the real
    // loop's ticks they do not pile up while the handler is busy.
    void ScheduleTickLocked(int64_t time) {
        runtime_.ScheduleLocked(time, [this] {
            std::lock_guard lock(runtime_.mutex_);
            if (!running_) {
                return;
            }
            tickDue_ = true;
            ScheduleDispatchLocked();
            ScheduleTickLocked(runtime_.now_ + periodMs_);
        });
    }

    static thread_local Loop* currentLoop;

    VirtualRuntime& runtime_;
    const std::string name_;
    const MessageHandler handler_;
    std::deque<Message> queue_;
    int64_t periodMs_ = 0;  // the period of the ticks; 0 for a loop without them
    Message tick_;
    bool tickDue_ = false;
    std::atomic<bool> running_{true};
    bool busy_ = false;
    bool dispatchScheduled_ = false;
    bool abandoned_ = false;
    // Each thread sleeps on a condition of its own, so that handing the baton on wakes only the
    // thread that takes it.
    std::condition_variable wake_;
    uint64_t suspension_ = 0;  // counts suspensions, so a stale wake-up is recognised
    std::thread thread_;
};

thread_local VirtualRuntime::Loop* VirtualRuntime::Loop::currentLoop = nullptr;

class VirtualRuntime::VirtualSignal final : public Signal {
  public:
    explicit VirtualSignal(VirtualRuntime& runtime) : runtime_(runtime) {}

    void Set() override {
        std::lock_guard lock(runtime_.mutex_);
        set_ = true;
        for (auto& [loop, suspension] : waiters_) {
            VirtualRuntime* runtime = &runtime_;
            runtime_.ScheduleLocked(runtime_.now_, [runtime, loop = loop, suspension = suspension] {
                std::unique_lock wakeLock(runtime->mutex_);
                if (loop->suspension_ == suspension) {
                    runtime->RunSliceLocked(wakeLock, loop);
                }
            });
        }
        waiters_.clear();
    }

    bool IsSet() const override {
        std::lock_guard lock(runtime_.mutex_);
        return set_;
    }

    VirtualRuntime& runtime_;
    bool set_ = false;
    std::vector<std::pair<Loop*, uint64_t>> waiters_;
};

VirtualRuntime::VirtualRuntime() = default;

VirtualRuntime::~VirtualRuntime() {
    std::vector<std::shared_ptr<Loop>> loops;
    {
        std::lock_guard lock(mutex_);
        shuttingDown_ = true;
        for (auto& loop : loops_) {
            loop->abandoned_ = true;
            loop->wake_.notify_one();
        }
        loops.swap(loops_);
    }
    for (auto& loop : loops) {
        if (loop->thread_.joinable()) {
            loop->thread_.join();
        }
    }
}

int64_t VirtualRuntime::NowMs() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void VirtualRuntime::SleepMs(int64_t ms) {
    Loop* loop = Loop::currentLoop;
    if (loop == nullptr) {
        RunFor(ms);
        return;
    }
    std::unique_lock lock(mutex_);
    const uint64_t suspension = ++loop->suspension_;
    ScheduleLocked(now_ + std::max<int64_t>(ms, 0), [this, loop, suspension] {
        std::unique_lock wakeLock(mutex_);
        if (loop->suspension_ == suspension) {
            RunSliceLocked(wakeLock, loop);
        }
    });
    YieldLocked(lock, loop);
}

std::shared_ptr<MessageLoop> VirtualRuntime::StartLoop(std::string name, MessageHandler handler) {
    auto loop = std::make_shared<Loop>(*this, std::move(name), std::move(handler));
    std::lock_guard lock(mutex_);
    loops_.push_back(loop);
    loop->thread_ = std::thread([raw = loop.get()] { raw->Main(); });
    return loop;
}

std::shared_ptr<MessageLoop> VirtualRuntime::StartPacedLoop(std::string name, int64_t periodMs,
                                                            Message tick, MessageHandler handler) {
    auto loop = StartLoop(std::move(name), std::move(handler));
    auto* raw = static_cast<Loop*>(loop.get());
    std::lock_guard lock(mutex_);
    raw->periodMs_ = std::max<int64_t>(periodMs, 1);
    raw->tick_ = tick;
    raw->ScheduleTickLocked(now_ + raw->periodMs_);
    return loop;
}

TimerId VirtualRuntime::StartTimer(int64_t periodMs, std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    const TimerId id = nextTimerId_++;
    timers_.emplace(id, Timer{std::max<int64_t>(periodMs, 1), std::move(fn)});
    ScheduleTimerLocked(id, now_ + timers_.at(id).periodMs);
    return id;
}

void VirtualRuntime::CancelTimer(TimerId id) {
    std::lock_guard lock(mutex_);
    timers_.erase(id);
}

std::shared_ptr<Signal> VirtualRuntime::MakeSignal() {
    return std::make_shared<VirtualSignal>(*this);
}

bool VirtualRuntime::Wait(Signal& signal, int64_t timeoutMs) {
    auto& virtualSignal = static_cast<VirtualSignal&>(signal);
    Loop* loop = Loop::currentLoop;
    if (loop == nullptr) {
        return RunUntil([&] { return virtualSignal.IsSet(); }, timeoutMs);
    }
    std::unique_lock lock(mutex_);
    if (virtualSignal.set_) {
        return true;
    }
    const uint64_t suspension = ++loop->suspension_;
    virtualSignal.waiters_.emplace_back(loop, suspension);
    ScheduleLocked(now_ + std::max<int64_t>(timeoutMs, 0), [this, loop, suspension] {
        std::unique_lock wakeLock(mutex_);
        if (loop->suspension_ == suspension) {
            RunSliceLocked(wakeLock, loop);
        }
    });
    YieldLocked(lock, loop);
    return virtualSignal.set_;
}

MessageLoop* VirtualRuntime::CurrentLoop() const {
    return Loop::currentLoop;
}

void VirtualRuntime::RunFor(int64_t ms) {
    int64_t limit;
    {
        std::lock_guard lock(mutex_);
        limit = now_ + ms;
    }
    while (RunNextEvent(limit)) {
    }
    std::lock_guard lock(mutex_);
    now_ = std::max(now_, limit);
}

bool VirtualRuntime::RunUntil(const std::function<bool()>& done, int64_t maxMs) {
    int64_t limit;
    {
        std::lock_guard lock(mutex_);
        limit = now_ + maxMs;
    }
    while (!done()) {
        if (!RunNextEvent(limit)) {
            std::lock_guard lock(mutex_);
            now_ = std::max(now_, limit);
            return done();
        }
    }
    return true;
}

void VirtualRuntime::CallAfter(int64_t delayMs, std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    ScheduleLocked(now_ + std::max<int64_t>(delayMs, 0), std::move(fn));
}

void VirtualRuntime::ScheduleLocked(int64_t time, std::function<void()> action) {
    events_.push(Event{time, nextSeq_++, std::move(action)});
}

void VirtualRuntime::ScheduleTimerLocked(TimerId id, int64_t time) {
    ScheduleLocked(time, [this, id] {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex_);
            auto timer = timers_.find(id);
            if (timer == timers_.end()) {
                return;
            }
            fn = timer->second.fn;
            ScheduleTimerLocked(id, now_ + timer->second.periodMs);
        }
        fn();
    });
}

void VirtualRuntime::RunSliceLocked(std::unique_lock<std::mutex>& lock, Loop* loop) {
    assert(baton_ == nullptr);
    baton_ = loop;
    loop->wake_.notify_one();
    driverWake_.wait(lock, [&] { return baton_ == nullptr; });
}

void VirtualRuntime::YieldLocked(std::unique_lock<std::mutex>& lock, Loop* loop) {
    baton_ = nullptr;
    driverWake_.notify_one();
    loop->wake_.wait(lock, [&] { return baton_ == loop || loop->abandoned_; });
    if (loop->abandoned_) {
        throw LoopAbandoned{};
    }
}

bool VirtualRuntime::RunNextEvent(int64_t limit) {
    Event event;
    {
        std::lock_guard lock(mutex_);
        assert(Loop::currentLoop == nullptr && "RunFor and RunUntil belong to the driving thread");
        if (events_.empty() || events_.top().time > limit) {
            return false;
        }
        event = events_.top();
        events_.pop();
        now_ = std::max(now_, event.time);
    }
    event.action();
    return true;
}

}  // namespace kestrel
