#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

#include "platform/runtime.h"

namespace kestrel {

// A deterministic runtime for tests. Time is virtual and moves only while the driving thread runs
// RunFor or RunUntil. Every loop still has a thread of its own, so that a handler may sleep or
// wait in the middle of its work, but exactly one thread runs at any moment: the driver hands a
// baton to one loop at a time, in the order of (virtual time, posting order). The same program
// therefore gives the same interleaving on every run.
class VirtualRuntime final : public Runtime {
  public:
    VirtualRuntime();
    ~VirtualRuntime() override;
    VirtualRuntime(const VirtualRuntime&) = delete;
    VirtualRuntime& operator=(const VirtualRuntime&) = delete;

    int64_t NowMs() const override;
    // On a loop thread, suspends that handler; on the driving thread, runs the others for ms.
    void SleepMs(int64_t ms) override;
    std::shared_ptr<MessageLoop> StartLoop(std::string name, MessageHandler handler) override;
    std::shared_ptr<MessageLoop> StartPacedLoop(std::string name, int64_t periodMs, Message tick,
                                                MessageHandler handler) override;
    TimerId StartTimer(int64_t periodMs, std::function<void()> fn) override;
    void CancelTimer(TimerId id) override;
    std::shared_ptr<Signal> MakeSignal() override;
    bool Wait(Signal& signal, int64_t timeoutMs) override;
    MessageLoop* CurrentLoop() const override;

    // Runs every handler and timer due within the next ms milliseconds of virtual time.
    void RunFor(int64_t ms);
    // Runs until done() holds (checked between events) or maxMs pass; reports done().
    bool RunUntil(const std::function<bool()>& done, int64_t maxMs);
    // Schedules fn once, delayMs from now, on the driving thread.
    void CallAfter(int64_t delayMs, std::function<void()> fn) override;

  private:
    class Loop;
    class VirtualSignal;
    struct Event {
        int64_t time;
        uint64_t seq;
        std::function<void()> action;
        bool operator>(const Event& other) const {
            return time != other.time ? time > other.time : seq > other.seq;
        }
    };
    struct Timer {
        int64_t periodMs;
        std::function<void()> fn;
    };

    void ScheduleLocked(int64_t time, std::function<void()> action);
    void ScheduleTimerLocked(TimerId id, int64_t time);
    // Hands the baton to a loop and waits until the loop gives it back.
    void RunSliceLocked(std::unique_lock<std::mutex>& lock, Loop* loop);
    // Called on a loop thread: gives the baton back and waits until it returns.
    void YieldLocked(std::unique_lock<std::mutex>& lock, Loop* loop);
    bool RunNextEvent(int64_t limit);

    mutable std::mutex mutex_;
    std::condition_variable driverWake_;  // the driving thread waits here for the baton
    Loop* baton_ = nullptr;               // the loop that runs now; nullptr while the driver runs
    bool shuttingDown_ = false;
    int64_t now_ = 0;
    uint64_t nextSeq_ = 0;
    std::priority_queue<Event, std::vector<Event>, std::greater<>> events_;
    TimerId nextTimerId_ = 1;
    std::map<TimerId, Timer> timers_;
    std::vector<std::shared_ptr<Loop>> loops_;
};

}  // namespace kestrel
