// Measures the whole program on real threads against the built-in radio: the time from a mouse
// press on a key, and from a wheel notch on the main dial, until the radio has taken the command
// off the line, and how long the press keeps the user-interface thread. The path runs on the
// worker threads, so the figures are what the operator waits for, not a thread tick.
#include <QtCore/qtestsupport_core.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "app/main_panel_dlg.h"
#include "app/panel_controller_client.h"
#include "app/remote_controller_app.h"
#include "platform/paths.h"
#include "platform/real_runtime.h"
#include "protocol/radio_state.h"
#include "protocol/store_flags.h"
#include "sim/built_in_radio.h"

namespace {

using namespace kestrel;
using Clock = std::chrono::steady_clock;
constexpr int kSamples = 60;
constexpr QPointF kFastKey(670, 160);  // FAST: toggles "FS"
constexpr QPointF kMainDial(575, 219);

void SendMouse(CMainPanelDlg& window, QEvent::Type type, QPointF at) {
    QWidget* view = window.PanelWidget();
    QMouseEvent event(type, at, view->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

void WheelNotch(CMainPanelDlg& window, QPointF at, int delta) {
    QWidget* view = window.PanelWidget();
    QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
}

// Waits without handling events (the path to the line needs no user-interface work) until pred
// holds; returns the time since start in microseconds, or -1 after a second.
double MicrosUntil(Clock::time_point start, const std::function<bool()>& pred) {
    while (!pred()) {
        if (Clock::now() - start > std::chrono::seconds(1)) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Report(const char* what, std::vector<double> samples) {
    if (samples.empty()) {
        std::printf("%-40s no samples\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    const double p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    const auto lost = std::count(samples.begin(), samples.end(), -1.0);
    std::printf("%-40s median %6.0f us   p99 %6.0f us   (%zu samples, %td lost)\n", what, median,
                p99, samples.size(), lost);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    char folder[] = "/tmp/kestrel-gui-latency-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        return 1;
    }
    std::filesystem::create_directories(std::string(folder) + "/CommoFiles");
    std::ofstream(std::string(folder) + "/CommoFiles/CommSetting.csv") << "1,38400,0\n";
    SetWorkingDirectoryBase(folder);
    RealRuntime runtime;
    SetRuntime(&runtime);

    PanelOptions options;
    options.simulate = true;
    CRemoteControllerApp app(options);
    app.SetControllerFactory([](CMainPanelDlg& window) {
        window.SetBoxRunner([](int) {});
        return MakePanelControllerClient(window);
    });
    std::vector<double> press;
    std::vector<double> handler;
    std::vector<double> wheel;
    app.SetRunningHook([&](CMainPanelDlg& window) {
        const Transceiver& radio = app.Radio()->Radio();
        const bool up = QTest::qWaitFor([] { return StoreReady.load() != 0; }) &&
                        (SendMouse(window, QEvent::MouseButtonPress, {40, 208}),
                         SendMouse(window, QEvent::MouseButtonRelease, {40, 208}),
                         QTest::qWaitFor([] { return GetField(Field::AI) == 1; }, 10000));
        if (up) {
            // Let the initial read finish so that its commands do not queue ahead.
            static_cast<void>(QTest::qWaitFor(
                [&] { return window.ReadingRunning() == 0 && GetField(Field::PS) == 1; }));
            QTest::qWait(1500);
            for (int i = 0; i < kSamples; ++i) {
                const int before = radio.State().fs;
                // The toggle reads the reported value: wait until the store has the radio's.
                if (!QTest::qWaitFor([&] { return GetField(Field::FS) == before; }, 2000)) {
                    break;
                }
                const auto start = Clock::now();
                SendMouse(window, QEvent::MouseButtonPress, kFastKey);
                handler.push_back(
                    std::chrono::duration<double, std::micro>(Clock::now() - start).count());
                press.push_back(MicrosUntil(start, [&] { return radio.State().fs != before; }));
                SendMouse(window, QEvent::MouseButtonRelease, kFastKey);
            }
            for (int i = 0; i < kSamples; ++i) {
                const int before = radio.State().fa;
                const auto start = Clock::now();
                WheelNotch(window, kMainDial, i % 2 == 0 ? 120 : -120);
                wheel.push_back(MicrosUntil(start, [&] { return radio.State().fa != before; }));
                QTest::qWait(5);
            }
        } else {
            std::printf(
                "the panel did not connect to the built-in radio (ready %d, AI %d, PS %d)\n",
                StoreReady.load(), GetField(Field::AI), GetField(Field::PS));
        }
        window.reject();
    });
    app.InitInstance();
    Report("mouse press on FAST to radio", press);
    Report("wheel notch on main dial to radio", wheel);
    Report("press handled on the UI thread", handler);
    SetRuntime(nullptr);
    SetWorkingDirectoryBase("");
    std::filesystem::remove_all(folder);
    return press.empty() ? 1 : 0;
}
