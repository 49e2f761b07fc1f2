#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "protocol/radio_state.h"

namespace kestrel {

// Key numbers that the controller treats apart from the push keys.
inline constexpr int kKeyConnect = 1;
inline constexpr int kKeyTxWatch = 39;  // sends 1 while held and key 40's request on release
inline constexpr int kKeyTxWatchOff = 40;
inline constexpr int kKeyMenuList = 51;
inline constexpr int kKeyDigitZero = 52;  // keys 52 to 61 type the digits 0 to 9
inline constexpr int kKeyDigitNine = 61;
inline constexpr int kKeyEnter = 63;
inline constexpr int kKeyMainDial = 89;
inline constexpr int kKeyRightDial = 90;
inline constexpr int kKeyDigitLowA = 200;  // the VFO-A display digits 200 to 207
inline constexpr int kKeyDigitHighA = 207;
inline constexpr int kKeyDigitLowB = 208;  // the VFO-B display digits 208 to 215
inline constexpr int kKeyDigitHighB = 215;
inline constexpr int kKeySetFrequencyA = 216;
inline constexpr int kKeySetFrequencyB = 217;
inline constexpr int kKeyCentreKnob = 218;

// Request messages that belong to keys without a hotspot.
inline constexpr uint32_t kReqMsgTxWatchOff = 0x851F;
inline constexpr uint32_t kReqMsgFrequencyA = 0x8551;
inline constexpr uint32_t kReqMsgFrequencyB = 0x8552;

// A rectangle of client pixels with every bound inclusive.
struct PanelRect {
    int left, top, right, bottom;
    // Reports whether the point lies inside, edges included.
    constexpr bool Contains(int x, int y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
};

// One of the eight zones the panel is cut into.
struct PanelZone {
    int zone;
    PanelRect rect;
};

// The parameter bits a request carries in wParam.
enum class RequestBits : uint8_t {
    None,   // wParam 0
    Bit20,  // wParam 0x100000
    Bit28,  // wParam 0x10000000 plus the VFO-B bit
};

// What a key sends in lParam.
enum class KeyValue : uint8_t {
    Zero,       // 0
    One,        // 1
    Choice,     // the index of the item chosen in the key's pop-up menu
    Frequency,  // the frequency in Hz
};

// One hotspot of the key table: a rectangle, the key under it and the key's request row.
struct Hotspot {
    int key;
    int zone;
    PanelRect rect;
    uint32_t request;  // request message, 0 for a key that posts none
    RequestBits bits;
    KeyValue value;
    uint32_t display;  // key-cap message, 0 for a key without a cap
};

// A control that is a disc rather than a rectangle.
struct DiscControl {
    int zone;
    int cx, cy;
    int radius;
    int key;
};

// A value knob: the store value it steps, its range and its three step sizes.
struct ValueKnob {
    int key;
    uint32_t request;
    Field field;
    int32_t min, max;
    int32_t clickStep, heldStep, wheelStep;
    int lamp;  // lamp index sent with the lamp message
};

// A rotary control: its request, its angle message and the disc it turns on.
struct RotaryControl {
    int key;
    uint32_t request;
    uint32_t angleMessage;
    int cx, cy;
};

// One item of a choice menu; the value sent is id - 1.
struct ChoiceItem {
    std::string_view text;
    int id;
};

// The pop-up menu of a choice key, placed at an offset from the main window's outer corner.
struct ChoiceMenu {
    int key;
    int offsetX, offsetY;
    std::span<const ChoiceItem> items;
};

// What lies under a point of the panel.
struct PanelHit {
    int zone = 0;                       // 0 when the point lies in no zone
    const Hotspot* hotspot = nullptr;   // the hotspot hit, if any
    const DiscControl* disc = nullptr;  // the disc hit, if any (only when no hotspot was)
    int digitIndex = 0;                 // 1 to 8 for a frequency digit hotspot
    // Returns the key hit, or 0.
    int Key() const { return hotspot ? hotspot->key : disc ? disc->key : 0; }
};

// The zones, in the order they are searched.
extern const std::array<PanelZone, 8> ZoneTable;
// The hotspots of every zone, each zone's rows in the order they are searched.
extern const std::span<const Hotspot> KeyTable;
// The disc controls, each zone's rows in the order they are searched.
extern const std::span<const DiscControl> DiscTable;
// The six value knobs.
extern const std::span<const ValueKnob> ValueKnobTable;
// The three rotary controls.
extern const std::span<const RotaryControl> RotaryTable;
// The pop-up menus of the choice keys.
extern const std::span<const ChoiceMenu> ChoiceMenuTable;

// Returns the zone containing the point (first row wins), or 0.
int FindZone(int x, int y);
// Returns the first hotspot of the zone containing the point, or nullptr.
const Hotspot* FindHotspot(int zone, int x, int y);
// Reports whether the point is one of the disc's sampled points (whole radii from the radius down
// to 0 at every whole degree).
bool OnDisc(const DiscControl& disc, int x, int y);
// Finds the zone, then the zone's hotspot, then (unless discsBlocked) the zone's disc.
PanelHit HitTest(int x, int y, bool discsBlocked);
// Returns the hotspot row of a key, or nullptr.
const Hotspot* HotspotOfKey(int key);
// Returns the value knob of a key, or nullptr.
const ValueKnob* ValueKnobOfKey(int key);
// Returns the rotary control of a key, or nullptr.
const RotaryControl* RotaryOfKey(int key);
// Returns the choice menu of a key, or nullptr.
const ChoiceMenu* ChoiceMenuOfKey(int key);

// Returns the wParam a request with these bits carries.
uint64_t RequestWParam(RequestBits bits, int vfoB);
// Returns the cursor angle around a centre: 0 straight above, growing clockwise, 0 to 359.
int CursorAngle(int x, int y, int cx, int cy);
// Returns the change from one angle to the next brought into -180..180 (180 counts as -180,
// -180 as +180).
int AngleDelta(int from, int to);
// Returns the drawn angle after one wheel step of 7 degrees (clockwise for up).
int WheelAngle(int angle, bool up);
// Adds degrees to a rest and returns the whole 7-degree steps taken; a step drops the remainder.
int TakeDialSteps(int32_t& rest, int degrees);
// Returns a knob value after one change by step, down or up, clamped to the knob's range.
int32_t SteppedKnobValue(const ValueKnob& knob, int32_t current, int32_t step, bool down);
// Returns the frequency to send after one wheel step on digit 1 to 8, or nothing when the step
// leaves the range (below 30000, or above 56000000 on a digit below 8).
std::optional<int32_t> TunedFrequency(int32_t base, int digitIndex, bool up);

}  // namespace kestrel
