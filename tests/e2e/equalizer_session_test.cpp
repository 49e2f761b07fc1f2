// The equalizer window's behaviour against the simulated transceiver in virtual time: both
// command families on the line, the read-back, APPLI, CANCEL, files, hold repeat, and the link
// and answer faults.
#include "equalizer/equalizer_session.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine_api/radio_engine.h"
#include "protocol/radio_state.h"
#include "station_fixture.h"

namespace kestrel {
namespace {

// The window around the session: commands go to the command ring, timers (numbered clear of the
// engine's) and notifications arrive on the main window's loop.
template <class Base>
class EqualizerTest : public Base, public EqualizerHost {
  protected:
    static constexpr int kFirstTimer = 40;

    bool Send(std::string_view text) override {
        return RadioEngine::QueueRaw(text) == RawResult::Queued;
    }
    void StartTimer(EqualizerTimer timer, int ms) override {
        this->window->SetTimer(kFirstTimer + static_cast<int>(timer), ms);
    }
    void StopTimer(EqualizerTimer timer) override {
        this->window->KillTimer(kFirstTimer + static_cast<int>(timer));
    }
    void Redraw() override { ++redraws; }

    void SetUp() override {
        Base::SetUp();
        session = std::make_unique<EqualizerSession>(*this);
        this->windowHook = [this](const Message& m) {
            if (m.id == kMsgTimer) {
                session->OnTimer(static_cast<EqualizerTimer>(m.wParam - kFirstTimer));
            } else {
                session->OnNotification(m.id);
            }
        };
    }
    void TearDown() override {
        session->Close();
        this->windowHook = nullptr;
        Base::TearDown();
    }

    // Opens the set on line and waits for its values to arrive.
    void OpenOnLine(int mode) {
        ASSERT_TRUE(this->ConnectAndReadAll());
        session->Open(mode);
        ASSERT_TRUE(this->rt.RunUntil([&] { return session->PendingAnswers() == 0; }, 1000));
        this->rt.RunFor(100);
    }
    // Clicks a button: down, held for ms, up; returns what the window must do.
    EqualizerAction Click(int code, int64_t holdMs = 60) {
        session->Press(code);
        this->rt.RunFor(holdMs);
        const EqualizerAction action = session->Release(code);
        this->rt.RunFor(300);
        return action;
    }
    // Returns the radio's nine values of a set.
    EqualizerValues Radio(int mode) const {
        const SimState state = this->radio->State();
        EqualizerValues values{};
        for (int i = 0; i < kEqualizerValueCount; ++i) {
            values[i] = state.menu[static_cast<size_t>(90 + 9 * mode + i)];
        }
        return values;
    }
    // Runs for a time and returns the commands written meanwhile that start with a prefix.
    std::vector<std::string> SentDuring(int64_t ms, std::string_view prefix) {
        const int64_t sinceMs = this->Now();
        this->rt.RunFor(ms);
        return Sent(sinceMs, prefix);
    }
    // Returns the commands written since a time that start with a prefix.
    std::vector<std::string> Sent(int64_t sinceMs, std::string_view prefix) const {
        std::vector<std::string> found = TextsOf(this->commands.Since(sinceMs));
        std::erase_if(found, [&](const std::string& text) { return !text.starts_with(prefix); });
        return found;
    }

    int redraws = 0;
    std::unique_ptr<EqualizerSession> session;
};

using ExEqualizer = EqualizerTest<OldFirmwareStation>;
using PeEqualizer = EqualizerTest<Station>;

TEST_F(ExEqualizer, StepSendsSetThenReadTheDisplayFollowsAndAHeldButtonRepeats) {
    OpenOnLine(0);
    const EqualizerValues before = Radio(0);
    EXPECT_EQ(std::pair(session->Values(), session->RestorePoint()), std::pair(before, before));

    const int64_t t0 = this->Now();
    EXPECT_EQ(Click(14), EqualizerAction::None);  // band 3 level up
    // The set's text is the command builder's; the radio taking it shows it was right.
    const std::vector<std::string> item98 = Sent(t0, "EX098");
    ASSERT_GE(item98.size(), 2u);
    EXPECT_EQ(item98[1], "EX098;");
    EXPECT_EQ(Radio(0)[7], before[7] + 1);
    EXPECT_EQ(session->Values()[7], before[7] + 1);
    EXPECT_EQ(session->ActiveBand(), 3);

    // Polling resumes after the release and walks the nine items.
    const std::vector<std::string> reads = SentDuring(500, "EX");
    for (int item = 91; item <= 99; ++item) {
        EXPECT_NE(std::find(reads.begin(), reads.end(), "EX0" + std::to_string(item) + ";"),
                  reads.end())
            << item;
    }

    // Held for 900 ms, band 3's bandwidth steps down once and then every 200 ms: five sets.
    const int32_t bandwidth = Radio(0)[8];
    ASSERT_GE(bandwidth, 6);
    const int64_t t2 = this->Now();
    Click(21, 900);
    this->rt.RunFor(300);
    const std::vector<std::string> item99 = Sent(t2, "EX099");
    EXPECT_EQ(
        std::count_if(item99.begin(), item99.end(), [](auto& text) { return text.size() > 6; }), 5);
    EXPECT_EQ(Radio(0)[8], bandwidth - 5);
}

TEST_F(PeEqualizer, OpensByReadingTheNineValuesPacedAndTakesThemAsRestorePoint) {
    ASSERT_TRUE(ConnectAndReadAll());
    const int64_t t0 = Now();
    session->Open(1);
    ASSERT_TRUE(rt.RunUntil([&] { return session->PendingAnswers() == 0; }, 1000));
    std::vector<LineText> sent = commands.Since(t0);
    std::erase_if(sent, [](const LineText& entry) { return !entry.text.starts_with("PE2"); });
    ASSERT_GE(sent.size(), 9u);
    sent.resize(9);
    EXPECT_EQ(TextsOf(sent),
              (std::vector<std::string>{"PE200;", "PE201;", "PE202;", "PE210;", "PE211;", "PE212;",
                                        "PE220;", "PE221;", "PE222;"}));
    for (size_t i = 1; i < 9; ++i) {
        EXPECT_GE(sent[i].atMs - sent[i - 1].atMs, kEqualizerPaceMs - 5) << i;
    }
    EXPECT_EQ(std::pair(session->Values(), session->RestorePoint()), std::pair(Radio(1), Radio(1)));
    EXPECT_TRUE(session->Online());
    EXPECT_GT(redraws, 0);
    EXPECT_FALSE(SentDuring(4 * kEqualizerPollMs, "PE2").empty()) << "polling runs once open";
}

TEST_F(PeEqualizer, CancelReturnsToTheLastAppliedValues) {
    OpenOnLine(0);
    Click(4);  // band 1 frequency up
    Click(kEqualizerApply);
    const EqualizerValues applied = Radio(0);
    EXPECT_EQ(session->RestorePoint(), applied);
    Click(12);  // band 2 level up
    Click(13);  // ... and down
    Click(13);
    Click(21);  // band 3 bandwidth down
    EXPECT_NE(Radio(0), applied);

    const int64_t t0 = Now();
    Click(kEqualizerCancel);
    rt.RunFor(600);
    EXPECT_EQ(Radio(0), applied);
    EXPECT_EQ(std::pair(session->Values(), session->RestorePoint()), std::pair(applied, applied));
    // Each changed value is set and read back at once, then the menu records are read as well.
    const std::vector<std::string> sent = Sent(t0, "PE0");
    int sets = 0;
    for (size_t i = 0; i + 1 < sent.size(); ++i) {
        if (sent[i].size() == 9) {
            ++sets;
            EXPECT_EQ(sent[i + 1], sent[i].substr(0, 5) + ";");
        }
    }
    EXPECT_EQ(sets, 2);
    EXPECT_EQ(Sent(t0, "EX09").size(), 9u);

    // A CANCEL while the last one is still busy is skipped, and polling resumes at once, not
    // only when the busy one's follow-up runs 500 ms after it.
    Click(8);
    session->Press(kEqualizerCancel);
    session->Release(kEqualizerCancel);
    rt.RunFor(50);
    session->Press(kEqualizerCancel);
    session->Release(kEqualizerCancel);
    rt.RunFor(250);
    EXPECT_GE(SentDuring(150, "PE0").size(), 2u);
}

TEST_F(PeEqualizer, FileSaveAndLoadSetTheValuesAndPollingResumesAfterEach) {
    OpenOnLine(0);
    Click(6);   // band 2 frequency up
    Click(11);  // band 1 level down
    const EqualizerValues saved = session->Values();
    ASSERT_EQ(Click(kEqualizerFileSave), EqualizerAction::SaveFile);
    EXPECT_FALSE(SentDuring(200, "PE0").empty()) << "polling runs after FILE SAVE";

    Click(7);  // band 2 frequency down
    Click(16);
    ASSERT_NE(Radio(0), saved);
    ASSERT_EQ(Click(kEqualizerFileLoad), EqualizerAction::LoadFile);
    session->LoadValues(saved);
    rt.RunFor(600);
    EXPECT_EQ(Radio(0), saved);
    EXPECT_EQ(session->RestorePoint(), saved);
    EXPECT_FALSE(SentDuring(200, "PE0").empty()) << "polling runs after FILE LOAD";
}

TEST_F(PeEqualizer, UnansweredCommandsGiveUpAfterATimeOutAndReadAgain) {
    OpenOnLine(0);
    EqualizerValues target = session->Values();
    target[2] = target[2] == 10 ? 9 : 10;
    target[5] = target[5] == 1 ? 2 : 1;
    radio->StartFault(SimFault::Silence);
    rt.RunFor(100);  // answers already on their way still arrive
    session->LoadValues(target);
    EXPECT_EQ(session->PendingAnswers(), 2);
    rt.RunFor(kEqualizerPendingTimeoutMs - 100);
    EXPECT_EQ(session->PendingAnswers(), 2) << "still waiting";
    EXPECT_GE(SentDuring(400, "PE0").size(), 9u) << "gave up and asked for every value again";
    EXPECT_EQ(session->PendingAnswers(), 0);
    radio->StopFault(SimFault::Silence);
    rt.RunFor(800);
    EXPECT_EQ(session->Values(), Radio(0));
}

TEST_F(PeEqualizer, EachAnswerGivesTheOthersTheWholeTimeOutAgain) {
    OpenOnLine(0);
    EqualizerValues target = session->Values();
    target[2] = target[2] == 10 ? 9 : 10;
    target[5] = target[5] == 1 ? 2 : 1;
    const int64_t sentAt = Now();
    session->LoadValues(target);
    ASSERT_TRUE(rt.RunUntil([&] { return session->PendingAnswers() == 1; }, 1000));
    radio->StartFault(SimFault::Silence);
    ASSERT_GT(Now(), sentAt);
    rt.RunFor(kEqualizerPendingTimeoutMs - 1);
    EXPECT_EQ(session->PendingAnswers(), 1) << "still waiting, a time-out after the commands";
    rt.RunFor(1);
    EXPECT_EQ(session->PendingAnswers(), 0) << "gave up a time-out after the last answer";
    radio->StopFault(SimFault::Silence);
}

TEST_F(PeEqualizer, LinkLossGoesOfflineAndReturnPostsNothing) {
    OpenOnLine(0);
    ASSERT_TRUE(RadioEngine::Disconnect());  // the operator disconnects
    ASSERT_TRUE(rt.RunUntil([&] { return !session->Online(); }, 1000));
    rt.RunFor(100);  // a read queued before is still written
    EXPECT_TRUE(SentDuring(500, "PE").empty()) << "no polling off line";

    // Coming back on line leaves the window off line and the connection alone.
    const int64_t t0 = Now();
    ASSERT_TRUE(ConnectAndReadAll());
    rt.RunFor(500);
    EXPECT_FALSE(session->Online());
    EXPECT_EQ(GetField(Field::AI), 1);
    EXPECT_TRUE(Sent(t0, "AI0").empty());
}

}  // namespace
}  // namespace kestrel
