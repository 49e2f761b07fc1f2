#include <QtCore/qtestsupport_core.h>

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <fstream>
#include <vector>

#include "app/main_panel_dlg.h"
#include "app/panel_controller_client.h"
#include "app/remote_controller_app.h"
#include "app_window_fixture.h"
#include "option_test_support.h"
#include "platform/workers.h"
#include "protocol/store_flags.h"
#include "sim/built_in_radio.h"

namespace kestrel::testing {
namespace {

constexpr Worker kWorkers[] = {Worker::AnlRecv, Worker::SioRecv, Worker::SioSend, Worker::AnlSend};

// The whole program on real threads against the built-in radio on a pseudo-terminal, in a
// private working directory.
class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { SetRuntime(&runtime_); }
    void TearDown() override { SetRuntime(nullptr); }
    // Checks what every run leaves behind once the main window has ended.
    void ExpectShutDown(const CRemoteControllerApp& app) const {
        EXPECT_EQ(app.ModalResult(), QDialog::Rejected);
        for (const Worker worker : kWorkers) {
            const auto loop = WorkerLoop(worker);
            EXPECT_TRUE(loop == nullptr || !loop->IsRunning()) << static_cast<int>(worker);
        }
        EXPECT_EQ(TheMainWindow(), nullptr);
        EXPECT_EQ(g_pMainDlg, nullptr);
    }

    WorkingFolder folder;
    RealRuntime runtime_;
};

TEST_F(EndToEnd, ComKeyConnectsToTheSimulatorAndTheDisplayFollowsABandKey) {
    std::ofstream(folder.path + "/CommoFiles/CommSetting.csv") << "1,38400,0\n";
    PanelOptions options;
    options.simulate = true;
    CRemoteControllerApp app(options);
    std::vector<int> boxes;
    app.SetControllerFactory([&](CMainPanelDlg& window) {
        window.SetBoxRunner([&](int stringId) { boxes.push_back(stringId); });
        return MakePanelControllerClient(window);
    });
    bool ready = false, connected = false, radioMoved = false, shown = false;
    int32_t before = 0, after = 0;
    // The band key's request and the display following the radio's answer need all four workers.
    app.SetRunningHook([&](CMainPanelDlg& window) {
        const Transceiver& radio = app.Radio()->Radio();
        ready = QTest::qWaitFor([] { return StoreReady.load() != 0; });  // the menu catalogue
        ClickAt(window.PanelWidget(), {40, 208});                        // COM
        connected = QTest::qWaitFor(
            [&] { return GetField(Field::AI) == 1 && GetField(Field::FA) == radio.State().fa; });
        before = radio.State().fa;
        ClickAt(window.PanelWidget(), {869 + 20, 28 + 5});  // band key 7 MHz
        radioMoved = QTest::qWaitFor([&] { return radio.State().fa / 1000000 == 7; });
        after = radio.State().fa;
        shown = QTest::qWaitFor([&] {
            return GetField(Field::FA) == after &&
                   PictureShowsFrequency(window.Painter().Picture(), after);
        });
        // The connected panel, kept where the build keeps its artifacts.
        QDir().mkpath(QCoreApplication::applicationDirPath() + "/../artifacts");
        window.Painter().Picture().save(QCoreApplication::applicationDirPath() +
                                        "/../artifacts/panel.png");
        window.reject();
    });
    app.InitInstance();
    EXPECT_TRUE(ready);
    EXPECT_TRUE(connected);
    EXPECT_NE(before / 1000000, 7);
    EXPECT_TRUE(radioMoved);
    EXPECT_TRUE(shown) << "the panel shows the simulator's " << after << " Hz";
    EXPECT_EQ(boxes, (std::vector<int>{}));
    ExpectShutDown(app);
}

TEST_F(EndToEnd, UnusablePortStillShowsThePanelWithOneBoxAndWritesTheSettings) {
    PanelOptions options;
    options.device = folder.path + "/no-such-port";
    CRemoteControllerApp app(options);
    std::vector<int> boxes;
    app.SetPrepareHook([&](CMainPanelDlg& window) {
        // The window ends once the opener's failure box has been shown.
        window.SetBoxRunner([&](int stringId) {
            boxes.push_back(stringId);
            QTimer::singleShot(0, &window, &QDialog::reject);
        });
    });
    app.InitInstance();
    EXPECT_EQ(boxes, (std::vector<int>{106}));
    EXPECT_EQ(folder.Read("CommoFiles/CommSetting.csv"), "1,4800,0\n")
        << "no settings file yet: the defaults are written";
    ExpectShutDown(app);
}

}  // namespace
}  // namespace kestrel::testing
