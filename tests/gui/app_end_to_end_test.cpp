#include <stdlib.h>

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/main_panel_dlg.h"
#include "app/remote_controller_app.h"
#include "app_window_fixture.h"
#include "engine/anl_send_thread.h"
#include "platform/paths.h"
#include "platform/workers.h"
#include "protocol/store_flags.h"
#include "sim/built_in_radio.h"

namespace kestrel::testing {
namespace {

// The whole program on real threads against the built-in radio on a pseudo-terminal, in a
// private working directory.
class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kestrel-panel-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        SetWorkingDirectoryBase(folder_);
        SetRuntime(&runtime_);
    }
    void TearDown() override {
        SetRuntime(nullptr);
        SetWorkingDirectoryBase({});
        std::filesystem::remove_all(folder_);
    }
    std::string SavedSettings() const {
        std::ifstream file(folder_ + "/CommoFiles/CommSetting.csv");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::string folder_;
    RealRuntime runtime_;
};

// Saves the connected panel where the build keeps its artifacts.
void SaveArtifact(const QImage& picture) {
    const QString folder = QCoreApplication::applicationDirPath() + "/../artifacts";
    QDir().mkpath(folder);
    picture.save(folder + "/panel.png");
}

TEST_F(EndToEnd, ConnectsToTheSimulatorAndShowsItsFrequency) {
    PanelOptions options;
    options.simulate = true;
    CRemoteControllerApp app(options);
    std::vector<int> boxes;
    app.SetPrepareHook([&](CMainPanelDlg& window) {
        window.SetBoxRunner([&](int stringId) { boxes.push_back(stringId); });
    });

    int32_t radioFrequency = 0;
    bool shown = false;
    bool workersRan = false;
    bool connectPosted = false;
    app.SetRunningHook([&](CMainPanelDlg& window) {
        workersRan = WorkerLoop(Worker::SioRecv) && WorkerLoop(Worker::SioRecv)->IsRunning();
        auto* poll = new QTimer(&window);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        QObject::connect(poll, &QTimer::timeout, &window, [&, poll, deadline] {
            ASSERT_NE(app.Radio(), nullptr);
            // The operator's COM key, once the menu catalogue is loaded.
            if (!connectPosted && StoreReady.load() != 0) {
                connectPosted = PostConnect();
            }
            radioFrequency = app.Radio()->Radio().State().fa;
            shown = GetField(Field::AI) == 1 && GetField(Field::FA) == radioFrequency &&
                    PictureShowsFrequency(window.Painter().Picture(), radioFrequency);
            if (shown || std::chrono::steady_clock::now() > deadline) {
                poll->stop();
                SaveArtifact(window.Painter().Picture());
                window.reject();
            }
        });
        poll->start(50);
    });

    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(workersRan);
    EXPECT_TRUE(shown) << "the panel shows the simulator's " << radioFrequency << " Hz";
    EXPECT_EQ(app.ModalResult(), QDialog::Rejected);
    EXPECT_EQ(boxes, (std::vector<int>{})) << "no settings file yet is a first start: no box";
    EXPECT_EQ(SavedSettings(), "1,4800,0\n") << "the settings are written at shutdown";
    for (const Worker worker :
         {Worker::SioRecv, Worker::AnlRecv, Worker::AnlSend, Worker::SioSend}) {
        const auto loop = WorkerLoop(worker);
        EXPECT_TRUE(loop == nullptr || !loop->IsRunning()) << "every worker is stopped";
    }
    EXPECT_EQ(TheMainWindow(), nullptr);
    EXPECT_EQ(g_pMainDlg, nullptr);
}

TEST_F(EndToEnd, UnusablePortStillShowsThePanelWithOneBox) {
    PanelOptions options;
    options.device = folder_ + "/no-such-port";
    CRemoteControllerApp app(options);
    std::vector<int> boxes;
    app.SetPrepareHook([&](CMainPanelDlg& window) {
        window.SetBoxRunner([&](int stringId) { boxes.push_back(stringId); });
    });
    app.SetRunningHook([&](CMainPanelDlg& window) {
        // The opener's failure report is handled once the modal loop runs; a second report with
        // mode 0 would be swallowed while its box is open.
        QTimer::singleShot(100, &window, [&window] { window.reject(); });
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(boxes, (std::vector<int>{106}));
    EXPECT_EQ(SavedSettings(), "1,4800,0\n");
}

}  // namespace
}  // namespace kestrel::testing
