#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "platform/com_links.h"
#include "platform/csv_reader.h"
#include "platform/memory_serial_pair.h"
#include "platform/paths.h"
#include "platform/pty_pair.h"
#include "platform/termios_device.h"
#include "platform/virtual_runtime.h"
#include "support/serial_text.h"

namespace kestrel {
namespace {

using Side = MemorySerialPair::Side;

class MemorySerialPairTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRuntime(&rt_);
        a_ = pair_.Open(Side::A);
        b_ = pair_.Open(Side::B);
        ASSERT_TRUE(a_ && b_);
    }
    void TearDown() override {
        a_.reset();
        b_.reset();
        SetRuntime(nullptr);
    }
    static void Send(SerialDevice& end, std::string_view text) {
        ASSERT_TRUE(WriteText(end, text, 0));
    }

    VirtualRuntime rt_;
    MemorySerialPair pair_;
    std::unique_ptr<SerialDevice> a_;
    std::unique_ptr<SerialDevice> b_;
};

// Eleven bits a byte (8N2): 2291 us a byte at 4800 baud, 286 us at 38400.
TEST_F(MemorySerialPairTest, DeliversElevenBitsPerByteAtTheBaudRate) {
    Send(*a_, "0123456789");
    rt_.RunFor(22);
    EXPECT_EQ(ReadReady(*b_), "012345678");
    rt_.RunFor(1);
    EXPECT_EQ(ReadReady(*b_), "9");
    ASSERT_TRUE(a_->Configure({.baud = 38400, .stopBits = 2, .ctsFlow = true}));
    Send(*a_, std::string(100, 'x'));
    rt_.RunFor(28);
    EXPECT_EQ(ReadReady(*b_).size(), 97u);
}

TEST_F(MemorySerialPairTest, LoweredRtsHoldsPeerOutputInItsQueue) {
    ASSERT_TRUE(a_->SetRts(false));
    Send(*b_, "FA14250000;");
    rt_.RunFor(100);
    EXPECT_EQ(ReadReady(*a_), "");
    LineStatus status;
    ASSERT_TRUE(b_->QueryStatus(status));
    EXPECT_EQ(status.outQueue, 11u);
    ASSERT_TRUE(a_->SetRts(true));
    rt_.RunFor(30);
    EXPECT_EQ(ReadReady(*a_), "FA14250000;");
}

// Injected errors are reported once, status bits until cleared; a full input queue loses bytes
// with an overflow.
TEST_F(MemorySerialPairTest, ReportsQueuesAndInjectedErrorsOnce) {
    Send(*b_, "abc");
    rt_.RunFor(10);
    pair_.InjectErrors(Side::A, kLineFraming);
    pair_.SetStatusBits(Side::A, kStatusDsrHold);
    pair_.SetExtraOutQueue(Side::A, 7);
    LineStatus status;
    ASSERT_TRUE(a_->QueryStatus(status));
    EXPECT_EQ(std::tuple(status.inQueue, status.errors, status.status, status.outQueue),
              std::tuple(3u, kLineFraming, kStatusDsrHold, 7u));
    ASSERT_TRUE(a_->QueryStatus(status));
    EXPECT_EQ(std::tuple(status.errors, status.status), std::tuple(0u, kStatusDsrHold));
    Send(*b_, std::string(MemorySerialPair::kInputCapacity + 10, 'z'));
    rt_.RunFor(20000);
    ASSERT_TRUE(a_->QueryStatus(status));
    EXPECT_EQ(std::tuple(status.inQueue, status.errors),
              std::tuple(MemorySerialPair::kInputCapacity, kLineRxOverflow));
}

// An end opens once and drops what arrived while it was closed; an unplug hangs up both ends
// until the replug.
TEST_F(MemorySerialPairTest, EndOpensOnceAndUnplugHangsUpBothEndsUntilReplug) {
    EXPECT_EQ(pair_.Open(Side::A), nullptr);
    a_.reset();
    Send(*b_, "nobody");
    rt_.RunFor(50);
    a_ = pair_.Open(Side::A);
    ASSERT_NE(a_, nullptr);
    EXPECT_EQ(ReadReady(*a_), "");
    Send(*a_, "lost");
    pair_.Unplug();
    EXPECT_TRUE(a_->HungUp());
    EXPECT_TRUE(b_->Read(nullptr, 0).hungUp);
    LineStatus status;
    EXPECT_FALSE(a_->QueryStatus(status));
    EXPECT_FALSE(WriteText(*a_, "x", 0));
    EXPECT_EQ(pair_.Open(Side::A), nullptr);
    pair_.Replug();
    auto a = pair_.Open(Side::A);
    auto b = pair_.Open(Side::B);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a_->HungUp());  // an end from before the unplug stays dead
    Send(*a, "new");
    rt_.RunFor(10);
    EXPECT_EQ(ReadReady(*b), "new");
}

TEST_F(MemorySerialPairTest, ArrivalCallbackFiresWhenLastByteHasArrived) {
    int64_t calledAt = -1;
    std::string seen;
    pair_.SetArrivalCallback(Side::B, [&] {
        calledAt = rt_.NowMs();
        seen = ReadReady(*b_);
    });
    Send(*a_, "AI1;");  // 4 x 2291 us = 9.2 ms
    rt_.RunFor(50);
    EXPECT_EQ(calledAt, 10);
    EXPECT_EQ(seen, "AI1;");
}

class PtyDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pty_ = PtyPair::Create();
        ASSERT_NE(pty_, nullptr);
        port_ = TermiosDevice::Open(pty_->Path());
        ASSERT_NE(port_, nullptr);
        ASSERT_TRUE(port_->Configure({.baud = 9600, .stopBits = 2, .ctsFlow = true}));
    }
    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<TermiosDevice> port_;
};

TEST_F(PtyDeviceTest, BytesCrossBothWaysRawAndUnechoed) {
    ASSERT_TRUE(WriteText(pty_->FarEnd(), "FA14250000;\r\n"));
    EXPECT_EQ(ReadWhenReady(port_->Fd(), *port_, 13), "FA14250000;\r\n");
    ASSERT_TRUE(WriteText(*port_, "ID;\n"));
    EXPECT_EQ(ReadWhenReady(pty_->FarFd(), pty_->FarEnd(), 4), "ID;\n");
    // Nothing written to the terminal comes back to the far end as an echo.
    EXPECT_EQ(ReadReady(pty_->FarEnd()), "");
}

// A terminal has no modem lines or error counters; their absence, an empty read and an unknown
// rate are told apart from a failure.
TEST_F(PtyDeviceTest, QuietTerminalIsHealthyAndRefusesOnlyAnUnknownRate) {
    uint8_t buffer[16];
    const ReadResult r = port_->Read(buffer, sizeof buffer);
    EXPECT_EQ(std::tuple(r.count, r.hungUp, port_->HungUp(), port_->HasCounters()),
              std::tuple(0u, false, false, false));
    EXPECT_TRUE(port_->SetRts(false) && port_->SetRts(true));
    LineStatus status;
    ASSERT_TRUE(port_->QueryStatus(status));
    EXPECT_EQ(std::tuple(status.errors, status.status), std::tuple(0u, 0u));
    EXPECT_FALSE(port_->Configure({.baud = 1234, .stopBits = 2, .ctsFlow = true}));
    EXPECT_EQ(TermiosDevice::Open("/dev/null"), nullptr) << "not a terminal";
}

TEST_F(PtyDeviceTest, PulledCableIsAHangUp) {
    pty_->Unplug();
    EXPECT_TRUE(port_->HungUp());
    LineStatus status;
    EXPECT_FALSE(port_->QueryStatus(status));
    uint8_t buffer[4];
    EXPECT_TRUE(port_->Read(buffer, sizeof buffer).hungUp);
    EXPECT_FALSE(WriteText(*port_, "FA;"));
    EXPECT_EQ(TermiosDevice::Open(pty_->Path()), nullptr);
}

TEST_F(PtyDeviceTest, MoveKeepsOneOwner) {
    const int fd = port_->Fd();
    TermiosDevice moved(std::move(*port_));
    EXPECT_EQ(moved.Fd(), fd);
    EXPECT_EQ(port_->Fd(), -1);
    ASSERT_TRUE(WriteText(pty_->FarEnd(), "x"));
    EXPECT_EQ(ReadWhenReady(moved.Fd(), moved, 1), "x");
}

namespace fs = std::filesystem;

// A private working directory with a fake /dev: ttyUSB devices and a by-id folder of relative
// links to them, as udev makes it.
class ComLinks : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kestrel-com-links-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        SetWorkingDirectoryBase(root_);
        fs::create_directories(byId_ = root_ + "/dev/serial/by-id");
    }
    void TearDown() override {
        SetWorkingDirectoryBase("");
        fs::remove_all(root_);
    }
    void Plug(const std::string& name, const std::string& tty) {
        std::ofstream(root_ + "/dev/" + tty).put('\0');
        fs::create_symlink("../../" + tty, byId_ + "/" + name);
    }

    std::string root_;
    std::string byId_;
};

TEST_F(ComLinks, ListsAdaptersByStableNameWithTheirDevices) {
    EXPECT_TRUE(ListSerialAdapters(root_ + "/no-such-folder").empty());
    Plug("usb-Prolific_PL2303-if00-port0", "ttyUSB1");
    Plug("usb-FTDI_FT232R_A601-if00-port0", "ttyUSB0");
    fs::create_symlink("../../ttyACM9", byId_ + "/usb-Gone_Adapter-if00");  // unplugged meanwhile
    const std::vector<SerialAdapter> adapters = ListSerialAdapters(byId_);
    ASSERT_EQ(adapters.size(), 3u);
    EXPECT_EQ(adapters[0].name, "usb-FTDI_FT232R_A601-if00-port0");
    EXPECT_EQ(adapters[0].path, byId_ + "/usb-FTDI_FT232R_A601-if00-port0");
    EXPECT_EQ(adapters[0].device, root_ + "/dev/ttyUSB0");
    EXPECT_EQ(adapters[1].name, "usb-Gone_Adapter-if00");
    EXPECT_EQ(adapters[1].device, adapters[1].path);
    EXPECT_EQ(adapters[2].device, root_ + "/dev/ttyUSB1");
}

TEST_F(ComLinks, ChoosingAnAdapterLinksTheComPortToItsStableName) {
    EXPECT_EQ(ComTargetText(3), "/dev/ttyS2");
    Plug("usb-FTDI_FT232R_A601-if00-port0", "ttyUSB0");
    const SerialAdapter adapter = ListSerialAdapters(byId_).at(0);
    ASSERT_TRUE(LinkComPort(3, adapter.path));  // the folder is made on the way
    EXPECT_EQ(ComTargetText(3), adapter.path);
    EXPECT_EQ(ComDevicePath(3), ComLinkPath(3));
    EXPECT_EQ(fs::canonical(ComDevicePath(3)).string(), root_ + "/dev/ttyUSB0");

    // The adapter comes back as ttyUSB1: the same COM3 reaches it.
    fs::remove(byId_ + "/" + adapter.name);
    Plug(adapter.name, "ttyUSB1");
    EXPECT_EQ(fs::canonical(ComDevicePath(3)).string(), root_ + "/dev/ttyUSB1");

    // Choosing again replaces the link; a file standing in its place is never replaced.
    ASSERT_TRUE(LinkComPort(3, "/dev/ttyS7"));
    EXPECT_EQ(ComTargetText(3), "/dev/ttyS7");
    std::ofstream(ComLinkPath(4)) << "not a link";
    EXPECT_FALSE(LinkComPort(4, adapter.path));
    EXPECT_EQ(ComDevicePath(4), ComLinkPath(4));
    EXPECT_FALSE(fs::exists(ComLinkPath(3) + ".new"));
    EXPECT_FALSE(UnlinkComPort(4));
    EXPECT_TRUE(UnlinkComPort(3));
    EXPECT_EQ(ComLinkTarget(3), "");
    EXPECT_EQ(ComDevicePath(3), "/dev/ttyS2");
}

TEST(Paths, ResolvesTheFolderOfTheRunInOrderOfPrecedence) {
    char pattern[] = "/tmp/kestrel-paths-test-XXXXXX";
    const std::string work = ::mkdtemp(pattern);
    const std::string bare = work + "/bare";
    std::filesystem::create_directories(work + "/CommoFiles");
    std::filesystem::create_directories(bare);
    const std::string cases[][5] = {
        // --files, working directory, XDG_DATA_HOME, HOME, folder
        {"/mine", work, "/data", "/h", "/mine"},
        {"", work, "/data", "/h", work + "/CommoFiles"},
        {"", bare, "/data", "/h", "/data/kestrel-panel/CommoFiles"},
        {"", bare, "/data/", "/h", "/data/kestrel-panel/CommoFiles"},
        {"", bare, "", "/h", "/h/.local/share/kestrel-panel/CommoFiles"},
        {"", bare, "data", "/h/", "/h/.local/share/kestrel-panel/CommoFiles"},
        {"", bare, "", "", bare + "/CommoFiles"},
        {"", "", "", "", ""},
    };
    for (const auto& [files, workingDir, xdgDataHome, home, expected] : cases) {
        EXPECT_EQ(ResolveCommoFolder(files, workingDir, xdgDataHome, home), expected)
            << "files '" << files << "', data '" << xdgDataHome << "', home '" << home << "'";
    }
    std::filesystem::remove_all(work);
}

// Rows by line feed (a last line without one still counts), columns by the widest line; quotes
// protect commas and line feeds and are not stored, a doubled one inside stores one, one inside
// a field is stored and starts quoted mode; fields beyond the columns are dropped; two-byte
// characters vanish (a lead byte before a non-trail byte vanishes alone).
TEST(CsvReader, ReadsCellsByTheRulesOfTheFilesItIsGiven) {
    // clang-format off
    const std::pair<std::string_view, std::string_view> cases[] = {  // text, rows joined by "/", cells by "|"
        {"1,2,3\n4\n5,6\n",                "1|2|3/4||/5|6|"},
        {"1,2\n3,4",                       "1|2/3|4"},
        {"1,2\r\n3,4\r\n",                 "1|2/3|4"},
        {"\"a,b\",c\n",                    "a,b|c|"},
        {"\"say \"\"hi\"\"\",x\n",         "say \"hi\"|x"},
        {"ab\"c,d\"\n",                    "ab\"c,d|"},
        {"a,\"b\nc\",d,e\n",               "a|b\nc|d/||"},
        {"\x82\xA0X,\x82" "1,\x9F\x7F" "2\n", "X|1|\x7F" "2"},
        {"",                               ""},
    };
    // clang-format on
    for (const auto& [text, table] : cases) {
        CsvReader r;
        ASSERT_TRUE(r.ReadText(text));
        EXPECT_TRUE(r.HasTable());
        EXPECT_EQ(r.CellCount(), r.Rows() * r.Columns());
        std::string cells;
        for (size_t row = 0; row < r.Rows(); ++row) {
            for (size_t column = 0; column < r.Columns(); ++column) {
                cells += (column > 0 ? "|" : row > 0 ? "/" : "") + std::string(r.Cell(row, column));
            }
        }
        EXPECT_EQ(cells, table) << text;
        EXPECT_EQ(r.Cell(r.Rows(), 0), "");
    }
}

TEST(CsvReader, ReadsOnceAndRefusesWhatItCannotHold) {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
    }
    CsvReader binary;
    EXPECT_TRUE(binary.ReadText(bytes));
    EXPECT_LE(binary.CellCount(), CsvReader::kMaxCells);
    CsvReader r;
    EXPECT_FALSE(r.ReadText(std::string(300, ',') + std::string(300, '\n')));
    EXPECT_FALSE(r.ReadText(std::string(CsvReader::kMaxFileBytes + 1, 'x')));
    EXPECT_FALSE(r.ReadFile("/nonexistent/kestrel/file.csv"));
    const std::string path =
        testing::TempDir() + "kestrel-csv-" + std::to_string(::getpid()) + ".csv";
    std::ofstream(path) << "7,8\n";
    ASSERT_TRUE(r.ReadFile(path));
    EXPECT_EQ(r.Cell(0, 1), "8");
    EXPECT_FALSE(r.ReadText("2\n"));
    EXPECT_EQ(r.CellAt(1), "8");
    std::remove(path.c_str());
}

}  // namespace
}  // namespace kestrel
