#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace kestrel {

// When a four-image key cap shows its "on" pair of images.
enum class CapOnRule : uint8_t {
    Never,  // a two-image cap
    AiIs1,  // COM
    PsIs1,  // ON/OFF
    MxIs1,  // MOX
    VxIs1,  // VOX
    FrIs0,  // RX of the A side: on at FR 0, off at FR 1, 4, 5, nothing drawn at FR 2, 3
    FtIs0,  // TX of the A side
    FrIs4,  // RX of the B side: on at FR 4, off at FR 0, 1, 5, nothing drawn at FR 2, 3
    FtIs1,  // TX of the B side
    KcIs1,  // SHIFT
    KcIs2,  // WIDTH
    KcIs3,  // CONT
    KcIs4,  // NOTCH
    KcIs5,  // µ-TUNE
    SfIs0,  // BAND
    SfIs1,  // MHz
    SfIs2,  // GRP
    SfIs3,  // MCH
};

// One key cap the panel controller draws pressed and released.
struct KeyCap {
    uint32_t message;  // the key-display message, numbered like the key's request
    int images;        // 2, or 4 for a cap with an "on" look
    CapOnRule on;
};

// Every key cap with a look, in the order of the panel's key groups.
extern const std::span<const KeyCap> KeyCapTable;
// Key-display messages that draw nothing.
extern const std::span<const uint32_t> EmptyKeyCapMessages;

// The store values the on-state rules read.
struct CapState {
    int32_t ai = 0, ps = 0, mx = 0, vx = 0, fr = 0, ft = 0, kc = 0, sf = 0;
};

// Returns the cap row of a key-display message, or nullptr (also for the empty ones).
const KeyCap* KeyCapOfMessage(uint32_t message);
// Reports whether a message is a key-display message, with or without a look.
bool IsKeyCapMessage(uint32_t message);
// Returns the image to draw for a key-display message with wParam 1 (held) or 0 (released):
// wParam, plus 2 on a four-image cap whose function is on; nothing when the cap draws nothing.
std::optional<int> KeyCapImage(uint32_t message, uint64_t wParam, const CapState& state);
// Reads the on-state values from the radio state store.
CapState CurrentCapState();

class PanelPainter;
// Draws the cap of a key-display message in the look the store gives; false when it draws nothing.
bool DrawKeyCapMessage(PanelPainter& painter, uint32_t message, uint64_t wParam);

}  // namespace kestrel
