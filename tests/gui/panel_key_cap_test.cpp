#include <gtest/gtest.h>

#include "app/key_cap_table.h"

namespace kestrel {
namespace {

TEST(KeyCaps, FourImageCapsShowTheirOnPairWhileTheFunctionIsOn) {
    CapState s;
    s.sf = 0;
    EXPECT_EQ(KeyCapImage(0x85C0, 1, s), 3);  // BAND held while SF is 0
    EXPECT_EQ(KeyCapImage(0x85C0, 0, s), 2);
    EXPECT_EQ(KeyCapImage(0x85C1, 1, s), 1);  // MHz is on only at SF 1
    s.ai = 1;
    EXPECT_EQ(KeyCapImage(0x8578, 0, s), 2);
    s.ai = 0;
    EXPECT_EQ(KeyCapImage(0x8578, 0, s), 0);
    s.kc = 3;
    EXPECT_EQ(KeyCapImage(0x85BC, 1, s), 3);  // CONT
    EXPECT_EQ(KeyCapImage(0x85DC, 1, s), 1);  // SHIFT is KC 1
}

TEST(KeyCaps, TwoImageCapsShowOnlyPressedOrReleased) {
    CapState s;
    s.ai = s.ps = s.mx = s.vx = 1;
    EXPECT_EQ(KeyCapImage(0x85AB, 1, s), 1);
    EXPECT_EQ(KeyCapImage(0x85AB, 0, s), 0);
    EXPECT_EQ(KeyCapImage(0x85E3, 1, s), 1);
}

TEST(KeyCaps, ReceiverSideCapsDrawNothingAtFrTwoAndThree) {
    struct Case {
        int fr;
        std::optional<int> sideA, sideB;
    };
    const Case cases[] = {
        {0, 2, 0}, {1, 0, 0}, {2, std::nullopt, std::nullopt}, {3, std::nullopt, std::nullopt},
        {4, 0, 2}, {5, 0, 0},
    };
    for (const Case& c : cases) {
        CapState s;
        s.fr = c.fr;
        EXPECT_EQ(KeyCapImage(0x85A0, 0, s), c.sideA) << c.fr;
        EXPECT_EQ(KeyCapImage(0x85BE, 0, s), c.sideB) << c.fr;
    }
}

TEST(KeyCaps, EmptyHandlersDrawNothing) {
    for (uint32_t message : {0x857Au, 0x85CAu, 0x85D5u, 0x8592u}) {
        EXPECT_TRUE(IsKeyCapMessage(message)) << std::hex << message;
        EXPECT_EQ(KeyCapImage(message, 1, CapState{}), std::nullopt) << std::hex << message;
    }
    EXPECT_FALSE(IsKeyCapMessage(0x85C8));  // the main dial's angle is no key cap
}

}  // namespace
}  // namespace kestrel
