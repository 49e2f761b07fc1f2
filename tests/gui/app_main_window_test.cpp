#include <QtCore/qtestsupport_core.h>

#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "app/panel_client.h"
#include "app/power_events.h"
#include "app/remote_controller_app.h"
#include "app/splash_panel_dlg.h"
#include "app_window_fixture.h"
#include "option_test_support.h"
#include "platform/pty_pair.h"
#include "platform/timer_numbers.h"
#include "protocol/control_mirror.h"
#include "protocol/notifications.h"
#include "serial/serial_port.h"
#include "window/panel_messages.h"

namespace kestrel::testing {
namespace {

// Spins until done() holds, at most five seconds, without handling events: for waits where the
// user-interface thread must not run.
bool SpinUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    return done();
}

using F = Field;

// Message numbers no handler of the main window claims, so they reach the controller.
constexpr uint32_t kTestMessage = 0x9000;

// Sends a left-button event to the window's native window at a point of the panel picture, as the
// window system delivers it.
void LeftButtonAt(CMainPanelDlg& window, QEvent::Type type, QPointF panelAt) {
    const QPointF at = window.PanelWidget()->mapTo(&window, panelAt);
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, window.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &event);
}

// A controller that records what the window hands it, and on which thread.
class ProbeClient final : public PanelClient {
  public:
    void OnLeftButtonDown(QMouseEvent*) override { ++inputs; }
    void OnLeftButtonUp(QMouseEvent*) override { ++inputs; }
    void OnRightButtonDown(QMouseEvent*) override { ++inputs; }
    void OnRightButtonUp(QMouseEvent*) override { ++inputs; }
    void OnMouseWheel(QWheelEvent*) override { ++inputs; }
    void OnMenuCommand(int) override {}
    void OnTimer(int timerId) override { ticks.push_back(timerId); }
    bool OnKeyPress(QKeyEvent*) override { return ++inputs, false; }
    int64_t OnWindowMessage(const Message& message) override {
        messages.push_back(message);
        handledOn = std::this_thread::get_id();
        return static_cast<int64_t>(message.wParam) * 2;
    }
    bool Busy() const override { return false; }

    int inputs = 0;  // mouse, wheel and key events that reached the panel
    std::vector<Message> messages;
    std::vector<int> ticks;
    std::thread::id handledOn;
};

class MainWindowMessages : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        auto client = std::make_unique<ProbeClient>();
        probe = client.get();
        window->SetPanelClient(std::move(client));
    }
    ProbeClient* probe = nullptr;
};

TEST_F(MainWindowMessages, PostsFromAWorkerAreHandledOneAtATimeInPostingOrder) {
    std::thread worker([this] {
        for (uint64_t i = 0; i < 200; ++i) {
            EXPECT_TRUE(window->PostMessage(kTestMessage, i, 0));
        }
    });
    worker.join();
    EXPECT_TRUE(probe->messages.empty()) << "nothing runs before the window's thread does";
    QCoreApplication::sendPostedEvents(window.get());
    ASSERT_EQ(probe->messages.size(), 200u);
    for (uint64_t i = 0; i < 200; ++i) {
        EXPECT_EQ(probe->messages[i].wParam, i);
    }
    EXPECT_EQ(probe->handledOn, std::this_thread::get_id());
}

TEST_F(MainWindowMessages, SendRunsOnTheUserInterfaceThreadAndWaitsForIt) {
    EXPECT_EQ(window->SendMessage(kTestMessage, 5, 0), 10) << "on its own thread: at once";
    std::atomic<int64_t> result{-1};
    std::thread worker([&] { result = window->SendMessage(kTestMessage, 21, 0); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.load() != -1; }));
    worker.join();
    EXPECT_EQ(result.load(), 42);
    EXPECT_EQ(probe->handledOn, std::this_thread::get_id());
}

TEST_F(MainWindowMessages, ClosingReleasesAWaitingSendAndRefusesNewMessages) {
    std::atomic<int64_t> result{-1};
    std::thread worker([&] { result = window->SendMessage(kTestMessage, 21, 0); });
    ASSERT_TRUE(SpinUntil([&] { return window->PendingSends() == 1; }));
    window->BeginClosing();
    worker.join();  // the user-interface thread never ran: the send must not wait for it
    EXPECT_EQ(result.load(), 0);

    std::thread late([&] { result = window->SendMessage(kTestMessage, 21, 0); });
    late.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(window->PostMessage(kTestMessage, 1, 0));
    QCoreApplication::sendPostedEvents(window.get());
    EXPECT_TRUE(probe->messages.empty()) << "a released send is never run afterwards";
}

TEST_F(MainWindowMessages, EventsKeepFlowingWhileTheShutdownWorkRuns) {
    std::atomic<bool> handled{false};
    RunWithEventsFlowing([&] {
        QMetaObject::invokeMethod(
            window.get(), [&] { handled = true; }, Qt::QueuedConnection);
        SpinUntil([&] { return handled.load(); });
    });
    EXPECT_TRUE(handled.load());
}

TEST_F(MainWindowMessages, TimersSetAndKilledByAWorker) {
    window->SetTimer(2, 5);
    std::thread worker([this] {
        window->KillTimer(2);
        window->SetTimer(18, 20);
    });
    worker.join();
    EXPECT_FALSE(window->HasTimer(2));
    EXPECT_EQ(window->TimerPeriod(18), 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !probe->ticks.empty(); }));
    EXPECT_EQ(probe->ticks.front(), 18);
}

TEST_F(MainWindowMessages, ControllerTimersGoToTheController) {
    for (const int timerId : {1, 2, 18, kTimerFrequencyA, 19, 22, kTimerUpperPeak, 31}) {
        window->OnTimer(timerId);
    }
    EXPECT_EQ(probe->ticks, (std::vector<int>{1, 2, 18, 19, 22, 31}))
        << "the window's own timers stay with it";
}

TEST_F(MainWindowMessages, PanelStartUpsOneShotRefreshDrawsEveryDisplayFromTheStore) {
    window->InitPanel();
    EXPECT_EQ(window->TimerPeriod(kTimerFrequencyA), 30);
    EXPECT_EQ(window->TimerPeriod(kTimerFrequencyB), 30);
    EXPECT_EQ(window->TimerPeriod(kTimerFullRefresh), 10);
    SetFields({{F::AI, 1}, {F::PS, 1}, {F::FA, 7050000}, {F::LK, 1}});
    SetFields({{F::MD0, 3}, {F::KC, 4}, {F::MX, 1}});
    window->OnTimer(kTimerFullRefresh);
    EXPECT_FALSE(window->HasTimer(kTimerFullRefresh));
    EXPECT_TRUE(window->HasTimer(kTimerFrequencyA));
    EXPECT_TRUE(ShowsFrequency(7050000));
    EXPECT_TRUE(Shows(SkinGroup::LampLock, 1));
    EXPECT_TRUE(Shows(SkinGroup::ModeUsb, 1));
    EXPECT_TRUE(Shows(SkinGroup::ModeCw, 1));
    EXPECT_TRUE(Shows(SkinGroup::KeyNotch, 2));
    EXPECT_TRUE(Shows(SkinGroup::KeyCom, 0)) << "COM and POWER start released and off";
    EXPECT_TRUE(Shows(SkinGroup::KeyOnOff, 0));
    EXPECT_TRUE(Shows(SkinGroup::KeyMox, 2)) << "other caps show their look from the store";
}

TEST_F(MainWindowMessages, KeyCapMessagesDrawTheCapsAndNotificationsReachTheControllerAfter) {
    SetField(Field::SF, 0);
    window->SendMessage(0x85C0, 1, 0);
    EXPECT_TRUE(Shows(SkinGroup::KeyFuncBand, 3)) << "held while on: the pressed-on image";
    window->SendMessage(0x857A, 1, 0);
    EXPECT_TRUE(probe->messages.empty()) << "an empty key message is not passed on";
    Notify(kNotifyLK, {{Field::LK, 1}});
    EXPECT_TRUE(Shows(SkinGroup::LampLock, 1));
    ASSERT_EQ(probe->messages.size(), 1u);
    EXPECT_EQ(probe->messages[0].id, kNotifyLK);
}

TEST_F(MainWindowMessages, EnterNeverEndsTheWindowAndEscapeOrTheExitMessageCancel) {
    for (const bool byMessage : {true, false}) {
        QTimer::singleShot(0, window.get(), [this, byMessage] {
            KeyTo(window.get(), true, Qt::Key_Return);
            EXPECT_TRUE(window->isVisible());
            byMessage ? void(window->PostMessage(kMsgExitProgram, 0, 0))
                      : KeyTo(window.get(), true, Qt::Key_Escape);
        });
        EXPECT_EQ(window->exec(), QDialog::Rejected) << byMessage;
    }
    EXPECT_TRUE(window->Closing());
}

// Input goes in through the window, as the window system delivers it, at the COM key.
TEST_F(MainWindowMessages, SplashSwallowsClicksWheelAndKeysAndGoesAtItsTimer) {
    window->show();
    auto* splash = new CSplashPanelDlg(window->PanelWidget());
    splash->show();
    const SkinRect com = ElementRect(SkinGroup::KeyCom, 0);
    const QPointF panelAt(com.left + com.width / 2.0, com.top + com.height / 2.0);
    const QPointF at = window->PanelWidget()->mapTo(window.get(), panelAt);
    const auto sendInput = [&] {
        QWindow* handle = window->windowHandle();
        for (const QEvent::Type type :
             {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick}) {
            LeftButtonAt(*window, type, panelAt);
        }
        QWheelEvent wheel(at, window->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(handle, &wheel);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &key);
    };
    sendInput();
    EXPECT_EQ(probe->inputs, 0);
    delete splash;
    sendInput();
    EXPECT_EQ(probe->inputs, 5) << "without the splash every event reaches the panel";
    // The panel's own splash goes when its timer fires.
    window->SetTimer(kTimerSplash, 3000);
    window->InitPanel();
    window->OnTimer(kTimerSplash);
    EXPECT_EQ(window->Splash(), nullptr);
    EXPECT_FALSE(window->HasTimer(kTimerSplash));
}

// A held knob steps every 200 ms until its release; when something else takes the mouse, the
// release never comes to the panel, so that loss must count as the release.
TEST_F(MainWindowTest, LosingTheMouseWhileAKnobIsHeldEndsItsRepeat) {
    const std::vector<std::pair<const char*, std::function<void(QWidget*)>>> losses = {
        {"modal box",
         [](QWidget* w) {
             QMessageBox box(QMessageBox::Warning, "", "", QMessageBox::Ok, w);
             QTimer::singleShot(0, &box, &QMessageBox::accept);
             box.exec();
         }},
        {"deactivation",
         [](QWidget* w) {
             QEvent deactivate(QEvent::WindowDeactivate);
             QCoreApplication::sendEvent(w, &deactivate);
         }},
        {"hide", [](QWidget* w) { w->hide(); }},
    };
    for (const auto& [name, lose] : losses) {
        SCOPED_TRACE(name);
        UsePanelController();
        window->show();
        const QPointF mic(182, 212);
        LeftButtonAt(*window, QEvent::MouseButtonPress, mic);  // selects the MIC GAIN knob
        LeftButtonAt(*window, QEvent::MouseButtonRelease, mic);
        LeftButtonAt(*window, QEvent::MouseButtonPress, mic);  // and holds it
        window->OnTimer(kTimerKnobRepeat);
        const size_t held = posted.size();
        ASSERT_GT(held, 1u) << "the hold repeats";
        lose(window.get());
        window->OnTimer(kTimerKnobRepeat);
        window->OnTimer(kTimerKnobRepeat);
        EXPECT_EQ(posted.size(), held);
        EXPECT_FALSE(window->HasTimer(kTimerKnobRepeat));
    }
}

TEST_F(MainWindowMessages, RepaintAfterShowingRebuildsThePictureWithoutDroppingHolds) {
    Notify(kNotifyRM, {{F::AI, 1}, {F::PS, 1}, {F::FA, 10125000}, {F::NA0, 1}, {F::RM0, 200}});
    Notify(kNotifyRM, {{Field::RM0, 10}});
    ASSERT_EQ(window->Painter().HeldValue(MeterBar::Upper), 200);
    window->show();
    EXPECT_EQ(window->TimerPeriod(kTimerRepaint), 30);
    window->OnTimer(kTimerRepaint);
    EXPECT_FALSE(window->HasTimer(kTimerRepaint));
    EXPECT_TRUE(ShowsFrequency(10125000));
    EXPECT_TRUE(Shows(SkinGroup::LampNar, 1));
    EXPECT_EQ(window->Painter().HeldValue(MeterBar::Upper), 200);
    window->hide();
}

using StartupMessages = MainWindowTest;

TEST_F(StartupMessages, ModeZeroOpensOneBoxAtATimeAndModeOneShowsEvenOverAnOpenBox) {
    std::vector<std::pair<int, bool>> shown;  // string, box flag while it was up
    window->SetBoxRunner([&](int stringId) {
        shown.emplace_back(stringId, window->BoxShown());
        EXPECT_EQ(StartupBoxShown.load(), window->BoxShown() ? 1 : 0);
        if (shown.size() == 1) {
            window->SendMessage(kMsgStartupFailure, 0, 0);  // the port fails again meanwhile
            window->SendMessage(kMsgStartupFailure, 1, 3);
        }
    });
    window->SendMessage(kMsgStartupFailure, 0, 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], std::make_pair(106, true));
    EXPECT_EQ(shown[1].first, 111);
    EXPECT_EQ(StartupBoxShown.load(), 0);

    window->SendMessage(kMsgStartupFailure, 0, 0);
    EXPECT_EQ(shown.size(), 3u) << "once closed, the next failure shows again";
}

TEST_F(StartupMessages, DisabledAndUnknownRowsShowNothing) {
    for (const auto& [mode, row] :
         {std::pair{0, 1}, std::pair{1, 1}, std::pair{1, 4}, std::pair{0, -1}, std::pair{1, 99}}) {
        window->SendMessage(kMsgStartupFailure, mode, row);
    }
    EXPECT_TRUE(boxes.empty());
    window->SendMessage(kMsgStartupFailure, 1, 2);
    EXPECT_EQ(boxes, (std::vector<int>{108}));
}

TEST_F(MainWindowTest, SuspendPowerEventsCloseThePortAndOthersLeaveIt) {
    const auto pty = PtyPair::Create();
    ASSERT_NE(pty, nullptr);
    TheSerialPort().Initialise();  // an earlier test's shutdown leaves the port shut
    TheSerialPort().SetDeviceOverride(pty->Path());
    for (uint64_t code = 0; code <= 18; ++code) {
        if (!TheSerialPort().IsOpen()) {
            EXPECT_TRUE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0)) << code;
        }
        window->SendMessage(kMsgPowerBroadcast, code, 0);
        const bool closes = std::ranges::count(std::array{0, 2, 4, 6, 7, 9, 10, 11, 18}, code) != 0;
        EXPECT_EQ(TheSerialPort().IsOpen(), !closes) << "power event " << code;
    }
    TheSerialPort().Close();
    TheSerialPort().SetDeviceOverride({});
}

}  // namespace
}  // namespace kestrel::testing
