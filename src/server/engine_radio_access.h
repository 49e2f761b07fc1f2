#pragma once

#include "server/radio_access.h"

namespace kestrel {

// The radio as the engine interface offers it: what the panel and the console hand the sharing
// servers.
class EngineRadioAccess final : public RadioAccess {
  public:
    bool IsConnected() override { return RadioEngine::IsConnected(); }
    int32_t Read(Field field) override { return RadioEngine::Read(field); }
    bool SetFrequency(Vfo vfo, uint64_t hertz) override {
        return RadioEngine::SetFrequency(vfo, hertz);
    }
    bool SetMode(int modeCode, Vfo vfo) override { return RadioEngine::SetMode(modeCode, vfo); }
    bool SetTransmit(bool on) override { return RadioEngine::SetTransmit(on); }
    bool SetActiveVfo(Vfo vfo) override { return RadioEngine::SetActiveVfo(vfo); }
    bool Request(int number, int vfoB, int32_t value) override {
        return RadioEngine::Request(number, vfoB, value);
    }
    RawResult QueueRaw(std::string_view text) override { return RadioEngine::QueueRaw(text); }
};

}  // namespace kestrel
