#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/message.h"

namespace kestrel {

// A worker's message queue, handled one message at a time on the worker's own thread until the
// stop message arrives.
class MessageLoop {
  public:
    virtual ~MessageLoop() = default;
    // Queues a message; false once the loop has ended.
    virtual bool Post(const Message& message) = 0;
    // Reports whether the loop still runs (the zero-time wait on a thread).
    virtual bool IsRunning() const = 0;
    // Returns the name the loop was started with.
    virtual const std::string& Name() const = 0;
};

// A manual-reset event that threads wait on through the runtime.
class Signal {
  public:
    virtual ~Signal() = default;
    // Sets the event and wakes every waiter.
    virtual void Set() = 0;
    // Reports whether the event is set.
    virtual bool IsSet() const = 0;
};

using TimerId = uint64_t;

// The longest anything waits: a day. A send to the main window waits at most this long, and no
// wait the operator asks for may be longer.
inline constexpr int64_t kLongestWaitMs = 24 * 60 * 60 * 1000;

// The clock, threads and timers of the program. Every sleep and every timer goes through it, so
// that tests can run the same code in virtual time.
class Runtime {
  public:
    virtual ~Runtime() = default;
    // Returns the time in milliseconds since the runtime started.
    virtual int64_t NowMs() const = 0;
    // Sleeps the calling thread; other loops and timers keep running meanwhile.
    virtual void SleepMs(int64_t ms) = 0;
    // Starts a worker loop that hands each posted message to the handler, until kMsgStop.
    virtual std::shared_ptr<MessageLoop> StartLoop(std::string name, MessageHandler handler) = 0;
    // Starts a worker loop that, between its posted messages, also hands the handler `tick` every
    // periodMs milliseconds, first after one period, until the loop ends. The loop times the
    // ticks by its own wait, so no other thread wakes for them; a late tick comes once and the
    // next keeps the rhythm.
    virtual std::shared_ptr<MessageLoop> StartPacedLoop(std::string name, int64_t periodMs,
                                                        Message tick, MessageHandler handler) = 0;
    // Calls fn every periodMs milliseconds, first after one period, until cancelled. fn runs on a
    // runtime thread: it must be short and must not sleep.
    virtual TimerId StartTimer(int64_t periodMs, std::function<void()> fn) = 0;
    // Stops a timer; unknown ids are ignored.
    virtual void CancelTimer(TimerId id) = 0;
    // Calls fn once, delayMs from now, on the same runtime thread as timers; the same rules apply.
    virtual void CallAfter(int64_t delayMs, std::function<void()> fn) = 0;
    // Makes a new unset signal.
    virtual std::shared_ptr<Signal> MakeSignal() = 0;
    // Waits until the signal is set or the time-out passes; reports whether it was set.
    virtual bool Wait(Signal& signal, int64_t timeoutMs) = 0;
    // Returns the loop whose handler runs on the calling thread, or nullptr.
    virtual MessageLoop* CurrentLoop() const = 0;
};

// Returns the runtime of the program; SetRuntime must have been called.
Runtime& Rt();
// Installs the runtime that Rt() returns (nullptr uninstalls it).
void SetRuntime(Runtime* runtime);

// Stops a worker the way every worker is stopped: while it still runs, post kMsgStop and sleep
// 100 ms, up to 52 times. Reports whether the loop has ended.
bool StopWorker(MessageLoop* loop);

}  // namespace kestrel
