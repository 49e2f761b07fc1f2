#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kestrel {

// The number of menu settings the simulated transceiver keeps.
inline constexpr int kSimMenuItems = 118;
// The number of keyer text memories and of voice memory channels.
inline constexpr int kSimKeyerMemories = 5;
inline constexpr int kSimVoiceChannels = 5;
// The longest keyer memory text.
inline constexpr int kSimKeyerTextLength = 50;
// The number of memory channels.
inline constexpr int kSimMemoryChannels = 117;
// The number of bands that BS selects (00 to 11).
inline constexpr int kSimBands = 12;

// One memory channel: a frequency and a mode.
struct SimMemory {
    int frequency = 0;
    int mode = 0;
};

// Everything the simulated transceiver knows about itself: every value that its answers carry.
// Index 0 of a pair is the main receiver (VFO-A), index 1 the sub receiver (VFO-B).
struct SimState {
    // Power and automatic information.
    int ps = 1;
    int ai = 0;

    // VFOs, modes and the receive/transmit arrangement.
    int fa = 14195000;
    int fb = 7050000;
    std::array<int, 2> md{2, 1};  // USB on the main receiver, LSB on the sub
    int vs = 0;                   // VFO selected for the main dial
    int ft = 0;                   // split: transmit on VFO-B
    int fr = 0;                   // receive arrangement (dual, main, sub ...)
    int fs = 0;                   // fast tuning steps
    int lk = 0;                   // dial lock
    int sf = 8;                   // sub-dial function key, 8 = none
    int vm = 0;                   // 1 in memory mode
    int mc = 1;                   // memory channel
    int sc = 0;                   // scan: 0 off, 1 up, 2 down

    // Clarifier (shared by both VFOs) and IF shift.
    int rt = 0;
    int xt = 0;
    int clarifier = 0;  // Hz, -9999 to 9999
    int is = 0;         // IF shift, Hz, -1000 to 1000

    // Filters and DSP.
    int bpOn = 0;
    int bpLevel = 100;
    int bc = 0;
    int coMode = 0;
    int coLevel = 15;
    std::array<int, 2> nr{0, 0};
    int rl = 8;
    std::array<int, 2> na{0, 0};
    std::array<int, 2> nb{0, 0};
    std::array<int, 2> nl{50, 50};
    int rf = 5;
    std::array<int, 2> gt{6, 6};
    int ra = 0;
    int pa = 1;
    int sh = 10;
    int dp = 0;
    int cs = 0;
    std::array<int, 2> vfOn{0, 0};
    std::array<int, 2> vfValue{128, 128};

    // Gains and levels.
    std::array<int, 2> sq{0, 0};
    std::array<int, 2> ag{128, 128};
    std::array<int, 2> rg{255, 255};
    int mg = 128;
    int pl = 50;
    int vg = 50;
    int vd = 300;
    int pc = 100;
    int mlOn = 0;
    int mlLevel = 50;

    // Transmit and keying.
    int mx = 0;
    int catTx = 0;  // the value of the last TX set command while it keeps the radio transmitting
    int vx = 0;
    int pr = 0;
    int bi = 0;
    int kr = 0;
    int ts = 0;
    int kp = 8;
    int ks = 20;   // keyer speed, words per minute
    int sd = 300;  // break-in delay, ms
    int kc = 0;
    int ms = 1;  // meter shown on the lower bar
    int an = 1;  // antenna 1 or 2
    int ac = 0;  // tuner: 0 off, 1 on, 2 tuning
    int ds = 0;
    int lastFk = 0;
    int lastMk = 0;
    int ul = 0;
    int rs = 0;

    // Repeater and CTCSS per VFO.
    std::array<int, 2> ct{0, 0};
    std::array<int, 2> cn{12, 12};
    std::array<int, 2> os{0, 0};

    // Rotator: direction in degrees (0 to 450), speed in percent, motion 0 stop, 1 CCW, 2 CW.
    double rotatorAngle = 180.0;
    int rotatorSpeed = 50;
    int rotatorMotion = 0;

    // Keyer memory texts, as written (at most 50 characters of space to "_" and "}").
    std::array<std::string, kSimKeyerMemories> keyerText{"CQ CQ CQ DE KESTREL KESTREL K", "QRZ?",
                                                         "TU 5NN", "73 ES GL", "QRL?"};
    int keyerPlaying = 0;  // KY memory being sent, 0 none

    // Voice memory.
    int recordingChannel = 0;  // 0 none
    int playingChannel = 0;    // 0 none
    int lmFlag = 0;            // the LM selector-1 flag
    int pbFlag = 0;            // the PB selector-1 flag
    std::array<int, kSimVoiceChannels> recordedMs{4000, 4000, 4000, 4000, 4000};

    // Meters, 0 to 255, as the meter model last left them.
    int sMain = 0;
    int sSub = 0;
    int po = 0;
    int alc = 0;
    int swr = 0;
    int comp = 0;
    int idd = 0;
    int vdd = 190;

    // Quick memory, memory channels and the band stack.
    SimMemory qmb{14200000, 2};
    std::array<SimMemory, kSimMemoryChannels> memories{};
    std::array<int, kSimBands> bandStack{};

    // Menu settings by menu number - 1, as the whole numbers the "EX" command carries.
    std::array<int, kSimMenuItems> menu{};

    // Reports whether the radio transmits (MOX, a TX command or the keyer).
    bool Transmitting() const { return mx != 0 || catTx != 0 || keyerPlaying != 0; }
};

// Returns the state of a transceiver just switched on: the values above, the menu catalogue's
// defaults, and band stack and memories filled from them.
SimState InitialSimState();

}  // namespace kestrel
