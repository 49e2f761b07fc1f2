#include <algorithm>

#include "engine/request_table.h"
#include "engine_fixtures.h"

namespace kestrel {
namespace {

using RequestSequences = RequestThreadTest;

// Asked again mid-cycle, the read starts over from memory one; six ticks after that it stops.
TEST_F(RequestSequences, KeyerMemoryReadCycleReadsFiveChannelsThenStops) {
    PostRequest(146, 0, 0);
    runtime.RunFor(70);
    PostRequest(146, 0, 0);
    runtime.RunFor(1);
    const int64_t start = runtime.NowMs();
    runtime.RunFor(400);
    ASSERT_EQ(Texts(), (TextList{"KM1;", "KM2;", "KM1;", "KM2;", "KM3;", "KM4;", "KM5;"}));
    for (size_t i = 2; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].atMs, start - 1 + 30 * static_cast<int64_t>(i - 1)) << i;
    }
    EXPECT_FALSE(window->HasTimer(kTimerKeyerRead));
    EXPECT_EQ(keyerReadSlot.load(), 1);
}

TEST_F(RequestSequences, MenuWriteSendsEditedItemsInOrderAndClearsTheirFlags) {
    // Item number, width, kind, the operator's value, and the command.
    const struct {
        MenuItem item;
        std::string expected;
    } cases[] = {
        {{.number = 5, .width = 2, .kind = 0, .edited = 1, .editedValue = 7.9}, "EX00507;"},
        {{.number = 8, .width = 2, .kind = 4, .edited = 1, .editedValue = -12}, "EX00812;"},
        {{.number = 9, .width = 13, .kind = 14, .edited = 1, .editedValue = 4097},
         "EX0091000000000001;"},
        {{.number = 10, .width = 4, .kind = 14, .edited = 1, .editedValue = 0x1800}, "EX0101100;"},
        {{.number = 11, .width = 2, .kind = 2, .edited = 1, .editedValue = 55}, "EX01100;"},
        {{.number = 12, .width = 2, .kind = 1, .edited = 1, .editedValue = -3}, "EX01200;"},
        {{.number = 13, .width = 2, .kind = 41, .edited = 1, .editedValue = 123}, "EX01300;"},
    };
    const MenuItem untouched{.number = 14, .width = 2, .editedValue = 3};
    PutMenuItem(14, &untouched);
    PostRequest(41, 0, 0);
    runtime.RunFor(500);
    ASSERT_EQ(Texts(), TextList{}) << "nothing is written before the items are edited";
    for (const auto& c : cases) {
        ASSERT_TRUE(PutMenuItem(c.item.number, &c.item));
    }
    PostRequest(41, 0, 0);
    runtime.RunFor(500);
    ASSERT_EQ(sent.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(sent[i].text, cases[i].expected);
        if (i > 0) {
            EXPECT_EQ(sent[i].atMs - sent[i - 1].atMs, 10) << "items are written 10 ms apart";
        }
        MenuItem after;
        ASSERT_TRUE(GetMenuItem(cases[i].item.number, &after));
        EXPECT_EQ(after.edited, 0) << cases[i].expected;
    }
}

TEST_F(RequestSequences, MenuWriteEncodesOneCatalogueItemOfEveryKind) {
    struct KindCase {
        int item;
        double value;
        std::string full;
        std::string narrowed;  // while the width correction applies; empty: as full
    };
    // One item of each kind, in the order of the kinds 0, 1, 4, 8, 9, 10, 11, 13 to 16, 19 to 41.
    const std::vector<KindCase> cases = {
        {1, 320, "EX0010320;", ""},
        {4, 3, "EX0043;", ""},
        {30, -7, "EX030-07;", ""},
        {12, 30, "EX01230;", ""},
        {46, 45, "EX04645;", ""},
        {73, 1850, "EX07301850;", ""},
        {69, -15, "EX069-15;", ""},
        {36, 50, "EX0360050;", ""},
        {90, 8190, "EX0901111111111110;", ""},
        {7, 2, "EX0072;", ""},
        {31, 30, "EX03130;", ""},
        {93, 7, "EX09307;", ""},
        {96, 10, "EX09610;", ""},
        {99, 1, "EX09901;", ""},
        {102, 2, "EX10202;", ""},
        {105, 3, "EX10503;", ""},
        {108, 4, "EX10804;", ""},
        {92, -5, "EX092-05;", ""},
        {95, 5, "EX095+05;", ""},
        {98, -20, "EX098-20;", ""},
        {101, 10, "EX101+10;", ""},
        {104, 0, "EX104+00;", ""},
        {107, -1, "EX107-01;", ""},
        {91, 3, "EX09103;", "EX0913;"},
        {94, 5, "EX09405;", "EX0945;"},
        {97, 18, "EX09718;", ""},
        {100, 2, "EX10002;", "EX1002;"},
        {103, 9, "EX10309;", "EX1039;"},
        {106, 7, "EX10607;", ""},
        {8, 1, "EX0081;", ""},
        {9, 2, "EX0092;", ""},
        {10, 3, "EX0103;", ""},
        {6, 2, "EX0062;", ""},
        {16, 241, "EX016241;", ""},
    };
    LoadMenuCatalogue();
    for (const bool narrowed : {false, true}) {
        SetField(Field::AI, narrowed ? 1 : 0);
        for (const KindCase& c : cases) {
            MenuItem item;
            ASSERT_TRUE(GetMenuItem(c.item, &item));
            item.edited = 1;
            item.editedValue = c.value;
            PutMenuItem(c.item, &item);
            sent.clear();
            PostRequest(kReqMenuWrite, 0, 0);
            runtime.RunFor(20);
            const std::string& expected = narrowed && !c.narrowed.empty() ? c.narrowed : c.full;
            EXPECT_EQ(Texts(), TextList{expected}) << "kind " << item.kind;
        }
    }
}

TEST_F(RequestSequences, RefusedPushPostsNoSendStep) {
    StopWorkerInSlot(Worker::SioSend);
    int steps = 0;
    StandIn(Worker::SioSend, [&](const Message& m) { steps += m.id == kMsgSendStep ? 1 : 0; });
    for (int i = 0; i < MessageRing::kSlots; ++i) {
        ASSERT_TRUE(CommandRing.Push("FA;"));
    }
    EXPECT_FALSE(HandOffCommand(BuildFixedCommand("LK1;")));
    EXPECT_FALSE(HandOffCommand(CatCommand{}));
    runtime.RunFor(5);
    EXPECT_EQ(steps, 0);
    CommandRing.Empty();
    EXPECT_TRUE(HandOffCommand(BuildFixedCommand("LK1;")));
    runtime.RunFor(5);
    EXPECT_EQ(steps, 1);
}

TEST_F(RequestSequences, DisconnectEndsTheConnectionWithoutWaitingForTheTransceiver) {
    SetMirror(Mirror::AI, 1);
    SetMirror(Mirror::PS, 0);
    AutoInfoSent.store(1);
    SavedAutoInfo.store(1);
    PostRequest(146, 0, 0);
    PostRequest(1, 0, 0);
    runtime.RunFor(40);
    ASSERT_EQ(Texts(), (TextList{"AI0;", "AI;"})) << "the keyer step waits behind the request";
    EXPECT_EQ(sent[1].atMs - sent[0].atMs, 20);
    EXPECT_TRUE(analysed.empty()) << "the synthetic answer waits 25 ms after the read";
    runtime.RunFor(200);
    EXPECT_EQ(analysed, (std::vector<std::string>{"AI0"}));
    EXPECT_EQ(AutoInfoSent.load(), 0);
    EXPECT_EQ(SavedAutoInfo.load(), 0) << "switched off: the saved state is forgotten";
    EXPECT_EQ(Texts(), (TextList{"AI0;", "AI;", "KM1;"})) << "the stop ended the keyer reads";

    // While the radio is switched on the saved state is kept.
    SavedAutoInfo.store(1);
    SetMirror(Mirror::AI, 1);
    SetMirror(Mirror::PS, 1);
    analysed.clear();
    PostRequest(1, 0, 0);
    runtime.RunFor(100);
    EXPECT_EQ(SavedAutoInfo.load(), 1);
    EXPECT_EQ(analysed, (std::vector<std::string>{"AI0"}));
}

// Requests and steps posted together: the commands they put on the line and when, after the
// first (empty: not checked). The last leaves the port open.
TEST_F(RequestSequences, PostedTogetherTheyPutTheirCommandsOnTheLineAtTheirTimes) {
    const struct {
        const char* name;
        std::function<void()> post;
        TextList texts;
        std::vector<int64_t> atMs;
    } cases[] = {
        // clang-format off
        {"the VOX delay's wait holds up the next", [] { PostRequest(94, 0, 40); PostRequest(35, 0, 0); }, {"VD0040;", "SD0040;", "LK1;"}, {0, 20, 20}},
        {"a wake-up sends what the ring holds", [] { CommandRing.Push("FA;MD0;"); PostRequest(106, 0, 0); }, {"FA;MD0;"}, {0}},
        {"the probe waits after each command", [] { PostIdentProbe(); PostRequest(35, 0, 0); }, {"ID;", "ID0747;", "LK1;"}, {0, 25, 50}},
        {"menu steps queued behind a long request do not read again", [this] { SetMenuItemCount(3); SetMirror(Mirror::PS, 0); PostStartMenuRead(); runtime.RunFor(10); PostRequest(2, 0, 0); }, {"PS1;", "PS1;", "EX001;", "EX002;", "EX003;", "PS;"}, {}},
        {"a connect with an unknown state only opens the port", [] { SetMirror(Mirror::AI, 2); PostRequest(1, 0, 0); }, {}, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sent.clear();
        c.post();
        runtime.RunFor(4000);
        EXPECT_EQ(Texts(), c.texts);
        for (size_t i = 0; i < std::min(c.atMs.size(), sent.size()); ++i) {
            EXPECT_EQ(sent[i].atMs - sent[0].atMs, c.atMs[i]) << i;
        }
    }
    EXPECT_TRUE(TheSerialPort().IsOpen());
    EXPECT_TRUE(analysed.empty());
}

}  // namespace
}  // namespace kestrel
