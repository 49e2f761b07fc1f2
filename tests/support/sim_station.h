#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/engine_lifecycle.h"
#include "engine/engine_timers.h"
#include "line_taps.h"
#include "platform/headless_main_window.h"
#include "platform/memory_serial_pair.h"
#include "platform/paths.h"
#include "platform/startup_box.h"
#include "platform/virtual_runtime.h"
#include "platform/workers.h"
#include "protocol/message_ring.h"
#include "protocol/store_flags.h"
#include "serial/serial_port.h"
#include "sim/memory_pair_link.h"
#include "sim/transceiver.h"

namespace kestrel {

// One command or answer on the line, with the virtual time it was written.
struct LineText {
    int64_t atMs;
    std::string text;
};

// Everything that crossed the line in one direction, cut into commands at each ";".
class LineLog {
  public:
    // Adds written bytes; a command split over two writes is dated by its last part.
    void Add(int64_t atMs, std::string_view bytes) {
        std::lock_guard lock(mutex_);
        for (const char c : bytes) {
            pending_ += c;
            if (c == ';') {
                entries_.push_back({atMs, std::exchange(pending_, std::string())});
            }
        }
    }
    // Returns the commands written at or after a time.
    std::vector<LineText> Since(int64_t atMs) const {
        std::lock_guard lock(mutex_);
        std::vector<LineText> found;
        std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(found),
                     [&](const LineText& entry) { return entry.atMs >= atMs; });
        return found;
    }
    // Returns the commands from the index-th on.
    std::vector<LineText> From(size_t index) const {
        std::lock_guard lock(mutex_);
        return std::vector<LineText>(
            entries_.begin() + static_cast<ptrdiff_t>(std::min(index, entries_.size())),
            entries_.end());
    }
    // Returns how many commands there are.
    size_t Size() const {
        std::lock_guard lock(mutex_);
        return entries_.size();
    }

  private:
    mutable std::mutex mutex_;
    std::string pending_;
    std::vector<LineText> entries_;
};

// Returns the texts of line entries, without their times.
inline std::vector<std::string> TextsOf(const std::vector<LineText>& entries) {
    std::vector<std::string> texts;
    for (const LineText& entry : entries) {
        texts.push_back(entry.text);
    }
    return texts;
}

// The program's engine on one virtual clock, with the simulated transceiver at the other end of an
// in-memory cable, in a fresh working folder whose settings file names the radio's line. The
// commands the program writes are logged with their times, and taps may see both directions. The
// main window is headless: it hands timers to the engine and every other message to a handler.
class SimStation {
  public:
    // Builds the station and starts the engine; returns what failed, or an empty text.
    std::string Start(const SimOptions& options, std::function<void(const Message&)> onMessage,
                      const std::function<void(int stringId)>& onStartupString) {
        char dirTemplate[] = "/tmp/kestrel-station-XXXXXX";
        if (::mkdtemp(dirTemplate) == nullptr) {
            return "no temporary folder";
        }
        workDir = dirTemplate;
        SetWorkingDirectoryBase(workDir);
        std::filesystem::create_directory(CommoFolderPath());
        std::ofstream(CommoFilePath("CommSetting.csv")) << kSettingsText;

        SetRuntime(&rt);
        AutoInfoSent.store(0);
        AnswerWaiting.store(0);
        StartupBoxShown.store(0);

        pair = std::make_unique<MemorySerialPair>();
        link = std::make_unique<MemoryPairLink>(*pair, kRadioLine);
        radioOut = std::make_unique<TappedSink>(*link, [this](std::string_view bytes) {
            if (onAnswer) {
                onAnswer(bytes);
            }
        });
        radio = std::make_unique<Transceiver>(*radioOut, options);
        link->Attach(*radio);
        radio->SetLinkControl(link.get());
        if (!link->Start()) {
            return "the link did not start";
        }
        radio->Start();
        TheSerialPort().SetDeviceFactory(
            TappedFactory(pair->Factory(MemorySerialPair::Side::A), [this](std::string_view bytes) {
                commands.Add(Rt().NowMs(), bytes);
                if (onCommand) {
                    onCommand(bytes);
                }
            }));
        window = std::make_unique<HeadlessMainWindow>(
            [onMessage = std::move(onMessage)](const Message& m) -> int64_t {
                if (m.id != kMsgTimer || !DispatchEngineTimer(static_cast<int>(m.wParam))) {
                    onMessage(m);
                }
                return 0;
            });
        SetMainWindow(window.get());
        if (!StartEngine(onStartupString) ||
            !rt.RunUntil([] { return StoreReady.load() == 1; }, 2000)) {
            return "the engine did not start";
        }
        return {};
    }

    // Stops the engine and the radio and clears what they left in the globals and on disk.
    void Stop() {
        if (window) {
            StopEngine();
            window->Close();
            StopWorker(&window->Loop());
        }
        // The loader ends itself once the catalogue is in; this only clears its slot.
        StopWorkerInSlot(Worker::MenuLoader);
        SetMainWindow(nullptr);
        window.reset();
        TheSerialPort().SetDeviceFactory(nullptr);
        if (radio) {
            radio->Stop();
            radio->SetLinkControl(nullptr);
            link->Stop();
        }
        link.reset();
        radio.reset();
        radioOut.reset();
        pair.reset();
        CommandRing.Empty();
        AnswerRing.Empty();
        AutoInfoSent.store(0);
        AnswerWaiting.store(0);
        StoreReady.store(0);
        SetRuntime(nullptr);
        SetWorkingDirectoryBase("");
        if (!workDir.empty()) {
            std::filesystem::remove_all(workDir);
        }
    }

    // What the settings file holds: the port and the radio's rate.
    static constexpr const char* kSettingsText = "1,4800,0\n";
    static constexpr LineSettings kRadioLine{.baud = 4800, .stopBits = 2, .ctsFlow = false};

    VirtualRuntime rt;
    std::unique_ptr<MemorySerialPair> pair;
    std::unique_ptr<MemoryPairLink> link;
    std::unique_ptr<ByteSink> radioOut;
    std::unique_ptr<Transceiver> radio;
    std::unique_ptr<HeadlessMainWindow> window;
    std::string workDir;

    LineLog commands;  // what the program wrote to its port
    TapFn onCommand;   // sees each write to the port after the log, when set
    TapFn onAnswer;    // sees each of the radio's sends, when set
};

}  // namespace kestrel
