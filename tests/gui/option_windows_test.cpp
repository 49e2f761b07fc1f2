#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/station_fixture.h"
#include "engine_api/radio_engine.h"
#include "option_test_support.h"
#include "options/color_static.h"
#include "options/command_send_dlg.h"
#include "options/cw_dlg.h"
#include "options/hold_button.h"
#include "options/playback_dlg.h"
#include "options/repeater_dlg.h"
#include "options/rotator_dlg.h"
#include "panel_test_fixture.h"
#include "protocol/notifications.h"
#include "window/panel_messages.h"

namespace kestrel::testing {
namespace {

using Texts = std::vector<std::string>;

// The option windows against the engine and the simulated radio, connected, in virtual time.
// The test hands the window the notifications the main window would, and clicks and types with
// real events.
class OptionWindows : public Station {
  protected:
    void SetUp() override {
        Station::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(ConnectAndReadAll());
        host = std::make_unique<QWidget>();
    }
    void TearDown() override {
        open_ = nullptr;
        host.reset();
        Station::TearDown();
    }

    // Makes and opens a window as the panel controller does.
    template <class Dlg>
    Dlg& Open() {
        auto* dlg = new Dlg(host.get(), mainWindow);
        OpenAgain(*dlg);
        return *dlg;
    }
    void OpenAgain(CChildDlg& dlg) {
        pumped_ = WindowSince(0).size();
        open_ = &dlg;
        dlg.Open();
        ShowActive(&dlg);
    }
    // Runs the engine and the radio for ms of virtual time, handing the open window each
    // notification within 5 ms, as the main window does.
    void Run(int64_t ms) {
        for (int64_t step = 0; step < ms; step += kStepMs) {
            rt.RunFor(kStepMs);
            const std::vector<WindowEvent> events = WindowSince(0);
            for (size_t i = pumped_; i < events.size(); ++i) {
                if (open_ != nullptr && open_->isVisible()) {
                    const Message& m = events[i].message;
                    open_->OnNotification(m.id, m.wParam, m.lParam);
                }
            }
            pumped_ = events.size();
        }
        QCoreApplication::processEvents();
    }
    // Returns the commands written since a mark that begin with one of the codes.
    Texts SentSince(size_t mark, const std::vector<const char*>& codes) const {
        Texts found;
        std::ranges::copy_if(
            TextsOf(commands.From(mark)), std::back_inserter(found), [&](const std::string& text) {
                return std::ranges::any_of(
                    codes, [&](const char* code) { return text.starts_with(code); });
            });
        return found;
    }

    RecordingWindow mainWindow;
    std::unique_ptr<QWidget> host;

  private:
    static constexpr int64_t kStepMs = 5;
    CChildDlg* open_ = nullptr;
    size_t pumped_ = 0;
};

QList<QPushButton*> Buttons(QWidget& dlg) {
    return dlg.findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
}

// ---------------------------------------------------------------------------------------------
// Playback

// Every plain button of a window, clicked in order, and the commands it puts on the line.
TEST_F(OptionWindows, ButtonsPutTheirCommandsOnTheLine) {
    using Row =
        std::tuple<const char*, std::function<CChildDlg&()>, std::vector<const char*>, Texts>;
    const Row rows[] = {
        {"playback",
         [this]() -> CChildDlg& { return Open<CPlaybackDlg>(); },
         {"LM", "PB"},
         {"LM01;", "LM02;", "LM03;", "LM04;", "LM05;", "LM00;", "PB01;", "PB02;", "PB03;", "PB04;",
          "PB05;", "PB00;"}},
        {"repeater",
         [this]() -> CChildDlg& { return Open<CRepeaterDlg>(); },
         {"CT", "OS"},
         {"CT00;", "CT02;", "CT01;", "OS00;", "OS02;", "OS01;"}},
        // Hold keys: CCW and CW stop on their release, SLOW and FAST send on the press only.
        {"rotator",
         [this]() -> CChildDlg& { return Open<CRotatorDlg>(); },
         {"RO0", "RO1", "RO2", "RO3", "RO4"},
         {"RO1;", "RO0;", "RO2;", "RO0;", "RO3;", "RO4;"}},
    };
    for (const auto& [name, open, codes, line] : rows) {
        SCOPED_TRACE(name);
        CChildDlg& dlg = open();
        Run(300);
        const size_t mark = commands.Size();
        for (QPushButton* button : Buttons(dlg)) {
            if (button->text() != QStringLiteral("Freq")) {  // the tone list has its own test
                ClickOn(button);
                Run(200);
            }
        }
        EXPECT_EQ(SentSince(mark, codes), line);
        dlg.Destroy();
    }
}

TEST_F(OptionWindows, PlaybackLampsFollowTheRadioAndGreyWhileTheLinkIsDown) {
    auto& dlg = Open<CPlaybackDlg>();
    const QList<QPushButton*> buttons = Buttons(dlg);
    ClickOn(buttons[1]);  // REC Ch-2
    Run(1500);
    EXPECT_EQ(dlg.RecLamp().Background(), QColor(255, 0, 0));
    EXPECT_EQ(dlg.PlayLamp().Background(), QColor(255, 255, 255));
    ClickOn(buttons[5]);  // REC STOP
    ClickOn(buttons[7]);  // PLAY Ch-2
    Run(300);
    EXPECT_EQ(dlg.RecLamp().Background(), QColor(255, 255, 255));
    EXPECT_EQ(dlg.PlayLamp().Background(), QColor(0, 255, 0));

    radio->StartFault(SimFault::Silence);
    Run(4000);
    EXPECT_EQ(dlg.RecLamp().Background(), dlg.PlayLamp().Background());
    EXPECT_NE(dlg.PlayLamp().Background(), QColor(0, 255, 0)) << "no playback shown on a dead link";
}

// ---------------------------------------------------------------------------------------------
// Rotator

TEST_F(OptionWindows, HeldSpeedKeyRepeatsUntilReleased) {
    auto& dlg = Open<CRotatorDlg>();
    HoldButton& fast = dlg.Button(CRotatorDlg::kFast);
    const size_t mark = commands.Size();
    LeftButton(&fast, true);
    // The repeat runs on a user-interface timer; the radio's side runs in virtual time.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        rt.RunFor(10);
        return SentSince(mark, {"RO4"}).size() >= 3;
    }));
    LeftButton(&fast, false);
    EXPECT_FALSE(fast.IsRepeating());
}

TEST_F(OptionWindows, DirectionFollowsTheTurningRotatorAndClosingWhileHeldStopsIt) {
    auto& dlg = Open<CRotatorDlg>();
    const QString before = dlg.Direction().text();
    HoldButton& cw = dlg.Button(CRotatorDlg::kCw);
    LeftButton(&cw, true);
    Run(2000);
    EXPECT_GT(dlg.Direction().text().toInt(), before.toInt());
    EXPECT_EQ(radio->State().rotatorMotion, 2);

    const size_t mark = commands.Size();
    KeyTo(&dlg, true, Qt::Key_Escape);
    ASSERT_EQ(mainWindow.SentOf(kMsgRotatorClosed).size(), 1u);
    dlg.Destroy();  // as the panel controller does on the closing message
    Run(200);
    EXPECT_EQ(SentSince(mark, {"RO0"}), (Texts{"RO0;"}));
    EXPECT_EQ(radio->State().rotatorMotion, 0);
}

TEST_F(OptionWindows, RotatorReadoutsShowTheStoredDirectionAndSpeed) {
    const QColor orange(255, 128, 0);
    const QColor red(255, 0, 0);
    const std::tuple<int32_t, const char*, QColor> rows[] = {
        {0, "0", orange}, {359, "359", orange}, {360, "0", red}, {365, "5", red}};
    auto& dlg = Open<CRotatorDlg>();
    for (const auto& [degrees, shown, colour] : rows) {
        ASSERT_TRUE(StoreField(Field::ROp3, degrees));
        ASSERT_TRUE(StoreField(Field::ROp6, 50));
        dlg.OnNotification(kNotifyRO, 0, 0);
        EXPECT_EQ(dlg.Direction().text(), QString::fromLatin1(shown)) << degrees;
        EXPECT_EQ(dlg.Direction().TextColour(), colour) << degrees;
    }
    EXPECT_EQ(dlg.Speed().text(), QStringLiteral("50%"));
}

// ---------------------------------------------------------------------------------------------
// CW keyer memories

TEST_F(OptionWindows, KeyerMemoriesFillTheirOwnBoxesWhenReopenedMidReadThenPlay) {
    const char* texts[] = {"CQ CQ DE K1ABC", "QRZ?", "5NN TU", "TEST}", "73"};
    for (int m = 1; m <= 5; ++m) {
        ASSERT_TRUE(radio->Apply("KM" + std::to_string(m) + texts[m - 1] + ";"));
        ASSERT_TRUE(StoreKeyerText(m, 51, ""));
    }
    const size_t mark = commands.Size();
    auto& dlg = Open<CCwDlg>();
    Run(70);
    dlg.Destroy();
    OpenAgain(dlg);
    EXPECT_TRUE(dlg.Locked());
    Run(1500);
    EXPECT_EQ(SentSince(mark, {"KM"}),
              (Texts{"KM1;", "KM2;", "KM1;", "KM2;", "KM3;", "KM4;", "KM5;"}));
    for (int m = 1; m <= 5; ++m) {
        EXPECT_EQ(dlg.TextBox(m).text(), QString::fromLatin1(texts[m - 1])) << m;
    }
    ASSERT_FALSE(dlg.Locked());

    // Unlocked, the play buttons play; Enter in a text box plays nothing.
    for (int n = 1; n <= 10; ++n) {
        ClickOn(&dlg.PlayButton(n));
    }
    dlg.TextBox(1).setFocus();
    KeyTo(&dlg.TextBox(1), true, Qt::Key_Return);
    Run(100);
    EXPECT_EQ(SentSince(mark, {"KY"}), (Texts{"KY1;", "KY2;", "KY3;", "KY4;", "KY5;", "KY6;",
                                              "KY7;", "KY8;", "KY9;", "KYA;"}));
}

TEST_F(OptionWindows, KeyerTextRefusesSemicolonsTypedOrPastedAndWritesWhatItHolds) {
    auto& dlg = Open<CCwDlg>();
    Run(1500);
    ASSERT_FALSE(dlg.Locked());
    KeyerTextEdit& box = dlg.TextBox(2);
    box.clear();
    box.setFocus();
    TypeInto(&box, QStringLiteral("cq CQ;PS0"));
    EXPECT_EQ(box.text(), QStringLiteral(" CQPS0")) << "lower case and \";\" are dropped";
    QGuiApplication::clipboard()->setText(QStringLiteral("DE;PS0;"));
    KeyTo(&box, true, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), QStringLiteral(" CQPS0")) << "a paste with \";\" is refused";
    const size_t mark = commands.Size();
    ClickOn(&dlg.WriteButton(2));
    Run(500);
    EXPECT_EQ(SentSince(mark, {"KM", "PS0"}), (Texts{"KM2 CQPS0;"}));
    EXPECT_FALSE(KeyerWriteCommand(2, QStringLiteral("CQ;PS0")).has_value());
}

// ---------------------------------------------------------------------------------------------
// Repeater and the tone list

TEST_F(OptionWindows, RepeaterReadsItsVfoOnOpeningAndShowsTheAnswer) {
    const std::tuple<int, const char*, const char*> rows[] = {{0, "IF;", "<VFO-A>"},
                                                              {1, "OI;", "<VFO-B>"}};
    for (const auto& [vs, read, label] : rows) {
        const char s = static_cast<char>('0' + vs);
        ASSERT_TRUE(radio->Apply(std::string("CT") + s + "2;"));
        ASSERT_TRUE(radio->Apply(std::string("CN") + s + "12;"));
        ASSERT_TRUE(radio->Apply(std::string("OS") + s + "1;"));
        Run(500);
        // Reports of other settings leave the stored values stale; the opening read refreshes.
        for (Field f : {Field::CT0, Field::CT1, Field::CN0, Field::CN1, Field::OS0, Field::OS1}) {
            ASSERT_TRUE(StoreField(f, 0));
        }
        ASSERT_TRUE(StoreField(Field::VS, vs));
        const size_t mark = commands.Size();
        auto& dlg = Open<CRepeaterDlg>();
        Run(500);
        EXPECT_EQ(SentSince(mark, {"IF", "OI"}), (Texts{read}));
        EXPECT_EQ(dlg.VfoLabel(), QString::fromLatin1(label));
        EXPECT_EQ(dlg.ReadoutLabel(CRepeaterDlg::kMode).text(), QStringLiteral("Tone Encoder"));
        EXPECT_EQ(dlg.ReadoutLabel(CRepeaterDlg::kTone).text(), QStringLiteral("100.0 Hz"));
        EXPECT_EQ(dlg.ReadoutLabel(CRepeaterDlg::kShift).text(), QStringLiteral("Plus Shift"));
        dlg.Destroy();
    }
}

TEST_F(OptionWindows, ToneListHighlightsTheCurrentToneAndSetsTheChosenOne) {
    ASSERT_TRUE(radio->Apply("CN025;"));
    Run(300);
    auto& dlg = Open<CRepeaterDlg>();
    Run(300);
    QString highlighted;
    bool rowOfLastTone = false;
    WhenModal([&](QWidget* modal) {
        auto* tone = qobject_cast<CToneDlg*>(modal);
        ASSERT_NE(tone, nullptr);
        ToneListBox& list = tone->List();
        highlighted = list.item(list.HighlightedItem())->text();
        // Each row of the grid reads five neighbouring tones: 229.1 (45) begins the last row.
        rowOfLastTone =
            list.visualItemRect(list.item(49)).top() == list.visualItemRect(list.item(9)).top();
        ClickAt(list.viewport(), list.visualItemRect(list.item(49)).center());
        KeyTo(&list, true, Qt::Key_Return);
    });
    const size_t mark = commands.Size();
    const QList<QPushButton*> buttons = Buttons(dlg);
    ClickOn(*std::ranges::find_if(buttons, [](QPushButton* b) { return b->text() == "Freq"; }));
    Run(300);
    EXPECT_EQ(highlighted, QStringLiteral("  156.7"));
    EXPECT_TRUE(rowOfLastTone);
    EXPECT_EQ(SentSince(mark, {"CN"}), (Texts{"CN049;"}));
    EXPECT_EQ(dlg.ReadoutLabel(CRepeaterDlg::kTone).text(), QStringLiteral("254.1 Hz"));
}

// ---------------------------------------------------------------------------------------------
// Command Send

TEST_F(OptionWindows, CommandSendTakesPrintableAsciiAndSendsItInUpperCaseExactlyAsTyped) {
    auto& dlg = Open<CCommandSendDlg>();
    TypeInto(&dlg.Edit(), QStringLiteral("fa\x01") + QChar(0xE9) + QStringLiteral("14250000;"));
    QGuiApplication::clipboard()->setText(QStringLiteral("PS0;\nFA;"));
    KeyTo(&dlg.Edit(), true, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(dlg.Edit().text(), QStringLiteral("FA14250000;")) << "only printable ASCII";
    const size_t mark = commands.Size();
    KeyTo(&dlg.Edit(), true, Qt::Key_Return);
    Run(300);
    EXPECT_EQ(SentSince(mark, {"FA", "PS0"}), (Texts{"FA14250000;"}));
    EXPECT_EQ(mainWindow.SentOf(kMsgCommandSendClosed).size(), 1u);
}

TEST_F(OptionWindows, CommandSendReportsATextTheFullRingDidNotTake) {
    while (RadioEngine::QueueRaw("ID;") == RawResult::Queued) {
    }
    auto& dlg = Open<CCommandSendDlg>();
    TypeInto(&dlg.Edit(), QStringLiteral("PS0;"));
    QString report;
    WhenModal([&](QWidget* box) {
        report = static_cast<QMessageBox*>(box)->text();
        box->close();
    });
    KeyTo(&dlg.Edit(), true, Qt::Key_Return);
    EXPECT_TRUE(report.contains(QStringLiteral("full"))) << report.toStdString();
    EXPECT_EQ(mainWindow.SentOf(kMsgCommandSendClosed).size(), 0u);
    EXPECT_EQ(dlg.Edit().text(), QStringLiteral("PS0;"));
}

}  // namespace
}  // namespace kestrel::testing
