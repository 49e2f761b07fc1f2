// The engine interface against the simulated transceiver in virtual time: the absolute setters'
// commands on the line, the raw-command path, and notification listeners beside the main window.
#include "engine_api/radio_engine.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/runtime.h"
#include "protocol/message_ring.h"
#include "protocol/notifications.h"
#include "protocol/radio_state.h"
#include "station_fixture.h"

namespace kestrel {
namespace {

using TextList = std::vector<std::string>;

struct SetterCase {
    const char* name;
    std::function<bool()> call;
    TextList line;  // empty: the call is refused and nothing goes out
};

// The messages the engine posted to the main window, in the order the window took them.
std::vector<uint32_t> EnginePosts(const std::vector<WindowEvent>& events) {
    std::vector<uint32_t> ids;
    for (const WindowEvent& event : events) {
        const uint32_t id = event.message.id;
        if ((id >= 0x8302 && id <= 0x8355) || id == kMsgStartupFailure) {
            ids.push_back(id);
        }
    }
    return ids;
}

TEST_F(Station, AbsoluteSettersPutExactlyTheirCommandsOnTheLine) {
    using E = RadioEngine;
    // clang-format off
    const std::vector<SetterCase> cases = {
        {"FA 14 074 000 Hz",   [] { return E::SetFrequency(Vfo::A, 14074000); }, {"FA14074000;"}},
        {"FB lowest",          [] { return E::SetFrequency(Vfo::B, 30000); },    {"FB00030000;"}},
        {"FA highest",         [] { return E::SetFrequency(Vfo::A, 60000000); }, {"FA60000000;"}},
        {"FA below the range", [] { return E::SetFrequency(Vfo::A, 29999); },    {}},
        {"FB above the range", [] { return E::SetFrequency(Vfo::B, 60000001); }, {}},
        {"FA far above",       [] { return E::SetFrequency(Vfo::A, 1ULL << 40); }, {}},
        {"mode 1 on A",        [] { return E::SetMode(1); },                     {"MD01;"}},
        {"mode 12 on B",       [] { return E::SetMode(12, Vfo::B); },            {"MD1C;"}},
        {"mode 0",             [] { return E::SetMode(0); },                     {}},
        {"mode 13",            [] { return E::SetMode(13); },                    {}},
        {"transmit on",        [] { return E::SetTransmit(true); },              {"TX1;"}},
        {"transmit off",       [] { return E::SetTransmit(false); },             {"TX0;"}},
        {"split on",           [] { return E::SetSplit(true); },                 {"FT1;"}},
        {"split off",          [] { return E::SetSplit(false); },                {"FT0;"}},
        {"VFO B in use",       [] { return E::SetActiveVfo(Vfo::B); },           {"VS1;"}},
        {"VFO A in use",       [] { return E::SetActiveVfo(Vfo::A); },           {"VS0;"}},
        {"menu 5 whole",       [] { return E::SetMenuValue(5, 12); },            {"EX00512;"}},
        {"menu 5 above max",   [] { return E::SetMenuValue(5, 16); },            {}},
        {"menu 4 last choice", [] { return E::SetMenuValue(4, 4); },             {"EX0044;"}},
        {"menu 92 signed",     [] { return E::SetMenuValue(92, -5); },           {"EX092-05;"}},
        {"menu 12 magnitude",  [] { return E::SetMenuValue(12, 30); },           {"EX01230;"}},
        {"menu 12 negative",   [] { return E::SetMenuValue(12, -2); },           {}},
        {"menu 36 first",      [] { return E::SetMenuValue(36, 1000); },         {"EX0361000;"}},
        {"menu 36 not 999",    [] { return E::SetMenuValue(36, 999); },          {}},
        {"menu 16 past 255",   [] { return E::SetMenuValue(16, 256); },          {}},
        {"menu 90 bits",       [] { return E::SetMenuValue(90, 8190); },         {"EX0901111111111110;"}},
        {"menu 90 bit 0x1",    [] { return E::SetMenuValue(90, 8191); },         {"EX0901111111111111;"}},
        {"menu 119",           [] { return E::SetMenuValue(119, 0); },           {}},
    };
    // clang-format on
    for (const SetterCase& c : cases) {
        const size_t before = commands.Size();
        EXPECT_EQ(c.call(), !c.line.empty()) << c.name;
        rt.RunFor(200);
        EXPECT_EQ(TextsOf(commands.From(before)), c.line) << c.name;
    }
}

// Request 1 toggles; Connect and Disconnect only ever move the link the way they say, however
// often they are repeated before the radio's answer.
TEST_F(Station, ConnectAndDisconnectNeverToggleTheOtherWay) {
    ASSERT_TRUE(RadioEngine::Connect());
    ASSERT_TRUE(RadioEngine::Connect());
    ASSERT_TRUE(RunUntilOnLine(0));
    EXPECT_TRUE(RadioEngine::IsConnected());
    size_t before = commands.Size();
    ASSERT_TRUE(RadioEngine::Connect());
    rt.RunFor(100);
    EXPECT_EQ(std::ranges::count(TextsOf(commands.From(before)), "AI0;"), 0);
    EXPECT_TRUE(RadioEngine::IsConnected());

    before = commands.Size();
    ASSERT_TRUE(RadioEngine::Disconnect());
    ASSERT_TRUE(RadioEngine::Disconnect());
    rt.RunFor(500);
    ASSERT_TRUE(RadioEngine::Disconnect());
    rt.RunFor(500);
    const TextList sent = TextsOf(commands.From(before));
    EXPECT_GE(std::count(sent.begin(), sent.end(), "AI0;"), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "AI1;"), 0);
    EXPECT_FALSE(RadioEngine::IsConnected());
}

TEST_F(Station, RawTextsGoOutAsGivenAndAFullRingRefusesThem) {
    size_t before = commands.Size();
    EXPECT_EQ(RadioEngine::QueueRaw("FA;"), RawResult::Queued);
    EXPECT_EQ(RadioEngine::QueueRaw(""), RawResult::Empty);
    EXPECT_EQ(RadioEngine::QueueRaw(std::string(MessageRing::kSlotSize, 'A')), RawResult::TooLong);
    rt.RunFor(100);
    EXPECT_EQ(TextsOf(commands.From(before)), TextList{"FA;"});

    // Entries pushed without a wake-up stay in the ring and fill it.
    while (CommandRing.Push("ID;")) {
    }
    before = commands.Size();
    EXPECT_EQ(RadioEngine::QueueRaw("TX1;"), RawResult::RingFull);
    rt.RunFor(100);
    EXPECT_EQ(commands.Size(), before) << "a refused text wakes nobody";
}

// Two listeners hear every notification in the window's order; a slow one loses notifications but
// never holds up the engine, and once removed is never called again.
TEST_F(Station, ListenersHearTheWindowsNotificationsAndASlowOneNeverHoldsUpTheEngine) {
    std::vector<uint32_t> first;
    std::vector<uint32_t> second;
    std::vector<uint32_t> slow;
    std::atomic<bool> inSlowCall{false};
    // The virtual runtime runs one thread at a time and hands over through its lock, so the test
    // may read the lists between runs.
    const auto a = RadioEngine::AddListener([&](const Notification& n) { first.push_back(n.id); });
    const auto b = RadioEngine::AddListener([&](const Notification& n) { second.push_back(n.id); });
    const auto s = RadioEngine::AddListener(
        [&](const Notification& n) {
            inSlowCall = true;
            slow.push_back(n.id);
            Rt().SleepMs(1000);
            inSlowCall = false;
        },
        4);
    ASSERT_TRUE(ConnectAndReadAll());
    rt.RunFor(100);
    const std::vector<uint32_t> posted = EnginePosts(WindowSince(0));
    ASSERT_GT(posted.size(), 100u);
    EXPECT_EQ(first, posted);
    EXPECT_EQ(second, posted);
    // The read ran at its own pace, while the slow listener took one notification a second.
    EXPECT_LE(slow.size(), static_cast<size_t>(Now() / 1000 + 1));
    EXPECT_GT(RadioEngine::DroppedNotifications(s), posted.size() / 2);
    ASSERT_TRUE(inSlowCall) << "the removal below must meet a call in progress";

    RadioEngine::RemoveListener(s);
    EXPECT_FALSE(inSlowCall);
    const size_t heard = slow.size();
    ASSERT_TRUE(RadioEngine::SetFrequency(Vfo::A, 14074000));
    ASSERT_TRUE(rt.RunUntil([] { return RadioEngine::Read(Field::FA) == 14074000; }, 1000));
    rt.RunFor(5000);
    EXPECT_EQ(slow.size(), heard) << "no call after the removal returned";
    RadioEngine::RemoveListener(a);
    RadioEngine::RemoveListener(b);
    EXPECT_NE(std::find(second.begin(), second.end(), kNotifyFA), second.end());
    EXPECT_EQ(first, EnginePosts(WindowSince(0)));
    EXPECT_EQ(RadioEngine::DroppedNotifications(a), 0u) << "unknown once removed";
}

TEST(RadioEngineStopped, RefusesEverythingAndQueuesNothing) {
    EXPECT_EQ(RadioEngine::QueueRaw("FA;"), RawResult::NotRunning);
    EXPECT_FALSE(RadioEngine::SetTransmit(true) || RadioEngine::SetFrequency(Vfo::A, 14074000) ||
                 RadioEngine::Connect());
    EXPECT_EQ(CommandRing.Count(), 0);
    EXPECT_EQ(RadioEngine::AddListener({}), 0u);
}

}  // namespace
}  // namespace kestrel
