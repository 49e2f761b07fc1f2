#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "console/console_options.h"
#include "console/console_session.h"
#include "console/tracing_device.h"
#include "engine_api/radio_engine.h"
#include "platform/headless_main_window.h"
#include "platform/paths.h"
#include "platform/real_runtime.h"
#include "protocol/store_flags.h"
#include "server/engine_radio_access.h"
#include "server/radio_server.h"
#include "sim/built_in_radio.h"

namespace {

constexpr int64_t kCatalogueWaitMs = 5000;
constexpr int64_t kCataloguePollMs = 5;

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

    if (!ChooseCommoFolder(options->files, error)) {
        std::cerr << "kestrel-console: " << error << "\n";
        if (!options->files.empty()) {
            return 1;
        }
    }

    RealRuntime runtime;
    SetRuntime(&runtime);
    ConsoleSession session(std::cout);
    if (!options->device.empty()) {
        RadioEngine::SetDeviceOverride(options->device);
    }
    if (options->trace) {
        RadioEngine::SetDeviceFactory(
            TracingTermiosFactory([&session](std::string_view line) { session.Print(line); }));
    }

    std::unique_ptr<BuiltInRadio> builtInRadio;
    auto startRadio = [&] {
        if (!options->simulate) {
            return;
        }
        builtInRadio = std::make_unique<BuiltInRadio>(RadioEngine::BaudRate());
        const std::string path = builtInRadio->Start();
        if (path.empty()) {
            session.Print("error: the simulated transceiver could not be started");
            return;
        }
        RadioEngine::SetDeviceOverride(path);
    };

    HeadlessMainWindow window(
        [&session](const Message& m) { return session.HandleWindowMessage(m); });
    SetMainWindow(&window);
    RadioEngine::Start([&session](int stringId) { session.ShowMessage(stringId); }, startRadio);

    for (int64_t waited = 0; !StoreReady.load() && waited < kCatalogueWaitMs;
         waited += kCataloguePollMs) {
        runtime.SleepMs(kCataloguePollMs);
    }
    session.Print("ready");

    EngineRadioAccess radio;
    RadioServer server(radio);
    int status = 0;
    const ServerOptions& share = options->share;
    if (share.rigctl || share.xmlrpc) {
        std::string serverError;
        if (server.Start(share, serverError)) {
            for (const auto& [name, endpoint, port] :
                 {std::tuple{"rigctl", share.rigctl, server.RigctlPort()},
                  std::tuple{"xmlrpc", share.xmlrpc, server.XmlrpcPort()}}) {
                if (endpoint) {
                    session.Print(std::string("sharing ") + name + " " +
                                  FormatListenEndpoint({endpoint->address, port}));
                }
            }
        } else {
            session.Print("error: " + serverError);
            status = 1;
        }
    }

    std::string line;
    while (status == 0 && std::getline(std::cin, line) && session.HandleLine(line)) {
    }

    server.Stop();
    RadioEngine::Stop();
    window.Close();
    StopWorker(&window.Loop());
    SetMainWindow(nullptr);
    builtInRadio.reset();
    RadioEngine::SetDeviceFactory(nullptr);
    return status;
}
