#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/runtime.h"

namespace kestrel {

// The production runtime: one OS thread per loop, the steady clock, and one timer thread.
class RealRuntime final : public Runtime {
  public:
    RealRuntime();
    ~RealRuntime() override;
    RealRuntime(const RealRuntime&) = delete;
    RealRuntime& operator=(const RealRuntime&) = delete;

    int64_t NowMs() const override;
    void SleepMs(int64_t ms) override;
    std::shared_ptr<MessageLoop> StartLoop(std::string name, MessageHandler handler) override;
    std::shared_ptr<MessageLoop> StartPacedLoop(std::string name, int64_t periodMs, Message tick,
                                                MessageHandler handler) override;
    TimerId StartTimer(int64_t periodMs, std::function<void()> fn) override;
    void CancelTimer(TimerId id) override;
    void CallAfter(int64_t delayMs, std::function<void()> fn) override;
    std::shared_ptr<Signal> MakeSignal() override;
    bool Wait(Signal& signal, int64_t timeoutMs) override;
    MessageLoop* CurrentLoop() const override;

  private:
    class Loop;
    struct Timer {
        int64_t periodMs;  // 0 for a call that runs once
        std::function<void()> fn;
    };

    std::shared_ptr<MessageLoop> Launch(std::shared_ptr<Loop> loop);
    void TimerThreadMain();
    TimerId AddTimer(int64_t firstMs, int64_t periodMs, std::function<void()> fn);

    const std::chrono::steady_clock::time_point start_;
    std::mutex loopsMutex_;
    std::vector<std::shared_ptr<Loop>> loops_;

    std::mutex timerMutex_;
    std::condition_variable timerWake_;
    std::condition_variable timerDone_;
    bool stopping_ = false;
    TimerId runningId_ = 0;  // the timer whose callback runs now with the lock released
    TimerId nextTimerId_ = 1;
    std::map<TimerId, Timer> timers_;
    std::multimap<int64_t, TimerId> deadlines_;
    std::thread timerThread_;
};

}  // namespace kestrel
