#include <QAction>
#include <QMessageBox>
#include <algorithm>

#include "options/vfo_set_dlg.h"
#include "panel_test_fixture.h"

namespace kestrel::testing {
namespace {

// Client points of the controls the tests press, taken from the panel's layout.
constexpr QPoint kProc{85, 153};        // key 10, choice menu
constexpr QPoint kBand18{785, 33};      // key 53: band 1.8, digit 1 in the entry window
constexpr QPoint kEnt{889, 102};        // key 63
constexpr QPoint kLock{700, 160};       // key 45
constexpr QPoint kTxWatch{455, 240};    // key 39
constexpr QPoint kCom{40, 208};         // key 1
constexpr QPoint kMicKnob{182, 212};    // knob 99 (MG), drawn as MIC GAIN
constexpr QPoint kSpeedKnob{256, 212};  // knob 95 (KS), drawn as SPEED
constexpr QPoint kMainDial{575, 219};   // key 89
constexpr QPoint kDigit7{600, 60};      // key 206

// The band keys of the panel's keypad by the digit they type in the entry window.
constexpr QPoint kDigitKeys[10] = {{837, 102}, {785, 33}, {837, 33}, {889, 33}, {785, 56},
                                   {837, 56},  {889, 56}, {785, 79}, {837, 79}, {889, 79}};

using PanelControllerTest = PanelFixture;

TEST_F(PanelControllerTest, BandKeyPostsItsRequestWithTheVfoBitAndShowsTheCap) {
    SetField(Field::VS, 1);
    Click(kBand18.x(), kBand18.y());
    EXPECT_EQ(posted, (std::vector<Posted>{{Req(0x852B), 1, 0}}));
    EXPECT_EQ(window.SentOf(0x85AB), (std::vector<uint64_t>{1, 0}));
    EXPECT_EQ(controller().CurrentKey(), 0);
    EXPECT_FALSE(window.Timer(kTimerKeyHold));
}

// The menu opens at its offset from the panel; Escape posts nothing (the key's press still
// deselects the knob) and MIC-EQ, the third entry, posts 2.
TEST_F(PanelControllerTest, ChoiceMenuPostsTheChosenEntryLessOneAndNothingWhenDismissed) {
    SetField(Field::MG, 100);
    Click(kMicKnob.x(), kMicKnob.y());  // select knob 99 (and step it once)
    posted.clear();
    QPoint menuAt;
    WhenPopup([&](QMenu* menu) {
        menuAt = menu->pos();
        KeyTo(menu, true, Qt::Key_Escape);
    });
    Click(kProc.x(), kProc.y());
    EXPECT_EQ(menuAt, surface->frameGeometry().topLeft() + QPoint(45, 210));
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(controller().CurrentKey(), 0);
    EXPECT_EQ(window.SentOf(0x8581), (std::vector<uint64_t>{1, 0}));
    WhenPopup([](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->text() == "MIC-EQ") {
                menu->setActiveAction(action);
            }
        }
        KeyTo(menu, true, Qt::Key_Return);
    });
    Click(kProc.x(), kProc.y());
    EXPECT_EQ(posted, (std::vector<Posted>{{10, 0, 2}}));
}

TEST_F(PanelControllerTest, FirstClickOnAKnobSelectsItAndStepsItOnce) {
    SetField(Field::MG, 100);
    Click(kMicKnob.x(), kMicKnob.y());
    EXPECT_EQ(window.SentOf(kMsgDrawKeyLamp), (std::vector<uint64_t>{1}));
    EXPECT_EQ(std::ranges::find(window.sent, kMsgDrawKeyLamp, &RecordingWindow::Sent::id)->lParam,
              0);  // the MIC GAIN lamp
    EXPECT_EQ(posted, (std::vector<Posted>{{Req(0x855C), 0, 99}}));
    EXPECT_EQ(controller().CurrentKey(), 99);
    EXPECT_FALSE(window.Timer(kTimerKnobRepeat));
}

TEST_F(PanelControllerTest, HoldingASelectedKnobRepeatsEvery200MsAfterOneSecond) {
    SetField(Field::MG, 100);
    Click(kMicKnob.x(), kMicKnob.y());
    SetField(Field::MG, 99);
    posted.clear();
    Press(kMicKnob.x(), kMicKnob.y());
    EXPECT_EQ(window.Timer(kTimerKnobRepeat), 1000);
    Tick(kTimerKnobRepeat);
    EXPECT_EQ(window.Timer(kTimerKnobRepeat), 200);
    SetField(Field::MG, 89);  // the radio's answer
    Tick(kTimerKnobRepeat);
    EXPECT_EQ(window.Timer(kTimerKnobRepeat), 200);
    Release(kMicKnob.x(), kMicKnob.y());
    EXPECT_FALSE(window.Timer(kTimerKnobRepeat));
    Tick(kTimerKnobRepeat);  // a late tick steps nothing
    // Held steps of 10 only: the release after the fast repeat adds no click step.
    EXPECT_EQ(posted, (std::vector<Posted>{{92, 0, 89}, {92, 0, 79}}));
    posted.clear();
    Press(kMicKnob.x(), kMicKnob.y());
    Release(kMicKnob.x(), kMicKnob.y());  // before the first tick: one click step
    Tick(kTimerKnobRepeat);
    EXPECT_EQ(posted, (std::vector<Posted>{{92, 0, 88}}));  // from the stored 89
}

TEST_F(PanelControllerTest, WheelAndRightClickStepTheSelectedKnob) {
    SetField(Field::KS, 20);
    Click(kSpeedKnob.x(), kSpeedKnob.y());
    posted.clear();
    Wheel(600, 250, 120);
    Wheel(600, 250, -120);
    Click(10, 150, Qt::RightButton);
    EXPECT_EQ(posted, (std::vector<Posted>{{88, 0, 25}, {88, 0, 15}, {88, 0, 21}}));
}

// The number goes to the VFO that was selected when the window opened.
TEST_F(PanelControllerTest, PanelDigitKeysTypeIntoTheEntryWindowWithoutBandRequests) {
    for (const auto& [vs, message] : {std::pair{0, 0x8551u}, std::pair{1, 0x8552u}}) {
        posted.clear();
        SetField(Field::VS, vs);
        Click(kEnt.x(), kEnt.y());
        ASSERT_TRUE(controller().WindowOpen(kMsgEntryClosed));
        SetField(Field::VS, 1 - vs);
        for (int digit : {1, 4, 2, 5, 0, 0, 0, 0, 9}) {  // a ninth digit is not taken
            Click(kDigitKeys[digit].x(), kDigitKeys[digit].y());
        }
        EXPECT_EQ(controller().EntryWindow().Text(), "14250000");
        EXPECT_TRUE(posted.empty());
        Click(kEnt.x(), kEnt.y());
        EXPECT_FALSE(controller().WindowOpen(kMsgEntryClosed));
        EXPECT_EQ(posted, (std::vector<Posted>{{Req(message), 0, 14250000}}));
    }
}

TEST_F(PanelControllerTest, KeysAndDiscsAreIgnoredWhileTheEntryWindowIsOpen) {
    Click(kEnt.x(), kEnt.y());
    window.sent.clear();
    SetField(Field::MG, 100);
    Click(kLock.x(), kLock.y());
    Click(kMicKnob.x(), kMicKnob.y());
    Wheel(kMainDial.x(), kMainDial.y(), 120);
    EXPECT_TRUE(posted.empty());
    EXPECT_TRUE(window.SentOf(0x85A3).empty());
    EXPECT_TRUE(window.SentOf(kMsgDrawKeyLamp).empty());
    // Cancelling posts nothing either.
    controller().EntryWindow().reject();
    EXPECT_FALSE(controller().WindowOpen(kMsgEntryClosed));
    EXPECT_TRUE(posted.empty());
}

TEST_F(PanelControllerTest, WheelOnTheRightDialDrawsItAtRestAfter200Ms) {
    Wheel(935, 253, 120);
    EXPECT_EQ(posted, (std::vector<Posted>{{Req(0x8550), 0, 1}}));
    EXPECT_EQ(window.Timer(kTimerDialRest), 200);
    window.sent.clear();
    Tick(kTimerDialRest);
    EXPECT_FALSE(window.Timer(kTimerDialRest));
    for (uint32_t id : {kMsgDrawDial2, kMsgRestDial4, kMsgRestDial5, kMsgDrawDial3}) {
        EXPECT_EQ(window.SentOf(id), (std::vector<uint64_t>{360})) << std::hex << id;
    }
}

TEST_F(PanelControllerTest, DraggingTheMainDialPostsWholeStepsEvery30Ms) {
    Press(577, 179);  // 3 degrees
    EXPECT_EQ(window.Timer(kTimerKeyHold), 30);
    EXPECT_EQ(window.Timer(kTimerDragSteps), 30);
    Move(589, 181);  // 21 degrees: 18 degrees, two steps, the rest dropped
    Tick(kTimerKeyHold);
    EXPECT_EQ(window.SentOf(kMsgDrawMainDial).back(), 21u);
    Tick(kTimerDragSteps);
    Tick(kTimerDragSteps);
    Move(577, 179);  // back to 3 degrees: two steps anticlockwise
    Tick(kTimerKeyHold);
    Release(577, 179);
    EXPECT_EQ(posted, (std::vector<Posted>{{79, 0, 2}, {79, 0, 0}, {79, 0, -2}}));
    EXPECT_EQ(controller().CurrentKey(), 0);
    EXPECT_FALSE(window.Timer(kTimerKeyHold));
    EXPECT_FALSE(window.Timer(kTimerDragSteps));
}

TEST_F(PanelControllerTest, RightDialReturnsToRestWhenTheButtonGoesUp) {
    Press(935, 253 - 30);  // straight above the right dial's centre
    EXPECT_EQ(window.SentOf(kMsgDrawDial2).back(), 0u);
    Move(935 + 30, 253);  // a quarter turn clockwise
    Tick(kTimerKeyHold);
    EXPECT_EQ(window.SentOf(kMsgDrawDial2).back(), 90u);
    Tick(kTimerDragSteps);
    Release(935 + 30, 253);
    EXPECT_EQ(window.SentOf(kMsgDrawDial2).back(), 360u);
    EXPECT_EQ(posted, (std::vector<Posted>{{Req(0x8550), 0, 12}}));
    EXPECT_EQ(controller().CurrentKey(), 0);
}

// The band limits of the tuning are the unit table's; here the marked digit, the VFO it tunes
// and a step the band refuses.
TEST_F(PanelControllerTest, MarkedDigitTunesTheSelectedVfoOnTheWheel) {
    SetField(Field::FA, 55990000);
    Click(kDigit7.x(), kDigit7.y());
    EXPECT_EQ(window.SentOf(kMsgSelectDigitA).back(), 7u);
    Wheel(100, 100, 120);
    EXPECT_TRUE(posted.empty()) << "beyond the band nothing is posted";
    Click(kDigit7.x(), kDigit7.y());  // a second click clears the mark
    EXPECT_EQ(window.SentOf(kMsgSelectDigitA).back(), 0u);
    EXPECT_EQ(controller().CurrentKey(), 0);

    SetField(Field::VS, 1);
    SetField(Field::FB, 7000000);
    Click(kDigit7.x(), kDigit7.y() + 5);
    Wheel(100, 100, -120);
    EXPECT_EQ(posted, (std::vector<Posted>{{Req(0x8552), 0, 6000000}}));
}

TEST_F(PanelControllerTest, ReleasingKey39PostsItsRequestWithZero) {
    Press(kTxWatch.x(), kTxWatch.y());
    EXPECT_EQ(posted, (std::vector<Posted>{{Req(0x851F), 0, 1}}));
    Release(kTxWatch.x(), kTxWatch.y());
    EXPECT_EQ(posted, (std::vector<Posted>{{31, 0, 1}, {31, 0, 0}}));
}

TEST_F(PanelControllerTest, KeyHeldWhileTheCursorLeavesItIsReleasedByTheHoldTimer) {
    Press(kLock.x(), kLock.y());
    EXPECT_EQ(window.Timer(kTimerKeyHold), 100);
    Tick(kTimerKeyHold);  // still under the cursor and held: nothing happens
    EXPECT_EQ(controller().CurrentKey(), 45);
    Move(kLock.x() + 40, kLock.y());
    Tick(kTimerKeyHold);
    EXPECT_EQ(controller().CurrentKey(), 0);
    EXPECT_EQ(window.SentOf(0x85A3).back(), 0u);
    EXPECT_FALSE(window.Timer(kTimerKeyHold));
    Release(kLock.x() + 40, kLock.y());
    EXPECT_EQ(posted, (std::vector<Posted>{{Req(0x8523), 0, 0}}));
}

TEST_F(PanelControllerTest, ConnectKeyStaysDownUntilTheConnectingWindowGoes) {
    SetField(Field::AI, 1);
    Click(kCom.x(), kCom.y());
    EXPECT_FALSE(controller().IsBusy()) << "with AI on no connecting window opens";
    SetField(Field::AI, 0);
    Click(kCom.x(), kCom.y());
    EXPECT_EQ(posted, (std::vector<Posted>{{1, 0, 0}, {1, 0, 0}}));
    EXPECT_EQ(controller().CurrentKey(), 1);  // the release is ignored while the window is up
    client->OnWindowMessage(Message{kMsgConnectionUp, 0, 0});
    Tick(kTimerKeyHold);
    EXPECT_EQ(controller().CurrentKey(), 0);
    EXPECT_EQ(window.SentOf(0x8578).back(), 0u);
}

TEST_F(PanelControllerTest, ConnectTimeoutClosesTheWindowAndSaysSo) {
    SetField(Field::AI, 0);
    Click(kCom.x(), kCom.y());
    QString text;
    WhenModal([&](QWidget* w) {
        text = static_cast<QMessageBox*>(w)->text();
        w->close();
    });
    Tick(kTimerConnecting);
    EXPECT_EQ(text, "Failed to connect the COM port.");
    EXPECT_FALSE(controller().WindowOpen(kMsgConnectionUp));
    EXPECT_FALSE(window.Timer(kTimerConnecting));
}

}  // namespace
}  // namespace kestrel::testing
