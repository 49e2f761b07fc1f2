#include <malloc.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/main_panel_dlg.h"
#include "app/panel_controller_client.h"
#include "app/panel_options.h"
#include "app/remote_controller_app.h"
#include "app/suspend_watcher.h"
#include "platform/paths.h"
#include "platform/real_runtime.h"
#include "res/strings.h"
#include "skin/skin_artwork.h"

namespace {

// Without a display Qt's desktop platforms end the process; say why instead.
bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Pictures of this size and more get mappings of their own, returned whole when freed.
constexpr int kOwnMappingFromBytes = 128 * 1024;

// The name of the desktop entry, which is also the window's class name.
constexpr const char* kDesktopName = "kestrel-panel";

// The sizes of the window icon, as the installed icon theme has them.
constexpr std::array<int, 6> kIconSizes{16, 24, 32, 48, 64, 128};

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : kIconSizes) {
        icon.addPixmap(QPixmap::fromImage(kestrel::DrawAppIconImage(size)));
    }
    return icon;
}

// The write end of the pipe through which SIGINT and SIGTERM reach the user-interface thread.
int signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

// Ctrl+C in the terminal or a plain kill ends the main window as if cancelled, so that the
// shutdown sequence still saves the settings, stops the workers and removes the built-in
// radio's terminal.
void EndWindowOnStopSignals(QObject* owner) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t ignored = ::read(signalPipe[0], &byte, 1);
        if (kestrel::g_pMainDlg != nullptr) {
            kestrel::g_pMainDlg->reject();
        }
    });
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kestrel;
    // Left to itself, the allocator raises this threshold whenever a large block is freed, after
    // which the skin's panel-sized scratch pictures come from the heap and leave megabytes
    // there that the program never gets back.
    ::mallopt(M_MMAP_THRESHOLD, kOwnMappingFromBytes);
    std::string error;
    const auto options = ParsePanelOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "kestrel-panel: " << error << "\n" << PanelUsage();
        return 2;
    }
    if (options->help) {
        std::cout << PanelUsage();
        return 0;
    }
    if (options->version) {
        std::cout << LoadString(114) << " " << KESTREL_VERSION << "\n";
        return 0;
    }
    if (!options->skinFolder.empty() && !std::filesystem::is_directory(options->skinFolder)) {
        std::cerr << "kestrel-panel: the skin folder '" << options->skinFolder
                  << "' does not exist\n";
        return 2;
    }
    if (!DisplayAvailable()) {
        std::cerr << "kestrel-panel: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "set QT_QPA_PLATFORM=offscreen to run without one\n";
        return 1;
    }

    // An unusable default folder still lets the panel run on its defaults; a folder named on the
    // command line must be usable.
    if (!ChooseCommoFolder(options->filesFolder, error)) {
        std::cerr << "kestrel-panel: " << error << "\n";
        if (!options->filesFolder.empty()) {
            return 1;
        }
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(kDesktopName);
    QGuiApplication::setDesktopFileName(kDesktopName);
    QApplication::setWindowIcon(ApplicationIcon());
    EndWindowOnStopSignals(&application);
    SuspendWatcher suspendWatcher;
    RealRuntime runtime;
    SetRuntime(&runtime);
    CRemoteControllerApp app(*options);
    app.SetControllerFactory(MakePanelControllerClient);
    app.InitInstance();
    SetRuntime(nullptr);
    return 0;
}
