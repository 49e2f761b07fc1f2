#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/panel_options.h"
#include "app/remote_controller_app.h"
#include "platform/real_runtime.h"
#include "res/strings.h"

namespace {

// Without a display Qt's desktop platforms end the process; say why instead.
bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kestrel;
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
        std::cout << LoadString(114) << " " << kPanelVersion << "\n";
        return 0;
    }
    if (!DisplayAvailable()) {
        std::cerr << "kestrel-panel: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "set QT_QPA_PLATFORM=offscreen to run without one\n";
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("kestrel-panel");
    RealRuntime runtime;
    SetRuntime(&runtime);
    CRemoteControllerApp app(*options);
    app.InitInstance();
    SetRuntime(nullptr);
    return 0;
}
