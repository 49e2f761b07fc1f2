#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/main_window.h"
#include "platform/runtime.h"

namespace kestrel {

// The main window without a screen: a loop on the runtime that hands every window message, timer
// tick included, to one handler in posting order. Used by kestrel-console and the engine's tests.
class HeadlessMainWindow final : public MainWindow {
  public:
    // handler runs on the window's loop for every posted or sent message; its result answers a
    // send.
    using WindowHandler = std::function<int64_t(const Message&)>;

    explicit HeadlessMainWindow(WindowHandler handler);
    ~HeadlessMainWindow() override;

    bool PostMessage(uint32_t id, uint64_t wParam, int64_t lParam) override;
    int64_t SendMessage(uint32_t id, uint64_t wParam, int64_t lParam) override;
    void SetTimer(int timerId, int64_t ms) override;
    void KillTimer(int timerId) override;
    uint8_t WindowWaiting() const override {
        return windowWaiting_.load(std::memory_order_relaxed);
    }
    void SetWindowWaiting(uint8_t value) override {
        windowWaiting_.store(value, std::memory_order_relaxed);
    }
    uint8_t ReadingRunning() const override {
        return readingRunning_.load(std::memory_order_relaxed);
    }
    void SetReadingRunning(uint8_t value) override {
        readingRunning_.store(value, std::memory_order_relaxed);
    }

    // Starts closing: kills every timer, releases every pending send and refuses new messages.
    void Close();
    // Reports whether the numbered timer is set.
    bool HasTimer(int timerId) const;
    // Returns the loop that runs the window's messages.
    MessageLoop& Loop() { return *loop_; }

  private:
    struct PendingSend;
    // A numbered timer's runtime timer; the generation tells a replaced timer's late tick apart.
    struct WindowTimer {
        TimerId runtimeId;
        uint64_t generation;
    };
    void Handle(const Message& message);
    void Tick(int timerId, uint64_t generation);

    WindowHandler handler_;
    std::shared_ptr<MessageLoop> loop_;
    mutable std::mutex mutex_;
    bool closing_ = false;
    std::map<int, WindowTimer> timers_;
    uint64_t nextGeneration_ = 1;
    std::set<int> pendingTicks_;  // desktop timers never queue a second tick of the same timer
    std::set<std::shared_ptr<PendingSend>> pendingSends_;
    std::atomic<uint8_t> windowWaiting_{0};
    std::atomic<uint8_t> readingRunning_{0};
};

}  // namespace kestrel
