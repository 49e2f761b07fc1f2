#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/headless_main_window.h"
#include "platform/memory_serial_pair.h"
#include "platform/message.h"
#include "platform/paths.h"
#include "platform/startup_box.h"
#include "platform/virtual_runtime.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/store_flags.h"
#include "serial/serial_port.h"
#include "support/serial_text.h"

namespace kestrel {

using Side = MemorySerialPair::Side;

// The serial port on the virtual runtime, joined by the in-memory cable to a far end that the
// test plays, in a private working directory. The headless main window records what it is posted.
class SerialLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        SetRuntime(&rt_);
        window_ = std::make_unique<HeadlessMainWindow>([this](const Message& message) {
            std::lock_guard lock(mutex_);
            posted_.push_back(message.id);
            return int64_t{0};
        });
        SetMainWindow(window_.get());
        SetWorkingDirectoryBase(dir_);
        InitControlMirror();
        StoreReady = 1;
        AutoInfoSent = AnswerWaiting = StartupBoxShown = 0;
        CommandRing.Empty();
        AnswerRing.Empty();
        TheSerialPort().Initialise();
        TheSerialPort().SetDeviceFactory(pair_.Factory(Side::A));
        far_ = pair_.Open(Side::B);
    }

    void TearDown() override {
        TheSerialPort().Close();
        TheSerialPort().SetDeviceFactory(nullptr);
        TheSerialPort().SetDeviceOverride("");
        for (Worker worker : {Worker::SioRecv, Worker::SioSend, Worker::AnlRecv, Worker::AnlSend}) {
            StopWorkerInSlot(worker);
        }
        window_->Close();
        SetMainWindow(nullptr);
        far_.reset();
        StoreReady = StartupBoxShown = 0;
        SetWorkingDirectoryBase("");
        window_.reset();
        SetRuntime(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Lets the line carry what was written, then returns what reached the far end.
    std::string FarReceived(int64_t ms = 100) {
        rt_.RunFor(ms);
        return ReadReady(*far_);
    }

    // Writes bytes at the far end (the transceiver answering).
    void FarSends(std::string_view text) { ASSERT_TRUE(WriteText(*far_, text, 0)); }

    // Returns how often the main window was posted the message.
    int PostedCount(uint32_t id) {
        rt_.RunFor(1);
        std::lock_guard lock(mutex_);
        return static_cast<int>(std::count(posted_.begin(), posted_.end(), id));
    }

    // Opens the port and takes the "AI0;" it writes on opening off the line.
    void OpenPort() {
        ASSERT_TRUE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
        ASSERT_EQ(FarReceived(), "AI0;");
    }

    VirtualRuntime rt_;
    std::string dir_;
    MemorySerialPair pair_;
    std::unique_ptr<SerialDevice> far_;
    std::unique_ptr<HeadlessMainWindow> window_;
    std::mutex mutex_;
    std::vector<uint32_t> posted_;
};

}  // namespace kestrel
