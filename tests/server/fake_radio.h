#pragma once

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "server/radio_access.h"

namespace kestrel {

// A radio whose store the test fills and which records every command it is given as a line
// ("freq A 14074000", "request 35 0 0", "raw KM5CQ;"). Safe to share with the server's thread.
class FakeRadio : public RadioAccess {
  public:
    FakeRadio() {
        ResetRadioState();  // the field limits the servers check against
        for (int i = 0; i < kFieldCount; ++i) {
            fields_[static_cast<size_t>(i)] = FieldMin(static_cast<Field>(i));
        }
        Set(Field::FA, 14074000);
        Set(Field::FB, 7050000);
        Set(Field::MD0, 2);
        Set(Field::MD1, 1);
        Set(Field::PC, 100);
        Set(Field::PS, 1);
    }

    void Set(Field field, int32_t value) {
        std::lock_guard lock(mutex_);
        fields_[static_cast<size_t>(field)] = value;
    }
    // Returns and forgets the commands given so far.
    std::vector<std::string> TakeCalls() {
        std::lock_guard lock(mutex_);
        return std::exchange(calls_, {});
    }

    std::atomic<bool> connected{true};

    bool IsConnected() override { return connected; }
    int32_t Read(Field field) override {
        std::lock_guard lock(mutex_);
        return fields_[static_cast<size_t>(field)];
    }
    bool SetFrequency(Vfo vfo, uint64_t hertz) override {
        return Log(std::string("freq ") + (vfo == Vfo::A ? "A " : "B ") + std::to_string(hertz));
    }
    bool SetMode(int modeCode, Vfo vfo) override {
        return Log(std::string("mode ") + (vfo == Vfo::A ? "A " : "B ") + std::to_string(modeCode));
    }
    bool SetTransmit(bool on) override { return Log(on ? "tx on" : "tx off"); }
    bool SetActiveVfo(Vfo vfo) override { return Log(vfo == Vfo::A ? "vfo A" : "vfo B"); }
    bool Request(int number, int vfoB, int32_t value) override {
        return Log("request " + std::to_string(number) + " " + std::to_string(vfoB) + " " +
                   std::to_string(value));
    }
    RawResult QueueRaw(std::string_view text) override {
        Log("raw " + std::string(text));
        return text.empty() ? RawResult::Empty : RawResult::Queued;
    }

  private:
    bool Log(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
        return true;
    }

    std::mutex mutex_;
    std::array<int32_t, kFieldCount> fields_{};
    std::vector<std::string> calls_;
};

}  // namespace kestrel
