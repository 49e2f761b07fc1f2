#include <QAction>
#include <QMenuBar>
#include <QMessageBox>

#include "options/option_placeholder_dlg.h"
#include "panel/reading_dlg.h"
#include "panel_test_fixture.h"
#include "protocol/notifications.h"

namespace kestrel::testing {
namespace {

constexpr int kOpeningItems[] = {kMenuCommandSend, kMenuComSelect, kMenuBaudRate, kMenuPlayback,
                                 kMenuRotator,     kMenuCw,        kMenuRepeater, kMenuPrmtrc,
                                 kMenuPPrmtrc,     kMenuVersion};

class MenuBarTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        bar.reset(controller().CreateMenuBar(surface.get()));
    }
    void TearDown() override {
        bar.reset();
        PanelFixture::TearDown();
    }
    // Counts the opening items that are enabled.
    int EnabledItems() {
        int n = 0;
        for (int id : kOpeningItems) {
            n += controller().MenuAction(id)->isEnabled() ? 1 : 0;
        }
        return n;
    }
    std::unique_ptr<QMenuBar> bar;
};

TEST_F(MenuBarTest, EveryItemButExitIsGreyWhileAWindowIsOpen) {
    struct Case {
        int id;
        uint32_t closing;
    };
    const Case cases[] = {
        {kMenuCommandSend, kMsgCommandSendClosed}, {kMenuComSelect, kMsgComSelectClosed},
        {kMenuBaudRate, kMsgBaudRateClosed},       {kMenuPlayback, kMsgPlaybackClosed},
        {kMenuRotator, kMsgRotatorClosed},         {kMenuCw, kMsgCwClosed},
        {kMenuRepeater, kMsgRepeaterClosed},
    };
    SetField(Field::IDX, 1);
    for (const Case& c : cases) {
        ASSERT_EQ(EnabledItems(), 10) << c.id;
        controller().MenuAction(c.id)->trigger();
        EXPECT_TRUE(controller().WindowOpen(c.closing)) << c.id;
        EXPECT_TRUE(controller().Placeholder(c.closing)->isVisible()) << c.id;
        EXPECT_EQ(EnabledItems(), 0) << c.id;
        EXPECT_TRUE(controller().MenuAction(kMenuExit)->isEnabled());
        // The window's own close box sends its closing message.
        controller().Placeholder(c.closing)->close();
        EXPECT_FALSE(controller().WindowOpen(c.closing)) << c.id;
        EXPECT_FALSE(controller().Placeholder(c.closing)->isVisible()) << c.id;
    }
    EXPECT_EQ(EnabledItems(), 10);
}

TEST_F(MenuBarTest, ACommandThatArrivesWhileAWindowIsOpenOpensNothing) {
    controller().OnMenuCommand(kMenuCw);
    controller().OnMenuCommand(kMenuRepeater);
    EXPECT_TRUE(controller().WindowOpen(kMsgCwClosed));
    EXPECT_FALSE(controller().WindowOpen(kMsgRepeaterClosed));
}

TEST_F(MenuBarTest, ExitSendsTheEndMessageEvenWhileAWindowIsOpen) {
    controller().OnMenuCommand(kMenuCw);
    controller().MenuAction(kMenuExit)->trigger();
    EXPECT_EQ(window.SentOf(kMsgExitProgram).size(), 1u);
}

TEST_F(MenuBarTest, RotatorRunsTheReadTimerUntilItsWindowCloses) {
    controller().OnMenuCommand(kMenuRotator);
    EXPECT_EQ(window.Timer(20), 100);
    EXPECT_EQ(threadMessages, (std::vector<uint32_t>{0x810D}));
    controller().Placeholder(kMsgRotatorClosed)->reject();
    EXPECT_FALSE(window.Timer(20));
}

TEST_F(MenuBarTest, NotificationsReachOnlyTheOpenWindowThatNeedsThem) {
    COptionPlaceholderDlg* cw = controller().Placeholder(kMsgCwClosed);
    client->OnWindowMessage(Message{kNotifyKM, 3, 7});
    EXPECT_EQ(cw->NotificationCount(), 0);
    controller().OnMenuCommand(kMenuCw);
    client->OnWindowMessage(Message{kNotifyKM, 3, 7});
    client->OnWindowMessage(Message{kNotifyRO, 0, 0});
    EXPECT_EQ(cw->NotificationCount(), 1);
    EXPECT_EQ(controller().Placeholder(kMsgRotatorClosed)->NotificationCount(), 0);
    cw->reject();

    controller().OnMenuCommand(kMenuRepeater);
    for (uint32_t id : {kNotifyCN, kNotifyCT, kNotifyOS}) {
        client->OnWindowMessage(Message{id, 0, 0});
    }
    EXPECT_EQ(controller().Placeholder(kMsgRepeaterClosed)->NotificationCount(), 3);
}

TEST_F(MenuBarTest, EqualizerOpensInItsModeAfterTheReadingWindowWhenTheIdIsUnknown) {
    SetField(Field::IDX, 0);
    int readingWindows = 0;
    WhenModal(
        [&](QWidget* w) { readingWindows += qobject_cast<CReadingDlg*>(w) != nullptr ? 1 : 0; });
    controller().OnMenuCommand(kMenuPPrmtrc);  // no reading runs: the box closes at once
    EXPECT_EQ(readingWindows, 1);
    COptionPlaceholderDlg* eq = controller().Placeholder(kMsgEqualizerClosed);
    EXPECT_TRUE(eq->isVisible());
    EXPECT_EQ(eq->Mode(), 1);
    client->OnWindowMessage(Message{kNotifyPE, 0, 0});
    client->OnWindowMessage(Message{kNotifyAI, 0, 0});
    client->OnWindowMessage(Message{kNotifyEX, 0, 0});  // no MENU LIST: handed to the equalizer
    EXPECT_EQ(eq->NotificationCount(), 3);
    eq->reject();

    SetField(Field::IDX, 1);
    controller().OnMenuCommand(kMenuPrmtrc);
    EXPECT_EQ(eq->Mode(), 0);
    EXPECT_TRUE(eq->isVisible());
}

TEST_F(MenuBarTest, KeyFiftyOneWaitsForTheReadingSequenceThenOpensTheMenuList) {
    window.readingRunning = 1;
    bool waitingSeen = false;
    WhenModal([&](QWidget*) {
        waitingSeen = window.windowWaiting == 1;
        // The request thread's end-of-sequence message.
        client->OnWindowMessage(Message{0x8803, 0, 0});
    });
    Click(470, 295);
    EXPECT_TRUE(waitingSeen);
    EXPECT_EQ(window.windowWaiting, 0);
    EXPECT_TRUE(controller().WindowOpen(kMsgMenuListClosed));
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(window.SentOf(0x85A9).size(), 2u);  // MENU shown pressed, then released
    EXPECT_EQ(EnabledItems(), 0);
}

TEST_F(MenuBarTest, ReadingWindowGivesUpAfterTenSeconds) {
    EXPECT_EQ(CReadingDlg::kTimeoutMs, 10000);
    // The same box with its time-out shortened: a sequence that never ends.
    CReadingDlg dlg(surface.get(), window, 50);
    window.readingRunning = 1;
    bool waiting = false;
    WhenModal([&](QWidget*) { waiting = dlg.Waiting(); });
    dlg.Run();
    EXPECT_TRUE(waiting);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(window.windowWaiting, 0);
}

TEST_F(MenuBarTest, OneMenuChangedBoxAtATime) {
    Click(470, 295);  // the MENU LIST window, after an instant of the reading window
    ASSERT_TRUE(controller().WindowOpen(kMsgMenuListClosed));
    int boxes = 0;
    QString text;
    WhenModal([&](QWidget* w) {
        EXPECT_TRUE(controller().BusyBoxShown());
        text = static_cast<QMessageBox*>(w)->text();
        client->OnWindowMessage(Message{kNotifyEX, 0, 0});  // a second report: dropped
        for (QWidget* top : QApplication::topLevelWidgets()) {
            boxes += qobject_cast<QMessageBox*>(top) && top->isVisible() ? 1 : 0;
        }
        w->close();
    });
    client->OnWindowMessage(Message{kNotifyEX, 0, 0});
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(text, "Update the menu setting.\nPlease close and open the menu window.");
    EXPECT_FALSE(controller().BusyBoxShown());
}

TEST_F(MenuBarTest, AMenuCommandDeselectsTheSelectedKnob) {
    SetField(Field::MG, 100);
    Click(182, 212);  // MIC GAIN
    controller().OnMenuCommand(kMenuCw);
    EXPECT_EQ(controller().CurrentKey(), 0);
    EXPECT_EQ(window.SentOf(kMsgDrawKeyLamp).back().wParam, 0u);
}

}  // namespace
}  // namespace kestrel::testing
