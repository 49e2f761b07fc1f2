#include "platform/real_runtime.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>

namespace kestrel {

namespace {
thread_local MessageLoop* currentLoop = nullptr;

// Names the calling thread after its loop, so that per-thread figures (top -H, /proc) say who
// spends what. The kernel keeps 15 characters.
void NameThisThread(const std::string& name) {
    ::pthread_setname_np(::pthread_self(), name.substr(0, 15).c_str());
}

class RealSignal final : public Signal {
  public:
    // Notifies under the lock: a waiter may destroy the signal as soon as it sees it set.
    void Set() override {
        std::lock_guard lock(mutex_);
        set_ = true;
        changed_.notify_all();
    }
    bool IsSet() const override {
        std::lock_guard lock(mutex_);
        return set_;
    }
    bool WaitFor(int64_t timeoutMs) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return set_; });
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};
}  // namespace

class RealRuntime::Loop final : public MessageLoop {
  public:
    Loop(std::string name, MessageHandler handler, std::chrono::milliseconds period = {},
         Message tick = {})
        : name_(std::move(name)), handler_(std::move(handler)), period_(period), tick_(tick) {}

    void Start() {
        thread_ = std::thread([this] { Main(); });
    }

    bool Post(const Message& message) override {
        {
            std::lock_guard lock(mutex_);
            if (!running_) {
                return false;
            }
            queue_.push_back(message);
        }
        arrived_.notify_one();
        return true;
    }

    bool IsRunning() const override { return running_.load(std::memory_order_acquire); }
    const std::string& Name() const override { return name_; }

    void Join() {
        if (thread_.joinable()) {
            if (IsRunning()) {
                Post({kMsgStop, 0, 0});
            }
            thread_.join();
        }
    }

  private:
    using Clock = std::chrono::steady_clock;

    void Main() {
        currentLoop = this;
        NameThisThread(name_);
        const bool paced = period_.count() > 0;
        auto nextTick = Clock::now() + period_;
        for (;;) {
            Message message;
            {
                std::unique_lock lock(mutex_);
                const auto posted = [&] { return !queue_.empty(); };
                bool tickDue = false;
                if (paced) {
                    // A due tick goes before the posted messages, so that a busy queue cannot
                    // hold it back; it comes once a period, so it cannot hold them back either.
                    const bool timedOut = !arrived_.wait_until(lock, nextTick, posted);
                    const auto now = Clock::now();
                    tickDue = timedOut || now >= nextTick;
                    if (tickDue) {
                        const auto late = std::max(now - nextTick, Clock::duration::zero());
                        nextTick += period_ * (late / period_ + 1);
                    }
                } else {
                    arrived_.wait(lock, posted);
                }
                if (tickDue) {
                    message = tick_;
                } else {
                    message = queue_.front();
                    queue_.pop_front();
                    if (message.id == kMsgStop) {
                        running_.store(false, std::memory_order_release);
                        queue_.clear();
                        return;
                    }
                }
            }
            handler_(message);
        }
    }

    const std::string name_;
    const MessageHandler handler_;
    const std::chrono::milliseconds period_;  // zero for a loop without ticks
    const Message tick_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Message> queue_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

RealRuntime::RealRuntime()
    : start_(std::chrono::steady_clock::now()), timerThread_([this] { TimerThreadMain(); }) {}

RealRuntime::~RealRuntime() {
    {
        std::lock_guard lock(timerMutex_);
        stopping_ = true;
    }
    timerWake_.notify_all();
    timerThread_.join();
    std::vector<std::shared_ptr<Loop>> loops;
    {
        std::lock_guard lock(loopsMutex_);
        loops.swap(loops_);
    }
    for (auto& loop : loops) {
        loop->Join();
    }
}

int64_t RealRuntime::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void RealRuntime::SleepMs(int64_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::shared_ptr<MessageLoop> RealRuntime::StartLoop(std::string name, MessageHandler handler) {
    return Launch(std::make_shared<Loop>(std::move(name), std::move(handler)));
}

std::shared_ptr<MessageLoop> RealRuntime::StartPacedLoop(std::string name, int64_t periodMs,
                                                         Message tick, MessageHandler handler) {
    return Launch(std::make_shared<Loop>(std::move(name), std::move(handler),
                                         std::chrono::milliseconds(std::max<int64_t>(periodMs, 1)),
                                         tick));
}

std::shared_ptr<MessageLoop> RealRuntime::Launch(std::shared_ptr<Loop> loop) {
    loop->Start();
    std::lock_guard lock(loopsMutex_);
    loops_.push_back(loop);
    return loop;
}

TimerId RealRuntime::StartTimer(int64_t periodMs, std::function<void()> fn) {
    periodMs = std::max<int64_t>(periodMs, 1);
    return AddTimer(periodMs, periodMs, std::move(fn));
}

void RealRuntime::CallAfter(int64_t delayMs, std::function<void()> fn) {
    AddTimer(std::max<int64_t>(delayMs, 0), 0, std::move(fn));
}

TimerId RealRuntime::AddTimer(int64_t firstMs, int64_t periodMs, std::function<void()> fn) {
    TimerId id;
    {
        std::lock_guard lock(timerMutex_);
        id = nextTimerId_++;
        timers_.emplace(id, Timer{periodMs, std::move(fn)});
        deadlines_.emplace(NowMs() + firstMs, id);
    }
    timerWake_.notify_all();
    return id;
}

void RealRuntime::CancelTimer(TimerId id) {
    std::unique_lock lock(timerMutex_);
    timers_.erase(id);
    // The timer thread may have copied the callback already: wait until it has returned, so
    // that the caller may destroy what the callback uses. A callback that cancels a timer runs
    // on the timer thread itself, where nothing else can be running.
    if (std::this_thread::get_id() != timerThread_.get_id()) {
        timerDone_.wait(lock, [&] { return runningId_ != id; });
    }
}

std::shared_ptr<Signal> RealRuntime::MakeSignal() {
    return std::make_shared<RealSignal>();
}

bool RealRuntime::Wait(Signal& signal, int64_t timeoutMs) {
    return static_cast<RealSignal&>(signal).WaitFor(timeoutMs);
}

MessageLoop* RealRuntime::CurrentLoop() const {
    return currentLoop;
}

void RealRuntime::TimerThreadMain() {
    NameThisThread("runtime timers");
    std::unique_lock lock(timerMutex_);
    while (!stopping_) {
        if (deadlines_.empty()) {
            timerWake_.wait(lock);
            continue;
        }
        const auto [deadline, id] = *deadlines_.begin();
        const int64_t now = NowMs();
        if (deadline > now) {
            timerWake_.wait_for(lock, std::chrono::milliseconds(deadline - now));
            continue;
        }
        deadlines_.erase(deadlines_.begin());
        auto timer = timers_.find(id);
        if (timer == timers_.end()) {
            continue;
        }
        std::function<void()> fn = timer->second.fn;
        if (timer->second.periodMs == 0) {
            timers_.erase(timer);
        } else {
            // A late timer fires once and keeps its rhythm from now, as desktop timers do.
            deadlines_.emplace(std::max(deadline + timer->second.periodMs, now + 1), id);
        }
        runningId_ = id;
        lock.unlock();
        fn();
        fn = nullptr;
        lock.lock();
        runningId_ = 0;
        timerDone_.notify_all();
    }
}

}  // namespace kestrel
