#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/main_panel_dlg.h"
#include "app/panel_controller_client.h"
#include "app/remote_controller_app.h"
#include "app/skin_layout.h"
#include "cat/radio_state.h"
#include "cat/store_flags.h"
#include "platform/paths.h"
#include "platform/real_runtime.h"
#include "sim/built_in_radio.h"

namespace kestrel {
namespace {

// Handles events until pred holds or the time runs out (the engine runs on real threads here).
bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

// Clicks the panel picture at a panel pixel with real mouse events.
void ClickPanel(CMainPanelDlg& dialog, int x, int y) {
    QWidget* view = dialog.PanelWidget();
    const QPointF at(x, y);
    QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &release);
}

// Returns the rectangle of the main frequency display.
QRect FrequencyArea() {
    QRect area;
    for (SkinGroup group : {SkinGroup::MainDigits, SkinGroup::LastDigit, SkinGroup::FreqPoints}) {
        for (int e = 0; e < ElementCount(group); ++e) {
            const SkinRect r = ElementRect(group, e);
            area = area.united(QRect(r.left, r.top, r.width, r.height));
        }
    }
    return area;
}

class PanelEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kestrel-panel-e2e-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_ / "CommoFiles");
        std::ofstream(dir_ / "CommoFiles" / "CommSetting.csv") << "1,38400,0\n";
        SetWorkingDirectoryBase(dir_.string());
        SetRuntime(&runtime_);
    }
    void TearDown() override {
        SetRuntime(nullptr);
        SetWorkingDirectoryBase("");
        std::filesystem::remove_all(dir_);
    }

    RealRuntime runtime_;
    std::filesystem::path dir_;
};

TEST_F(PanelEndToEnd, BandKeyPutsItsCommandOnTheLineAndTheDisplayFollowsTheRadio) {
    PanelOptions options;
    options.simulate = true;
    CRemoteControllerApp app(options);
    std::vector<int> boxes;
    app.SetControllerFactory([&](CMainPanelDlg& dialog) {
        dialog.SetBoxRunner([&](int id) { boxes.push_back(id); });
        return MakePanelControllerClient(dialog);
    });
    bool connected = false;
    bool radioMoved = false;
    bool storeFollowed = false;
    bool displayFollowed = false;
    int32_t before = 0;
    int32_t after = 0;
    app.SetRunningHook([&](CMainPanelDlg& dialog) {
        Transceiver& radio = app.Radio()->Radio();
        ASSERT_TRUE(WaitFor([] { return StoreReady.load() != 0; }, 5000));
        ClickPanel(dialog, 40, 208);  // COM
        connected = WaitFor(
            [&] { return GetField(Field::AI) == 1 && GetField(Field::FA) == radio.State().fa; },
            10000);
        before = radio.State().fa;
        ClickPanel(dialog, 869 + 20, 28 + 5);  // band key 7 MHz
        radioMoved = WaitFor([&] { return radio.State().fa / 1000000 == 7; }, 5000);
        after = radio.State().fa;
        storeFollowed = WaitFor([&] { return GetField(Field::FA) == after; }, 5000);
        // The frequency display is redrawn from the store within its 30 ms timer.
        QCoreApplication::processEvents();
        PanelPainter reference;
        reference.LoadSkin();
        reference.DrawFrequency(after, 0);
        displayFollowed = WaitFor(
            [&] {
                const QRect area = FrequencyArea();
                return dialog.Painter().Picture().copy(area) == reference.Picture().copy(area);
            },
            2000);
        dialog.reject();
    });
    app.InitInstance();
    EXPECT_TRUE(connected);
    EXPECT_NE(before / 1000000, 7);
    EXPECT_TRUE(radioMoved);
    EXPECT_TRUE(storeFollowed);
    EXPECT_TRUE(displayFollowed);
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace kestrel
