#include "platform/memory_serial_pair.h"

#include <algorithm>
#include <array>
#include <deque>
#include <mutex>

#include "platform/runtime.h"

namespace kestrel {

namespace {
int Index(MemorySerialPair::Side side) {
    return side == MemorySerialPair::Side::A ? 0 : 1;
}
}  // namespace

struct MemorySerialPair::State {
    struct EndState {
        bool open = false;
        bool rts = true;
        LineSettings settings;
        uint32_t errors = 0;
        uint32_t status = 0;
        uint32_t extraOut = 0;
        std::deque<uint8_t> input;
        std::function<void()> onArrival;
    };
    struct PendingByte {
        int64_t writtenUs;
        uint8_t value;
    };
    // The bytes one end has written and the wire has not yet carried.
    struct Line {
        std::deque<PendingByte> pending;
        int64_t freeUs = 0;  // when the wire finishes the character it carries
    };

    std::mutex mutex;
    bool plugged = true;
    uint64_t generation = 0;  // advanced by every unplug, so that old ends stay dead
    std::array<EndState, 2> ends;
    std::array<Line, 2> lines;  // lines[i] carries what end i writes

    static int64_t NowUs() { return Rt().NowMs() * 1000; }

    bool Held(int from) const { return ends[from].settings.ctsFlow && !ends[1 - from].rts; }

    // Moves every byte whose last stop bit has passed by `now` to the other end. Nothing changes
    // the wire between two calls, so catching up on each call gives the exact timing.
    void Advance(int64_t now) {
        for (int from = 0; from < 2; ++from) {
            Line& line = lines[from];
            EndState& to = ends[1 - from];
            if (Held(from)) {
                continue;
            }
            const int64_t charUs =
                CharacterTimeUs(ends[from].settings.baud, ends[from].settings.stopBits);
            while (!line.pending.empty()) {
                const int64_t end = std::max(line.freeUs, line.pending.front().writtenUs) + charUs;
                if (end > now) {
                    break;
                }
                line.freeUs = end;
                if (to.open && to.input.size() < kInputCapacity) {
                    to.input.push_back(line.pending.front().value);
                } else if (to.open) {
                    to.errors |= kLineRxOverflow;
                }
                line.pending.pop_front();
            }
        }
    }

    // Runs a change that may hold or release a line; a released line starts sending from now.
    template <typename Change>
    void ChangeFlow(int64_t now, Change change) {
        Advance(now);
        const std::array<bool, 2> heldBefore{Held(0), Held(1)};
        change();
        for (int from = 0; from < 2; ++from) {
            if (heldBefore[from] && !Held(from)) {
                lines[from].freeUs = std::max(lines[from].freeUs, now);
            }
        }
    }

    // Returns when the last pending byte of the line will have arrived, or -1 while held.
    int64_t LastArrivalUs(int from) const {
        if (Held(from) || lines[from].pending.empty()) {
            return -1;
        }
        const int64_t charUs =
            CharacterTimeUs(ends[from].settings.baud, ends[from].settings.stopBits);
        int64_t cursor = lines[from].freeUs;
        for (const PendingByte& byte : lines[from].pending) {
            cursor = std::max(cursor, byte.writtenUs) + charUs;
        }
        return cursor;
    }

    static void ScheduleArrival(const std::shared_ptr<State>& self, int from, int64_t now) {
        const int to = 1 - from;
        const int64_t at = self->LastArrivalUs(from);
        if (at < 0 || !self->ends[to].onArrival) {
            return;
        }
        const int64_t delayMs = (at - now + 999) / 1000;
        std::weak_ptr<State> weak = self;
        Rt().CallAfter(std::max<int64_t>(delayMs, 1), [weak, to] {
            auto state = weak.lock();
            if (!state) {
                return;
            }
            std::function<void()> fn;
            {
                std::lock_guard lock(state->mutex);
                state->Advance(NowUs());
                fn = state->ends[to].onArrival;
            }
            if (fn) {
                fn();
            }
        });
    }
};

class MemorySerialPair::End final : public SerialDevice {
  public:
    End(std::shared_ptr<State> state, int side, uint64_t generation)
        : state_(std::move(state)), side_(side), generation_(generation) {}

    ~End() override {
        std::lock_guard lock(state_->mutex);
        // No catching up here: what was on its way to this end is lost with the close anyway,
        // and an end may outlive the runtime.
        if (Alive()) {
            state_->ends[side_].open = false;
        }
    }
    End(const End&) = delete;
    End& operator=(const End&) = delete;

    bool Configure(const LineSettings& settings) override {
        std::lock_guard lock(state_->mutex);
        if (!Alive()) {
            return false;
        }
        const int64_t now = State::NowUs();
        state_->ChangeFlow(now, [&] { state_->ends[side_].settings = settings; });
        State::ScheduleArrival(state_, side_, now);
        return true;
    }

    ReadResult Read(uint8_t* data, size_t max) override {
        std::lock_guard lock(state_->mutex);
        if (!Alive()) {
            return {0, true};
        }
        state_->Advance(State::NowUs());
        auto& input = state_->ends[side_].input;
        const size_t count = std::min(max, input.size());
        std::copy_n(input.begin(), count, data);
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(count));
        return {count, false};
    }

    bool Write(const uint8_t* data, size_t size, int64_t) override {
        std::lock_guard lock(state_->mutex);
        if (!Alive()) {
            return false;
        }
        const int64_t now = State::NowUs();
        state_->Advance(now);
        for (size_t i = 0; i < size; ++i) {
            state_->lines[side_].pending.push_back({now, data[i]});
        }
        State::ScheduleArrival(state_, side_, now);
        return true;
    }

    bool QueryStatus(LineStatus& status) override {
        std::lock_guard lock(state_->mutex);
        status = {};
        if (!Alive()) {
            return false;
        }
        state_->Advance(State::NowUs());
        auto& end = state_->ends[side_];
        status.errors = end.errors;
        end.errors = 0;
        status.status = end.status;
        status.inQueue = static_cast<uint32_t>(end.input.size());
        status.outQueue = static_cast<uint32_t>(state_->lines[side_].pending.size()) + end.extraOut;
        return true;
    }

    bool SetRts(bool raised) override {
        std::lock_guard lock(state_->mutex);
        if (!Alive()) {
            return false;
        }
        const int64_t now = State::NowUs();
        state_->ChangeFlow(now, [&] { state_->ends[side_].rts = raised; });
        State::ScheduleArrival(state_, 1 - side_, now);
        return true;
    }

    bool HungUp() override {
        std::lock_guard lock(state_->mutex);
        return !Alive();
    }

  private:
    bool Alive() const { return state_->plugged && state_->generation == generation_; }

    std::shared_ptr<State> state_;
    int side_;
    uint64_t generation_;
};

MemorySerialPair::MemorySerialPair() : state_(std::make_shared<State>()) {}

MemorySerialPair::~MemorySerialPair() {
    // Ends that outlive the pair hang up instead of reaching freed state.
    std::lock_guard lock(state_->mutex);
    state_->plugged = false;
    ++state_->generation;
    for (auto& end : state_->ends) {
        end.onArrival = nullptr;
    }
}

std::unique_ptr<SerialDevice> MemorySerialPair::Open(Side side) {
    const int i = Index(side);
    std::lock_guard lock(state_->mutex);
    auto& end = state_->ends[i];
    if (!state_->plugged || end.open) {
        return nullptr;
    }
    const int64_t now = State::NowUs();
    state_->ChangeFlow(now, [&] {
        end.open = true;
        end.rts = true;
        end.input.clear();
        end.errors = 0;
    });
    return std::make_unique<End>(state_, i, state_->generation);
}

SerialDeviceFactory MemorySerialPair::Factory(Side side) {
    return [this, side](const std::string&) { return Open(side); };
}

void MemorySerialPair::InjectErrors(Side side, uint32_t errors) {
    std::lock_guard lock(state_->mutex);
    state_->ends[Index(side)].errors |= errors;
}

void MemorySerialPair::SetStatusBits(Side side, uint32_t bits) {
    std::lock_guard lock(state_->mutex);
    state_->ends[Index(side)].status = bits;
}

void MemorySerialPair::SetExtraOutQueue(Side side, uint32_t count) {
    std::lock_guard lock(state_->mutex);
    state_->ends[Index(side)].extraOut = count;
}

void MemorySerialPair::Unplug() {
    std::lock_guard lock(state_->mutex);
    state_->plugged = false;
    ++state_->generation;
    for (int i = 0; i < 2; ++i) {
        state_->ends[i].open = false;
        state_->ends[i].input.clear();
        state_->ends[i].rts = true;
        state_->lines[i].pending.clear();
    }
}

void MemorySerialPair::Replug() {
    std::lock_guard lock(state_->mutex);
    state_->plugged = true;
}

bool MemorySerialPair::Rts(Side side) const {
    std::lock_guard lock(state_->mutex);
    return state_->ends[Index(side)].rts;
}

bool MemorySerialPair::IsOpen(Side side) const {
    std::lock_guard lock(state_->mutex);
    return state_->ends[Index(side)].open;
}

LineSettings MemorySerialPair::Settings(Side side) const {
    std::lock_guard lock(state_->mutex);
    return state_->ends[Index(side)].settings;
}

void MemorySerialPair::SetArrivalCallback(Side side, std::function<void()> fn) {
    std::lock_guard lock(state_->mutex);
    state_->ends[Index(side)].onArrival = std::move(fn);
}

}  // namespace kestrel
