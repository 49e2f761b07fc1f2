#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "options/version_window.h"
#include "panel/child_window_table.h"
#include "panel/reading_dlg.h"
#include "panel_test_fixture.h"
#include "protocol/notifications.h"
#include "window/child_dlg.h"

namespace kestrel::testing {
namespace {

constexpr int kOpeningItems[] = {kMenuCommandSend, kMenuComSelect, kMenuBaudRate, kMenuShare,
                                 kMenuPlayback,    kMenuRotator,   kMenuCw,       kMenuRepeater,
                                 kMenuPrmtrc,      kMenuPPrmtrc,   kMenuVersion};

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
        return static_cast<int>(std::ranges::count_if(
            kOpeningItems, [this](int id) { return controller().MenuAction(id)->isEnabled(); }));
    }
    std::unique_ptr<QMenuBar> bar;
};

// Answers every modal window while it lives: counts the reading windows, and counts and closes
// the message boxes and the Version window.
struct ModalWatcher {
    ModalWatcher() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (w != nullptr && !w->property("seen").toBool()) {
                w->setProperty("seen", true);
                readings += qobject_cast<CReadingDlg*>(w) != nullptr ? 1 : 0;
                auto* version = qobject_cast<VersionWindow*>(w);
                versionText = version != nullptr ? version->VersionLine().text() : versionText;
                if (qobject_cast<QMessageBox*>(w) != nullptr || version != nullptr) {
                    ++boxes;
                    w->close();
                }
            }
        });
        timer.start(5);
    }
    QTimer timer;
    int readings = 0;
    int boxes = 0;
    QString versionText;
};

TEST_F(MenuBarTest, EachChildWindowOpensAloneTakesItsNotificationsAndCloses) {
    // What the panel hands each window, by its closing message (MENU LIST: its box for "EX").
    const std::map<uint32_t, std::set<uint32_t>> takes = {
        {kMsgMenuListClosed, {kNotifyEX}},
        {kMsgCwClosed, {kNotifyKM}},
        {kMsgPlaybackClosed, {kNotifyRI, kNotifyAI}},
        {kMsgRotatorClosed, {kNotifyRO}},
        {kMsgRepeaterClosed, {kNotifyCN, kNotifyCT, kNotifyOS, kNotifyIF, kNotifyOI}},
        {kMsgEqualizerClosed, {kNotifyPE, kNotifyAI, kNotifyEX}},
    };
    // The windows the panel keys open: MENU, ENT and COM.
    const std::map<uint32_t, QPoint> keys = {{kMsgMenuListClosed, {470, 295}},
                                             {kMsgEntryClosed, {889, 102}},
                                             {kMsgConnectionUp, {40, 208}}};
    auto windowsTook = [this] {
        int n = 0;
        for (const ChildWindowRow& row : ChildWindowTable()) {
            const CChildDlg* dlg = controller().Window(row);
            n += dlg != nullptr ? dlg->NotificationCount() : 0;
        }
        return n;
    };
    ModalWatcher modals;
    SetField(Field::AI, 0);
    for (const ChildWindowRow& row : ChildWindowTable()) {
        CChildDlg* dlg = controller().Window(row);
        for (int mode = 0; mode < (row.menus[1] != 0 ? 2 : 1); ++mode) {
            SCOPED_TRACE(std::string(row.title) + " mode " + std::to_string(mode));
            SetField(Field::IDX, mode);  // the equalizer reads first while the id is unknown
            modals.readings = modals.boxes = 0;
            threadMessages.clear();
            ASSERT_EQ(EnabledItems(), 11);
            if (row.menus[mode] != 0) {
                controller().MenuAction(row.menus[mode])->trigger();
            } else {
                Click(keys.at(row.closeMessage).x(), keys.at(row.closeMessage).y());
            }
            if (row.modal) {
                EXPECT_EQ(modals.boxes, 1);
                EXPECT_EQ(modals.versionText, "TRN-747 Version  " KESTREL_VERSION);
                EXPECT_FALSE(controller().ChildWindowOpen());
                continue;
            }
            EXPECT_TRUE(controller().WindowOpen(row.closeMessage));
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_EQ(dlg->Mode(), mode);
            EXPECT_EQ(EnabledItems(), 0);
            const bool readsFirst = row.closeMessage == kMsgMenuListClosed ||
                                    (row.closeMessage == kMsgEqualizerClosed && mode == 0);
            EXPECT_EQ(modals.readings, readsFirst ? 1 : 0);
            const bool rotator = row.closeMessage == kMsgRotatorClosed;
            EXPECT_EQ(window.Timer(20), rotator ? std::optional<int64_t>(100) : std::nullopt);
            EXPECT_EQ(threadMessages,
                      rotator ? std::vector<uint32_t>{0x810D} : std::vector<uint32_t>{});
            EXPECT_EQ(window.Timer(22).has_value(), row.closeMessage == kMsgConnectionUp);

            const auto taken = takes.find(row.closeMessage);
            for (uint32_t id = 0x8302; id <= 0x8355; ++id) {
                const int before = windowsTook() + modals.boxes;
                client->OnWindowMessage(Message{id, 3, 7});
                const bool expected = taken != takes.end() && taken->second.contains(id);
                EXPECT_EQ(windowsTook() + modals.boxes - before, expected ? 1 : 0)
                    << std::hex << id;
            }

            // Its own close box where it has one; the connecting window goes when the link is up.
            if (dlg->CloseMessage() != 0) {
                dlg->close();
            } else {
                client->OnWindowMessage(Message{row.closeMessage, 0, 0});
            }
            EXPECT_FALSE(controller().WindowOpen(row.closeMessage));
            EXPECT_FALSE(dlg->isVisible());
            EXPECT_FALSE(window.Timer(20) || window.Timer(22));
            EXPECT_EQ(EnabledItems(), 11);
        }
    }
}

// A menu command deselects the selected knob; while a window is open another command opens
// nothing, but Exit still sends the end message.
TEST_F(MenuBarTest, CommandsWhileAWindowIsOpenOpenNothingButExitEnds) {
    SetField(Field::MG, 100);
    Click(182, 212);  // MIC GAIN
    controller().OnMenuCommand(kMenuCw);
    EXPECT_EQ(controller().CurrentKey(), 0);
    EXPECT_EQ(window.SentOf(kMsgDrawKeyLamp).back(), 0u);
    controller().OnMenuCommand(kMenuRepeater);
    EXPECT_TRUE(controller().WindowOpen(kMsgCwClosed));
    EXPECT_FALSE(controller().WindowOpen(kMsgRepeaterClosed));
    controller().MenuAction(kMenuExit)->trigger();
    EXPECT_EQ(window.SentOf(kMsgExitProgram).size(), 1u);
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
}

TEST_F(MenuBarTest, ReadingWindowGivesUpAtItsTimeOut) {
    // The box with its time-out shortened: a sequence that never ends.
    CReadingDlg dlg(surface.get(), window, 50);
    window.readingRunning = 1;
    bool waiting = false;
    WhenModal([&](QWidget*) { waiting = dlg.Waiting(); });
    dlg.Run();
    EXPECT_TRUE(waiting);
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

}  // namespace
}  // namespace kestrel::testing
