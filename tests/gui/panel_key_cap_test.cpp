#include <gtest/gtest.h>

#include <tuple>

#include "app/key_cap_table.h"

namespace kestrel {
namespace {

// Held and released looks per on-rule; the released looks of the FR, SF, KC and FT caps are
// checked through their notifications, the empty handlers through the main window.
TEST(KeyCaps, HeldCapsShowThePressedImageAndFourImageCapsTheOnPairWhileTheirFunctionIsOn) {
    // clang-format off
    const std::tuple<uint32_t, uint64_t, CapState, std::optional<int>> kRows[] = {
        {0x85C0, 1, {},                 3},  // BAND held while SF is 0
        {0x85C0, 0, {},                 2},
        {0x85C1, 1, {},                 1},  // MHz is on only at SF 1
        {0x8578, 0, {.ai = 1},          2},  // COM follows AI
        {0x8578, 0, {},                 0},
        {0x85BC, 1, {.kc = 3},          3},  // CONT is KC 3
        {0x85DC, 1, {.kc = 3},          1},  // SHIFT is KC 1
        {0x85AB, 1, {.ai = 1, .ps = 1}, 1},  // two-image caps: pressed or released only
        {0x85AB, 0, {.ai = 1, .ps = 1}, 0},
        {0x85E3, 1, {.mx = 1, .vx = 1}, 1},
        {0x85CA, 1, {},                 std::nullopt},
    };
    // clang-format on
    for (const auto& [message, held, state, image] : kRows) {
        EXPECT_EQ(KeyCapImage(message, held, state), image) << std::hex << message << " " << held;
    }
    EXPECT_FALSE(IsKeyCapMessage(0x85C8)) << "the main dial's angle is no key cap";
}

}  // namespace
}  // namespace kestrel
