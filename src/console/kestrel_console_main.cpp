#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cat/engine_lifecycle.h"
#include "cat/store_flags.h"
#include "console/console_options.h"
#include "console/console_session.h"
#include "console/tracing_device.h"
#include "platform/headless_main_window.h"
#include "platform/real_runtime.h"
#include "serial/serial_port.h"
#include "sim/pty_link.h"
#include "sim/transceiver.h"

namespace {

constexpr int64_t kCatalogueWaitMs = 5000;
constexpr int64_t kCataloguePollMs = 5;

// The built-in transceiver on a pseudo-terminal. The program opens it through a symbolic link in
// a private folder, so that it finds the radio again on the new terminal after a pulled cable.
class BuiltInRadio {
  public:
    explicit BuiltInRadio(int baud)
        : folder_(MakeFolder()),
          link_({baud, 2, false}, folder_.empty() ? "" : folder_ + "/radio",
                [](const std::string&) {}),
          radio_(link_) {
        link_.Attach(radio_);
    }
    ~BuiltInRadio() {
        radio_.Stop();
        link_.Stop();
        if (!folder_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
    }
    // Starts the radio and returns the path the program opens, or "" when no terminal was made.
    std::string Start() {
        if (folder_.empty() || !link_.Start()) {
            return {};
        }
        radio_.Start();
        return folder_ + "/radio";
    }

  private:
    static std::string MakeFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-console-XXXXXX");
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string{};
    }

    std::string folder_;
    kestrel::PtyLink link_;
    kestrel::Transceiver radio_;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace kestrel;
    std::string error;
    const auto options =
        ParseConsoleOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "kestrel-console: " << error << "\n" << ConsoleUsage();
        return 2;
    }
    if (options->help) {
        std::cout << ConsoleUsage();
        return 0;
    }

    RealRuntime runtime;
    SetRuntime(&runtime);
    ConsoleSession session(std::cout);
    if (!options->device.empty()) {
        TheSerialPort().SetDeviceOverride(options->device);
    }
    if (options->trace) {
        TheSerialPort().SetDeviceFactory(
            TracingTermiosFactory([&session](std::string_view line) { session.Print(line); }));
    }

    std::unique_ptr<BuiltInRadio> builtInRadio;
    auto startRadio = [&] {
        if (!options->simulate) {
            return;
        }
        builtInRadio = std::make_unique<BuiltInRadio>(TheSerialPort().BaudRate());
        const std::string path = builtInRadio->Start();
        if (path.empty()) {
            session.Print("error: the simulated transceiver could not be started");
            return;
        }
        TheSerialPort().SetDeviceOverride(path);
    };

    HeadlessMainWindow window(
        [&session](const Message& m) { return session.HandleWindowMessage(m); });
    SetMainWindow(&window);
    StartEngine([&session](int stringId) { session.ShowMessage(stringId); }, startRadio);

    for (int64_t waited = 0; !StoreReady.load() && waited < kCatalogueWaitMs;
         waited += kCataloguePollMs) {
        runtime.SleepMs(kCataloguePollMs);
    }
    session.Print("ready");

    std::string line;
    while (std::getline(std::cin, line) && session.HandleLine(line)) {
    }

    StopEngine();
    window.Close();
    StopWorker(&window.Loop());
    SetMainWindow(nullptr);
    builtInRadio.reset();
    TheSerialPort().SetDeviceFactory(nullptr);
    return 0;
}
