#include "platform/headless_main_window.h"

#include <utility>

namespace kestrel {

namespace {
std::atomic<MainWindow*> installedWindow{nullptr};
std::atomic<MainWindowTap> installedTap{nullptr};
// A window message that carries a send: lParam points at the PendingSend.
constexpr uint32_t kMsgSendEnvelope = 0x7FFF0001;
}  // namespace

MainWindow* TheMainWindow() {
    return installedWindow.load(std::memory_order_acquire);
}
void SetMainWindow(MainWindow* window) {
    installedWindow.store(window, std::memory_order_release);
}

bool PostToMainWindow(uint32_t id, uint64_t wParam, int64_t lParam) {
    MainWindow* window = TheMainWindow();
    const bool posted = window != nullptr && window->PostMessage(id, wParam, lParam);
    if (const MainWindowTap tap = installedTap.load(std::memory_order_acquire)) {
        tap(id, wParam, lParam);
    }
    return posted;
}

void SetMainWindowTap(MainWindowTap tap) {
    installedTap.store(tap, std::memory_order_release);
}

void SetMainWindowTimer(int timerId, int64_t ms) {
    if (MainWindow* window = TheMainWindow()) {
        window->SetTimer(timerId, ms);
    }
}

void KillMainWindowTimer(int timerId) {
    if (MainWindow* window = TheMainWindow()) {
        window->KillTimer(timerId);
    }
}

struct HeadlessMainWindow::PendingSend {
    Message message;
    std::shared_ptr<Signal> done;
    std::atomic<int64_t> result{0};
};

HeadlessMainWindow::HeadlessMainWindow(WindowHandler handler) : handler_(std::move(handler)) {
    loop_ = Rt().StartLoop("main window", [this](const Message& message) { Handle(message); });
}

HeadlessMainWindow::~HeadlessMainWindow() {
    Close();
    StopWorker(loop_.get());
}

bool HeadlessMainWindow::PostMessage(uint32_t id, uint64_t wParam, int64_t lParam) {
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return false;
        }
    }
    return loop_->Post({id, wParam, lParam});
}

int64_t HeadlessMainWindow::SendMessage(uint32_t id, uint64_t wParam, int64_t lParam) {
    if (Rt().CurrentLoop() == loop_.get()) {
        return handler_({id, wParam, lParam});
    }
    auto pending = std::make_shared<PendingSend>();
    pending->message = {id, wParam, lParam};
    pending->done = Rt().MakeSignal();
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return 0;
        }
        pendingSends_.insert(pending);
    }
    loop_->Post({kMsgSendEnvelope, 0, reinterpret_cast<int64_t>(pending.get())});
    Rt().Wait(*pending->done, kLongestWaitMs);
    std::lock_guard lock(mutex_);
    pendingSends_.erase(pending);
    return pending->result;
}

// Runtime timers are started and cancelled without the lock: cancelling waits for a running
// tick, and the tick takes the lock.
void HeadlessMainWindow::SetTimer(int timerId, int64_t ms) {
    uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return;
        }
        generation = nextGeneration_++;
    }
    TimerId started =
        Rt().StartTimer(ms, [this, timerId, generation] { Tick(timerId, generation); });
    TimerId stale = started;
    {
        std::lock_guard lock(mutex_);
        if (!closing_) {
            auto [slot, added] = timers_.try_emplace(timerId, WindowTimer{started, generation});
            stale = added ? 0 : std::exchange(slot->second, {started, generation}).runtimeId;
        }
    }
    if (stale != 0) {
        Rt().CancelTimer(stale);
    }
}

void HeadlessMainWindow::Tick(int timerId, uint64_t generation) {
    {
        std::lock_guard lock(mutex_);
        auto timer = timers_.find(timerId);
        if (closing_ || timer == timers_.end() || timer->second.generation != generation ||
            !pendingTicks_.insert(timerId).second) {
            return;
        }
    }
    loop_->Post({kMsgTimer, static_cast<uint64_t>(timerId), 0});
}

void HeadlessMainWindow::KillTimer(int timerId) {
    TimerId stale = 0;
    {
        std::lock_guard lock(mutex_);
        if (auto timer = timers_.find(timerId); timer != timers_.end()) {
            stale = timer->second.runtimeId;
            timers_.erase(timer);
        }
        pendingTicks_.erase(timerId);
    }
    if (stale != 0) {
        Rt().CancelTimer(stale);
    }
}

bool HeadlessMainWindow::HasTimer(int timerId) const {
    std::lock_guard lock(mutex_);
    return timers_.contains(timerId);
}

void HeadlessMainWindow::Close() {
    std::map<int, WindowTimer> timers;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        timers.swap(timers_);
        for (auto& pending : pendingSends_) {
            pending->done->Set();
        }
    }
    for (const auto& [id, timer] : timers) {
        Rt().CancelTimer(timer.runtimeId);
    }
}

void HeadlessMainWindow::Handle(const Message& message) {
    if (message.id == kMsgSendEnvelope) {
        const auto* raw = reinterpret_cast<const PendingSend*>(message.lParam);
        std::shared_ptr<PendingSend> pending;
        {
            std::lock_guard lock(mutex_);
            for (const auto& candidate : pendingSends_) {
                if (candidate.get() == raw) {
                    pending = candidate;
                }
            }
        }
        if (pending && !pending->done->IsSet()) {
            pending->result = handler_(pending->message);
            pending->done->Set();
        }
        return;
    }
    if (message.id == kMsgTimer) {
        std::lock_guard lock(mutex_);
        pendingTicks_.erase(static_cast<int>(message.wParam));
        if (!timers_.contains(static_cast<int>(message.wParam))) {
            return;  // killed after its tick was queued
        }
    }
    handler_(message);
}

}  // namespace kestrel
