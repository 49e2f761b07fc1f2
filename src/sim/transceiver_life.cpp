// The part of the simulated transceiver that happens by itself over time: meters, rotator,
// scanning, tuner, keyer, voice memory, power switching, faults and automatic reports.

#include <algorithm>
#include <cmath>
#include <sstream>

#include "sim/sim_text.h"
#include "sim/transceiver.h"

namespace kestrel {

namespace {

// A full turn takes a minute at 100 % speed, as small rotators do.
constexpr double kRotatorDegreesPerSecondAtFull = 6.0;
constexpr int64_t kRotatorStepMs = 100;
constexpr int kRotatorMaxAngle = 450;
// Scanning moves VFO-A 1 kHz every 100 ms.
constexpr int64_t kScanStepMs = 100;
constexpr int kScanStepHz = 1000;
// A voice memory recording stops by itself after 20 s.
constexpr int64_t kMaxRecordingMs = 20000;
constexpr int kMinRecordingMs = 500;
// Morse at `ks` words per minute: a dot lasts 1200/ks ms and a character takes about nine dots
// with its spacing.
constexpr int kDotsPerCharacter = 9;

// The mode names by MD value, for the operator.
constexpr std::string_view kModeNames[] = {"?",      "LSB",    "USB",   "CW",    "FM",
                                           "AM",     "RTTY-L", "CW-R",  "PKT-L", "RTTY-U",
                                           "PKT-FM", "FM-N",   "PKT-U", "AM-N"};

// Whether a station is heard on a frequency, and how strongly: a fixed pattern over 3 kHz
// channels, so that tuning around finds some signals and some empty channels.
int StationStrength(int frequency) {
    uint32_t h = static_cast<uint32_t>(frequency / 3000) * 2654435761u;
    h ^= h >> 15;
    return h % 3 == 0 ? static_cast<int>(60 + (h >> 8) % 140) : 0;
}

// A front-panel key: its name and the command it amounts to in the current state.
struct PanelKey {
    std::string_view name;
    std::string (*command)(const SimState&);
};

std::string Toggle(const char* code, int value) {
    return std::string(code) + (value != 0 ? "0" : "1") + ";";
}

// clang-format off
constexpr PanelKey kPanelKeys[] = {
    {"MOX",     [](const SimState& s) { return Toggle("MX", s.mx); }},
    {"VOX",     [](const SimState& s) { return Toggle("VX", s.vx); }},
    {"LOCK",    [](const SimState& s) { return Toggle("LK", s.lk); }},
    {"SPLIT",   [](const SimState& s) { return Toggle("FT", s.ft); }},
    {"FAST",    [](const SimState& s) { return Toggle("FS", s.fs); }},
    {"A=B",     [](const SimState&) { return std::string("AB;"); }},
    {"A/B",     [](const SimState&) { return std::string("SV;"); }},
    {"BAND+",   [](const SimState&) { return std::string("BU0;"); }},
    {"BAND-",   [](const SimState&) { return std::string("BD0;"); }},
    {"MODE+",   [](const SimState& s) { return "MD0" + std::string(1, SimHexDigit(s.md[0] % 12 + 1)) + ";"; }},
    {"MODE-",   [](const SimState& s) { return "MD0" + std::string(1, SimHexDigit((s.md[0] + 10) % 12 + 1)) + ";"; }},
    {"ATT",     [](const SimState& s) { return "RA0" + std::to_string((s.ra + 1) % 4) + ";"; }},
    {"IPO",     [](const SimState& s) { return "PA0" + std::to_string((s.pa + 1) % 3) + ";"; }},
    {"AGC",     [](const SimState& s) { return "GT0" + std::to_string(s.gt[0] % 6 + 1) + ";"; }},
    {"NB",      [](const SimState& s) { return "NB0" + std::to_string((s.nb[0] + 1) % 3) + ";"; }},
    {"DNR",     [](const SimState& s) { return "NR0" + std::string(s.nr[0] != 0 ? "0" : "1") + ";"; }},
    {"NAR",     [](const SimState& s) { return "NA0" + std::string(s.na[0] != 0 ? "0" : "1") + ";"; }},
    {"PROC",    [](const SimState& s) { return "PR" + std::to_string((s.pr + 1) % 3) + ";"; }},
    {"TUNE",    [](const SimState& s) { return std::string(s.ac == 0 ? "AC002;" : "AC000;"); }},
    {"CLAR",    [](const SimState& s) { return Toggle("RT", s.rt); }},
    {"CLEAR",   [](const SimState&) { return std::string("RC;"); }},
    {"MONI",    [](const SimState& s) { return std::string(s.mlOn != 0 ? "ML0000;" : "ML0001;"); }},
    {"BK-IN",   [](const SimState& s) { return Toggle("BI", s.bi); }},
    {"KEYER",   [](const SimState& s) { return Toggle("KR", s.kr); }},
    {"V/M",     [](const SimState&) { return std::string("VM;"); }},
    {"QMB-STO", [](const SimState&) { return std::string("QI;"); }},
    {"QMB-RCL", [](const SimState&) { return std::string("QR;"); }},
    {"Q-SPLIT", [](const SimState&) { return std::string("QS;"); }},
    {"SCAN",    [](const SimState& s) { return std::string(s.sc != 0 ? "SC0;" : "SC1;"); }},
    {"ANT",     [](const SimState&) { return std::string("AN05;"); }},
    {"CH-UP",   [](const SimState&) { return std::string("CH0;"); }},
    {"CH-DOWN", [](const SimState&) { return std::string("CH1;"); }},
};
// clang-format on

}  // namespace

void Transceiver::Start() {
    std::lock_guard lock(mutex_);
    if (running_) {
        return;
    }
    running_ = true;
    lastTickMs_ = Rt().NowMs();
    nextMeterMs_ = lastTickMs_;
    UpdateMeters();
    timer_ = Rt().StartTimer(kTickMs, [this] {
        std::lock_guard tickLock(mutex_);
        if (running_) {
            Tick();
        }
    });
}

void Transceiver::Stop() {
    TimerId timer = 0;
    {
        std::lock_guard lock(mutex_);
        if (!running_) {
            return;
        }
        running_ = false;
        timer = timer_;
        timer_ = 0;
    }
    // Cancelled without the lock, so that a tick waiting for the lock cannot deadlock us.
    Rt().CancelTimer(timer);
}

void Transceiver::Tick() {
    const int64_t now = Rt().NowMs();
    const int64_t elapsed = std::max<int64_t>(0, now - lastTickMs_);
    lastTickMs_ = now;
    bool changed = false;

    while (!delayed_.empty() && delayed_.front().due <= now) {
        Deliver(delayed_.front().bytes);
        delayed_.pop_front();
    }
    if (faultOn_[static_cast<size_t>(SimFault::Noise)]) {
        noiseCredit_ += faultAmount_[static_cast<size_t>(SimFault::Noise)] * elapsed / 1000.0;
        std::string noise;
        while (noiseCredit_ >= 1.0) {
            noise += static_cast<char>(rng_() & 0xFF);
            noiseCredit_ -= 1.0;
        }
        if (!noise.empty()) {
            sink_.Send(noise);
        }
    }
    if (faultOn_[static_cast<size_t>(SimFault::Unplug)] &&
        now >= static_cast<int64_t>(faultAmount_[static_cast<size_t>(SimFault::Unplug)])) {
        // The amount of a running unplug holds the moment the cable is back.
        faultOn_[static_cast<size_t>(SimFault::Unplug)] = false;
    }

    if (booting_) {
        if (now >= bootDoneMs_) {
            PowerOnNow();
        }
        return;
    }
    if (state_.ps == 0) {
        return;
    }

    SimState& s = state_;
    if (s.rotatorMotion != 0 && now - lastRotatorMs_ >= kRotatorStepMs) {
        const double step = kRotatorDegreesPerSecondAtFull * s.rotatorSpeed / 100.0 *
                            static_cast<double>(now - lastRotatorMs_) / 1000.0;
        s.rotatorAngle += s.rotatorMotion == 2 ? step : -step;
        if (s.rotatorAngle <= 0.0 || s.rotatorAngle >= kRotatorMaxAngle) {
            // The end stop halts the rotator.
            s.rotatorAngle = std::clamp(s.rotatorAngle, 0.0, double{kRotatorMaxAngle});
            s.rotatorMotion = 0;
        }
        lastRotatorMs_ = now;
        changed = true;
    } else if (s.rotatorMotion == 0) {
        lastRotatorMs_ = now;
    }
    if (s.sc != 0 && now >= nextScanMs_) {
        TuneVfo(0, s.sc == 1 ? kScanStepHz : -kScanStepHz);
        nextScanMs_ = now + kScanStepMs;
        changed = true;
    }
    if (s.ac == 2 && now >= tuneEndMs_) {
        s.ac = 1;
        changed = true;
    }
    if (s.keyerPlaying != 0 && now >= keyerEndMs_) {
        s.keyerPlaying = 0;
        changed = true;
    }
    if (s.playingChannel != 0 && now >= playEndMs_) {
        if (s.pbFlag != 0) {
            // With the repeat flag set the message plays again until stopped.
            playEndMs_ = now + s.recordedMs[static_cast<size_t>(s.playingChannel - 1)];
        } else {
            s.playingChannel = 0;
        }
        changed = true;
    }
    if (s.recordingChannel != 0 && now - recordStartMs_ >= kMaxRecordingMs) {
        StopRecording();
        changed = true;
    }
    if (now >= nextMeterMs_) {
        nextMeterMs_ = now + options_.meterPeriodMs;
        UpdateMeters();
        if (Reporting()) {
            ReportMeters();
        }
        changed = true;
    }
    if (changed) {
        ReportChanges();
    }
}

void Transceiver::UpdateMeters() {
    SimState& s = state_;
    auto jitter = [this](int spread) {
        return static_cast<int>(rng_() % static_cast<uint32_t>(2 * spread + 1)) - spread;
    };
    fadePhase_ += 0.2;
    if (s.ps == 0) {
        s.sMain = s.sSub = s.po = s.alc = s.swr = s.comp = s.idd = 0;
        s.vdd = 0;
        return;
    }
    if (s.Transmitting()) {
        s.sMain = 0;
        s.sSub = 0;
        const bool constantCarrier = s.md[0] == 4 || s.md[0] == 5 || s.keyerPlaying != 0;
        s.po = std::clamp(s.pc * 22 / 10 + (constantCarrier ? 0 : jitter(15)), 0, 255);
        s.alc = std::clamp((s.pr == 1 ? 70 : 30) + jitter(12), 0, 255);
        s.swr = std::clamp((s.an == 1 ? 25 : 45) + jitter(3), 0, 255);
        s.comp = s.pr == 1 ? std::clamp(90 + jitter(30), 0, 255) : 0;
        s.idd = std::clamp(s.pc * 18 / 10 + jitter(6), 0, 255);
        s.vdd = 180 + jitter(2);
        return;
    }
    auto level = [&](int frequency, double phase) {
        const double fading = 1.0 + 0.25 * std::sin(phase);
        const int station = StationStrength(frequency);
        int value = 14 + jitter(5) + static_cast<int>(station * fading);
        value -= s.ra * 15;
        value += s.pa == 0 ? -10 : (s.pa - 1) * 10;
        value = value * s.rg[0] / 255;
        return std::clamp(value, 0, 255);
    };
    s.sMain = level(s.fa, fadePhase_);
    s.sSub = level(s.fb, fadePhase_ * 0.7 + 1.0);
    s.po = s.alc = s.swr = s.comp = s.idd = 0;
    s.vdd = 190 + jitter(1);
}

void Transceiver::ReportMeters() {
    // The upper meter, the meter chosen for the lower bar, and the S meter; each only when it
    // moved since the last report.
    const std::string rm0 = AnswerLocked("RM", "0");
    const std::string lower = AnswerLocked("RM", std::to_string(state_.ms + 1));
    const std::string sm = AnswerLocked("SM", "0");
    const int values[] = {std::atoi(rm0.c_str() + 3), std::atoi(lower.c_str() + 3),
                          std::atoi(sm.c_str() + 3)};
    if (lastMeterKey_ != state_.ms) {
        lastMeterKey_ = state_.ms;
        lastMeters_[1] = -1;
    }
    const std::string* answers[] = {&rm0, &lower, &sm};
    for (size_t i = 0; i < 3; ++i) {
        if (values[i] != lastMeters_[i]) {
            lastMeters_[i] = values[i];
            Emit(*answers[i]);
        }
    }
}

void Transceiver::StartKeyer(int memory) {
    const std::string& text =
        state_.keyerText[static_cast<size_t>((memory - 1) % kSimKeyerMemories)];
    if (text.empty()) {
        return;
    }
    state_.keyerPlaying = memory;
    keyerEndMs_ = Rt().NowMs() + static_cast<int64_t>(text.size()) * kDotsPerCharacter * 1200 /
                                     std::max(4, state_.ks);
}

void Transceiver::StartRecording(int channel) {
    StopPlayback();
    StopRecording();
    state_.recordingChannel = channel;
    recordStartMs_ = Rt().NowMs();
}

void Transceiver::StopRecording() {
    if (state_.recordingChannel == 0) {
        return;
    }
    const int64_t length =
        std::clamp<int64_t>(Rt().NowMs() - recordStartMs_, kMinRecordingMs, kMaxRecordingMs);
    state_.recordedMs[static_cast<size_t>(state_.recordingChannel - 1)] = static_cast<int>(length);
    state_.recordingChannel = 0;
}

void Transceiver::StartPlayback(int channel) {
    StopRecording();
    state_.playingChannel = channel;
    playEndMs_ = Rt().NowMs() + state_.recordedMs[static_cast<size_t>(channel - 1)];
}

void Transceiver::StopPlayback() {
    state_.playingChannel = 0;
}

void Transceiver::PowerOff() {
    SimState& s = state_;
    s.ps = 0;
    s.mx = 0;
    s.catTx = 0;
    s.keyerPlaying = 0;
    s.rotatorMotion = 0;
    s.sc = 0;
    if (s.ac == 2) {
        s.ac = 1;
    }
    StopRecording();
    StopPlayback();
    booting_ = false;
    baselineValid_ = false;
    lastMeters_ = {-1, -1, -1};
    UpdateMeters();
}

void Transceiver::PowerOnNow() {
    booting_ = false;
    state_.ps = 1;
    UpdateMeters();
    if (Reporting()) {
        Emit("PS1;");
    }
    Rebaseline();
}

bool Transceiver::Reporting() const {
    return state_.ps == 1 && !booting_ && state_.ai == 1 &&
           !faultOn_[static_cast<size_t>(SimFault::Silence)];
}

std::vector<std::string> Transceiver::CollectReportable() const {
    std::vector<std::string> answers;
    answers.reserve(reportReads_.size());
    for (const auto& [code, param] : reportReads_) {
        answers.push_back(AnswerLocked(code, param));
    }
    return answers;
}

void Transceiver::Rebaseline() {
    lastAnswers_ = CollectReportable();
    baselineValid_ = true;
}

void Transceiver::ReportChanges() {
    if (!Reporting()) {
        baselineValid_ = false;
        return;
    }
    if (!baselineValid_) {
        Rebaseline();
        return;
    }
    std::vector<std::string> now = CollectReportable();
    for (size_t i = 0; i < now.size(); ++i) {
        if (now[i] != lastAnswers_[i] && !now[i].empty()) {
            Emit(now[i]);
        }
    }
    lastAnswers_ = std::move(now);
}

void Transceiver::Answer(std::string_view text) {
    Emit(std::string(text));
}

void Transceiver::Emit(std::string bytes) {
    if (faultOn_[static_cast<size_t>(SimFault::Silence)] || bytes.empty()) {
        return;
    }
    if (faultOn_[static_cast<size_t>(SimFault::Malformed)] && bytes.size() > 3 &&
        std::uniform_real_distribution<double>(0.0, 1.0)(rng_) <
            faultAmount_[static_cast<size_t>(SimFault::Malformed)]) {
        bytes.erase(2 + rng_() % (bytes.size() - 3), 1);
    }
    const double delay = faultOn_[static_cast<size_t>(SimFault::Slow)]
                             ? faultAmount_[static_cast<size_t>(SimFault::Slow)]
                             : 0.0;
    if (delay > 0.0 || !delayed_.empty()) {
        // Once anything waits, everything queues behind it, so the order on the line holds.
        delayed_.push_back({Rt().NowMs() + static_cast<int64_t>(delay), std::move(bytes)});
        return;
    }
    Deliver(bytes);
}

void Transceiver::Deliver(const std::string& bytes) {
    if (!faultOn_[static_cast<size_t>(SimFault::LostBytes)]) {
        sink_.Send(bytes);
        return;
    }
    const double loss = faultAmount_[static_cast<size_t>(SimFault::LostBytes)];
    std::string kept;
    for (char c : bytes) {
        if (std::uniform_real_distribution<double>(0.0, 1.0)(rng_) >= loss) {
            kept += c;
        }
    }
    if (!kept.empty()) {
        sink_.Send(kept);
    }
}

void Transceiver::StartFault(SimFault fault, std::optional<double> amount) {
    std::lock_guard lock(mutex_);
    const auto index = static_cast<size_t>(fault);
    const double value = amount.value_or(FaultInfo(fault).defaultAmount);
    if (fault == SimFault::Unplug) {
        faultOn_[index] = true;
        faultAmount_[index] = static_cast<double>(Rt().NowMs()) + value;
        if (link_ != nullptr) {
            link_->PullCable(static_cast<int64_t>(value));
        }
        return;
    }
    faultOn_[index] = true;
    faultAmount_[index] = value;
    if (fault == SimFault::Silence) {
        input_.clear();
        baselineValid_ = false;
    }
}

void Transceiver::StopFault(SimFault fault) {
    std::lock_guard lock(mutex_);
    faultOn_[static_cast<size_t>(fault)] = false;
    if (fault == SimFault::Noise) {
        noiseCredit_ = 0.0;
    }
}

bool Transceiver::FaultActive(SimFault fault) const {
    std::lock_guard lock(mutex_);
    return faultOn_[static_cast<size_t>(fault)];
}

void Transceiver::TurnMainDial(int steps) {
    std::lock_guard lock(mutex_);
    if (state_.ps == 0 || booting_ || steps == 0) {
        return;
    }
    const int magnitude = std::abs(steps);
    for (int done = 0; done < magnitude; done += 99) {
        const int chunk = std::min(99, magnitude - done);
        Execute((steps > 0 ? "EU0" : "ED0") + SimDigits(chunk, 2) + ";", false);
    }
    ReportChanges();
}

bool Transceiver::PressKey(std::string_view name) {
    std::lock_guard lock(mutex_);
    for (const PanelKey& key : kPanelKeys) {
        if (key.name == name) {
            if (Execute(key.command(state_), false)) {
                ReportChanges();
            }
            return true;
        }
    }
    return false;
}

std::string Transceiver::KeyNames() {
    std::string names;
    for (const PanelKey& key : kPanelKeys) {
        names += (names.empty() ? "" : " ") + std::string(key.name);
    }
    return names;
}

void Transceiver::SetPower(bool on) {
    std::lock_guard lock(mutex_);
    Execute(on ? "PS1;" : "PS0;", false);
}

SimState Transceiver::State() const {
    std::lock_guard lock(mutex_);
    return state_;
}

bool Transceiver::PoweredOn() const {
    std::lock_guard lock(mutex_);
    return state_.ps == 1 && !booting_;
}

std::string Transceiver::Describe() const {
    std::lock_guard lock(mutex_);
    const SimState& s = state_;
    auto mode = [](int md) { return kModeNames[std::clamp(md, 0, 13)]; };
    std::ostringstream out;
    out << "power "
        << (booting_    ? "starting"
            : s.ps != 0 ? "on"
                        : "off")
        << "  AI " << s.ai << "  " << (s.Transmitting() ? "TX" : "RX") << "\n";
    out << "VFO-A " << s.fa << " Hz " << mode(s.md[0]) << "   VFO-B " << s.fb << " Hz "
        << mode(s.md[1]) << "   dial on VFO-" << (s.vs != 0 ? 'B' : 'A')
        << (s.ft != 0 ? "  SPLIT" : "") << (s.lk != 0 ? "  LOCK" : "") << "\n";
    out << "clarifier " << s.clarifier << " Hz RX " << s.rt << " TX " << s.xt << "   IF shift "
        << s.is << "   width " << s.sh << "   memory " << s.mc
        << (s.vm != 0 ? " (memory mode)" : "") << "\n";
    out << "meters: S " << s.sMain << "  PO " << s.po << "  ALC " << s.alc << "  SWR " << s.swr
        << "   power " << s.pc << " W   antenna " << s.an << "   tuner " << s.ac << "\n";
    out << "rotator " << static_cast<int>(s.rotatorAngle) << " deg, speed " << s.rotatorSpeed
        << " %, "
        << (s.rotatorMotion == 1   ? "turning CCW"
            : s.rotatorMotion == 2 ? "turning CW"
                                   : "stopped")
        << "\n";
    out << "voice: recording " << s.recordingChannel << "  playing " << s.playingChannel
        << "   keyer playing " << s.keyerPlaying << "\n";
    out << "faults:";
    bool any = false;
    for (const SimFaultInfo& info : SimFaultTable) {
        if (faultOn_[static_cast<size_t>(info.fault)]) {
            out << " " << info.name;
            any = true;
        }
    }
    out << (any ? "" : " none") << "\n";
    return out.str();
}

}  // namespace kestrel
