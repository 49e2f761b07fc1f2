#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/headless_main_window.h"
#include "platform/memory_serial_pair.h"
#include "platform/message.h"
#include "platform/paths.h"
#include "platform/pty_pair.h"
#include "platform/startup_box.h"
#include "platform/termios_device.h"
#include "platform/virtual_runtime.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/store_flags.h"
#include "serial/serial_port.h"
#include "serial/serial_settings.h"
#include "serial/sio_recv_thread.h"
#include "serial/sio_send_thread.h"
#include "support/serial_text.h"

namespace kestrel {
namespace {

using Side = MemorySerialPair::Side;

// Takes the oldest entry, checking it comes NUL-terminated.
std::string Take(MessageRing& ring) {
    char buffer[MessageRing::kSlotSize];
    buffer[0] = 'x';
    const size_t length = ring.Take(buffer);
    EXPECT_EQ(buffer[length], 0);
    return std::string(buffer, length);
}

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
        std::filesystem::remove_all(dir_);
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

    std::string FilePath() const { return dir_ + "/CommoFiles/CommSetting.csv"; }
    void WriteFile(std::string_view text) {
        std::filesystem::create_directories(dir_ + "/CommoFiles");
        std::ofstream(FilePath(), std::ios::binary) << text;
    }
    static std::tuple<int32_t, int32_t, int32_t> Settings() {
        return {TheSerialPort().PortNumber(), TheSerialPort().BaudRate(),
                TheSerialPort().ThirdValue()};
    }
    std::string ReadFile() const {
        return {std::istreambuf_iterator<char>(std::ifstream(FilePath()).rdbuf()), {}};
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

TEST_F(SerialLinkTest,
       OpenWritesAutoInfoFromMirrorOnceCloseRestoresTheLineAndAVanishedDeviceCloses) {
    EXPECT_FALSE(TheSerialPort().Close());
    SetMirror(Mirror::AI, 1);
    ASSERT_TRUE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    EXPECT_EQ(FarReceived(), "AI1;");
    EXPECT_EQ(std::tuple(AutoInfoSent.load(), AnswerWaiting.load()), std::tuple(0, 0));
    EXPECT_FALSE(TheSerialPort().Open(true)) << "an open port is not opened again";
    EXPECT_TRUE(TheSerialPort().IsOpen());
    EXPECT_EQ(FarReceived(), "");
    EXPECT_TRUE(TheSerialPort().Close());
    const LineSettings line = pair_.Settings(Side::A);
    EXPECT_EQ(std::tuple(TheSerialPort().IsOpen(), TheSerialPort().HandleValid(),
                         pair_.IsOpen(Side::A), line.stopBits, line.ctsFlow),
              std::tuple(false, false, false, 1, false));
    // A vanished device reads as an I/O error and a closed port.
    ASSERT_TRUE(TheSerialPort().Open(false));
    pair_.Unplug();
    uint32_t errors = 0;
    LineStatus status;
    EXPECT_TRUE(TheSerialPort().ClearError(errors, status));
    EXPECT_EQ(std::tuple(errors, TheSerialPort().IsOpen()), std::tuple(kLineIoError, false));
    EXPECT_FALSE(TheSerialPort().ClearError(errors, status));
    EXPECT_EQ(errors, 0u);
}

TEST_F(SerialLinkTest, FailedOpenIsReportedUnlessTheFailureBoxShows) {
    // clang-format off
    const std::tuple<const char*, uint32_t, int, bool, int> rows[] = {  // status, box shown, device missing, reports
        {"carrier hold",   kStatusRlsdHold, 0, false, 1},
        {"box shows",      0,               1, false, 0},
        {"missing device", 0,               0, true,  1},
    };
    // clang-format on
    for (const auto& [name, status, boxShown, missing, reports] : rows) {
        SCOPED_TRACE(name);
        pair_.SetStatusBits(Side::A, status);
        StartupBoxShown = boxShown;
        if (missing) {
            TheSerialPort().SetDeviceFactory(nullptr);
            TheSerialPort().SetDeviceOverride(dir_ + "/no-such-tty");
        }
        const int before = PostedCount(kMsgStartupFailure);
        EXPECT_FALSE(TheSerialPort().Open(false));
        EXPECT_FALSE(TheSerialPort().IsOpen() || pair_.IsOpen(Side::A));
        EXPECT_EQ(PostedCount(kMsgStartupFailure) - before, reports);
        EXPECT_EQ(FarReceived(), "");
    }
}

TEST_F(SerialLinkTest, ProbeLeavesThePortsOwnDeviceAlone) {
    MemorySerialPair other;
    TheSerialPort().SetDeviceFactory([&](const std::string& path) {
        return path == "/dev/ttyS1" ? other.Open(Side::A) : pair_.Open(Side::A);
    });
    OpenPort();
    EXPECT_TRUE(TheSerialPort().Probe(1));
    EXPECT_FALSE(other.IsOpen(Side::A));
    EXPECT_FALSE(TheSerialPort().Probe(0));  // the port's own device cannot be opened twice
    EXPECT_TRUE(TheSerialPort().IsOpen());
    other.SetStatusBits(Side::A, kStatusTxim);
    EXPECT_FALSE(TheSerialPort().Probe(1));
    EXPECT_FALSE(TheSerialPort().Probe(20));
}

// Termios settings belong to the device: a probe that opened the port in use, under another
// name, would rewrite its stop bits and flow control.
TEST_F(SerialLinkTest, ProbeReportsDevicesInUseWithoutTouchingThem) {
    std::filesystem::create_directories(dir_ + "/CommoFiles");
    std::unique_ptr<PtyPair> ptys[3];
    for (int i = 0; i < 3; ++i) {
        ptys[i] = PtyPair::Create();
        ASSERT_TRUE(ptys[i] && ptys[i]->LinkAs(dir_ + "/CommoFiles/COM" + std::to_string(i + 2)));
    }
    TheSerialPort().SetDeviceFactory(nullptr);
    TheSerialPort().SetDeviceOverride(ptys[0]->Path());
    ASSERT_TRUE(TheSerialPort().Open(false));
    const int other = ::open(ptys[1]->Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_TRUE(other >= 0 && ::flock(other, LOCK_EX | LOCK_NB) == 0);

    EXPECT_FALSE(TheSerialPort().Probe(1)) << "the held device under its COM2 name";
    EXPECT_FALSE(TheSerialPort().Probe(2)) << "locked by another program";
    EXPECT_TRUE(TheSerialPort().Probe(3));
    termios line{};
    ASSERT_EQ(::tcgetattr(ptys[0]->FarFd(), &line), 0);
    EXPECT_EQ(line.c_cflag & (CSTOPB | CRTSCTS), static_cast<tcflag_t>(CSTOPB | CRTSCTS));
    EXPECT_EQ(TermiosDevice::Open(ptys[0]->Path()), nullptr) << "nor does a second open succeed";
    ::close(other);
    EXPECT_TRUE(TheSerialPort().Probe(2));
}

TEST_F(SerialLinkTest, ThreeNineSixHundredOpensComThreeAtNineSixHundredAndAnOverrideWins) {
    WriteFile("3,9600,0\n");
    std::vector<std::string> opened;
    TheSerialPort().SetDeviceFactory([&](const std::string& path) {
        opened.push_back(path);
        return pair_.Open(Side::A);
    });
    ASSERT_EQ(TheSerialPort().LoadSettings(), SettingsFile::Read);
    OpenPort();
    const LineSettings line = pair_.Settings(Side::A);
    EXPECT_EQ(std::tuple(line.baud, line.stopBits, line.ctsFlow), std::tuple(9600, 2, true));
    TheSerialPort().Close();
    TheSerialPort().SetDeviceOverride("/dev/ttyUSB0");
    OpenPort();
    EXPECT_EQ(opened, (std::vector<std::string>{"/dev/ttyS2", "/dev/ttyUSB0"}));
}

TEST_F(SerialLinkTest, CellsCountInRowOrderAndBadValuesTakeDefaults) {
    // clang-format off
    const std::tuple<std::string_view, SettingsFile, int32_t, int32_t, int32_t> cases[] = {  // text, result, port, baud, third
        {"3,9600,0", SettingsFile::Read, 3, 9600, 0},  // hand-edited, no newline
        {"2\n19200\n5\n", SettingsFile::Read, 2, 19200, 5},
        {"25,1200,7\n", SettingsFile::Read, 1, 4800, 7},
        {"3,9600\n", SettingsFile::Unreadable, 1, 4800, 0},
        {"", SettingsFile::Unreadable, 1, 4800, 0},
        {"3,9600", SettingsFile::Unreadable, 1, 4800, 0},
        {"\x82\xA0\n", SettingsFile::Unreadable, 1, 4800, 0},
    };
    // clang-format on
    for (const auto& [text, result, port, baud, third] : cases) {
        SCOPED_TRACE(text);
        WriteFile(text);
        TheSerialPort().SetPortNumber(5);
        TheSerialPort().SetThirdValue(9);
        EXPECT_EQ(TheSerialPort().LoadSettings(), result);
        EXPECT_EQ(Settings(), std::tuple(port, baud, third));
    }
    // clang-format off
    for (const auto& [cell, value] : {std::pair<const char*, int32_t>{" 42abc", 42}, {"-7", -7}, {"x1", 0},
                                      {"99999999999999", INT32_MAX}, {"-99999999999999", INT32_MIN}}) {
        // clang-format on
        EXPECT_EQ(CellToInt(cell), value) << cell;
    }
}

// No installer writes the file: a first start uses the defaults without a box and writes it at
// exit, replacing the whole file and leaving no temporary. A file that is there and cannot be
// read still gets the box.
TEST_F(SerialLinkTest, MissingFileIsAQuietFirstStartAndSaveReplacesTheWholeFile) {
    TheSerialPort().SetPortNumber(4);
    std::vector<int> shown;
    EXPECT_FALSE(InitialiseSerialPort([&](int id) { shown.push_back(id); }));
    EXPECT_EQ(shown, std::vector<int>{});
    EXPECT_EQ(Settings(), std::tuple(1, 4800, 0));
    ASSERT_TRUE(TheSerialPort().SaveSettings());
    EXPECT_EQ(ReadFile(), "1,4800,0\n");

    WriteFile("3,9600,0\nleft,over,text,from,before\n");
    TheSerialPort().SetPortNumber(20);
    TheSerialPort().SetBaudRate(38400);
    TheSerialPort().SetThirdValue(7);
    ASSERT_TRUE(TheSerialPort().SaveSettings());
    EXPECT_EQ(ReadFile(), "20,38400,7\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ + "/CommoFiles"), {}), 1);

    std::filesystem::remove(FilePath());
    std::filesystem::create_directories(FilePath());  // there, but no file to read
    EXPECT_FALSE(InitialiseSerialPort([&](int id) { shown.push_back(id); }));
    EXPECT_EQ(shown, std::vector<int>{108});
    std::filesystem::remove_all(dir_ + "/CommoFiles");
    std::ofstream(dir_ + "/CommoFiles") << "a file in the folder's place";
    EXPECT_FALSE(TheSerialPort().SaveSettings());
}

// The send and receive steps run by hand; the analysis loops record what they are posted among
// the window's messages, the sending loop's with 0x10000 added.
class StepTest : public SerialLinkTest {
  protected:
    void SetUp() override {
        SerialLinkTest::SetUp();
        for (int w = 0; w < 2; ++w) {
            SetWorkerLoop(w == 0 ? Worker::AnlRecv : Worker::AnlSend,
                          rt_.StartLoop("Anl", [this, w](const Message& m) {
                              std::lock_guard lock(mutex_);
                              posted_.push_back(m.id + 0x10000 * static_cast<uint32_t>(w));
                          }));
        }
    }
    // Fills the receive buffer with held bytes that frame into nothing yet.
    void Hold(uint32_t count) {
        recv_.Buffer().Reset();
        recv_.Buffer().Append(std::vector<uint8_t>(count, 'A').data(), count);
    }
    void Send(std::string_view command) {
        ASSERT_TRUE(CommandRing.Push(command));
        Sio_Send_Thread::Step();
    }
    Sio_Recv_Thread recv_;
};

TEST_F(StepTest, RtsFollowsHeldBytesWithDeadBandBetweenThresholds) {
    OpenPort();
    // clang-format off
    const std::tuple<uint32_t, bool, bool> rows[] = {  // held, RTS before, RTS after
        {0, false, true}, {1024, false, true}, {1025, false, false}, {1500, false, false},
        {1500, true, true}, {2047, true, true}, {2048, true, false}, {4000, true, false},
    };
    // clang-format on
    for (const auto& [held, before, after] : rows) {
        SCOPED_TRACE(held);
        TheSerialPort().SetRts(before);
        Hold(held);
        recv_.Step();
        EXPECT_EQ(pair_.Rts(Side::A), after);
    }
    // A receive overflow lowers RTS even with an empty buffer; with another error it is not
    // "exactly 1" and RTS comes up again.
    Hold(0);
    for (const auto& [errors, rts] :
         {std::pair{kLineRxOverflow, false}, {kLineRxOverflow | kLineFraming, true}}) {
        pair_.InjectErrors(Side::A, errors);
        recv_.Step();
        EXPECT_EQ(pair_.Rts(Side::A), rts) << errors;
    }
}

TEST_F(StepTest, FramesOneAnswerPerStepEvenAfterAFillerByteOnTheLine) {
    OpenPort();
    FarSends("\377FA14250000;FB07000000;");
    rt_.RunFor(100);
    for (int step = 0; step < 4 && AnswerRing.Count() == 0; ++step) {
        recv_.Step();
    }
    ASSERT_EQ(AnswerRing.Count(), 1);
    recv_.Step();
    ASSERT_EQ(AnswerRing.Count(), 2);
    EXPECT_EQ(Take(AnswerRing), "FA14250000");
}

TEST_F(StepTest, CarrierHoldOrTransmitImmediateClosesPort) {
    // Only the carrier hold also forgets the length of the answer being framed.
    for (const auto& [bit, lengthKept] : {std::pair{kStatusRlsdHold, false}, {kStatusTxim, true}}) {
        SCOPED_TRACE(bit);
        OpenPort();
        recv_.Buffer().lengthKnown = true;
        pair_.SetStatusBits(Side::A, bit);
        recv_.Step();
        EXPECT_EQ(std::tuple(TheSerialPort().IsOpen(), recv_.Buffer().lengthKnown),
                  std::tuple(false, lengthKept));
        pair_.SetStatusBits(Side::A, 0);
    }
}

TEST_F(StepTest, ReadsNothingUntilTheStoreIsReadyAndNeverOverrunsTheBuffer) {
    OpenPort();
    StoreReady = 0;
    FarSends("FA14250000;");
    rt_.RunFor(100);
    recv_.Step();
    EXPECT_EQ(recv_.Buffer().count, 0u);
    StoreReady = 1;
    Hold(kReceiveBufferSize - 11);
    FarSends(std::string(100, 'Z'));
    rt_.RunFor(500);
    recv_.Step();
    EXPECT_LE(recv_.Buffer().count, kReceiveBufferSize - 1);
    EXPECT_EQ(recv_.Buffer().bytes[kReceiveBufferSize - 1], kReceiveFiller);
}

TEST_F(StepTest, OpensAClosedPortAndWritesOneCommandPerStepInQueueOrder) {
    AutoInfoSent = 1;
    Send("AI0;");
    EXPECT_EQ(FarReceived(), "AI0;AI0;");
    EXPECT_EQ(std::tuple(AnswerWaiting.load(), AutoInfoSent.load()), std::tuple(1, 0));
    ASSERT_TRUE(CommandRing.Push("FB;") && CommandRing.Push("FC;"));
    Sio_Send_Thread::Step();
    EXPECT_EQ(FarReceived(), "FB;");
    Sio_Send_Thread::Step();
    EXPECT_EQ(FarReceived(), "FC;");
}

// A status bit, an error value equal to one of the listed ones or a full output queue drops the
// command; only a command written counts as awaiting its answer or as auto-information sent.
TEST_F(StepTest, StatusBitsLoneLineErrorsAndAFullQueueDropTheCommand) {
    // clang-format off
    const std::tuple<uint32_t, uint32_t, uint32_t, bool, bool> rows[] = {  // status, errors, output queue, port stays open, written
        {kStatusRlsdHold, 0, 0, false, false},
        {kStatusTxim,     0, 0, false, false},
        {kStatusDsrHold,  0, 0, true,  false},
        {kStatusXoffHold, 0, 0, true,  false},
        {kStatusXoffSent, 0, 0, true,  false},
        {kStatusEof,      0, 0, true,  false},
        {kStatusCtsHold,  0, 0, true,  true},
        {0, 0x10,  0, true, false}, {0, 0x8, 0, true, false}, {0, 0x2, 0, true, false}, {0, 0x8000, 0, true, false},
        {0, 0x400, 0, true, false}, {0, 0x1, 0, true, false}, {0, 0x4, 0, true, false}, {0, 0x100,  0, true, false},
        {0, kLineFraming | kLineOverrun, 0, true, true},
        {0, 0, 5119, true,  true},
        {0, 0, 5120, false, false},
    };
    // clang-format on
    for (const auto& [status, errors, outQueue, portStaysOpen, written] : rows) {
        SCOPED_TRACE(testing::Message() << status << "/" << errors << "/" << outQueue);
        OpenPort();
        AutoInfoSent = AnswerWaiting = 0;
        pair_.SetStatusBits(Side::A, status);
        pair_.InjectErrors(Side::A, errors);
        pair_.SetExtraOutQueue(Side::A, outQueue);
        Send("AI1;");
        pair_.SetStatusBits(Side::A, 0);
        EXPECT_EQ(FarReceived(), written ? "AI1;" : "");
        EXPECT_EQ(TheSerialPort().IsOpen(), portStaysOpen);
        EXPECT_EQ(std::tuple(AnswerWaiting.load(), AutoInfoSent.load()),
                  written ? std::tuple(1, 1) : std::tuple(0, 0));
        TheSerialPort().Close();
    }
}

// The rotator read goes out only on a usable open line.
TEST_F(StepTest, WatchdogCallsTheLinkLostOnlyWithNothingWaitingInInput) {
    EXPECT_FALSE(RotatorReadTick());
    OpenPort();
    EXPECT_TRUE(RotatorReadTick());
    EXPECT_FALSE(LinkWatchdogExpired()) << "a quiet healthy line";
    FarSends("FA1");
    rt_.RunFor(50);
    AnswerWaiting = 1;
    EXPECT_FALSE(LinkWatchdogExpired());
    EXPECT_EQ(AnswerWaiting, 0);
    EXPECT_EQ(PostedCount(kMsgLinkLost), 0);
    recv_.Step();  // takes the waiting bytes off the line
    AnswerWaiting = 1;
    EXPECT_TRUE(LinkWatchdogExpired());
    EXPECT_EQ(AnswerWaiting, 0);
    pair_.SetStatusBits(Side::A, kStatusTxim);
    EXPECT_TRUE(LinkWatchdogExpired());
    pair_.SetStatusBits(Side::A, kStatusRlsdHold);
    EXPECT_FALSE(RotatorReadTick());
    pair_.SetStatusBits(Side::A, 0);
    TheSerialPort().Close();
    EXPECT_TRUE(LinkWatchdogExpired());
    EXPECT_EQ(std::tuple(PostedCount(kMsgLinkLost), PostedCount(kMsgRotatorRead + 0x10000)),
              std::tuple(3, 1));
}

// Commands and answers crossing on the threads' loops are what every station run does; here only
// what a start leaves behind.
TEST_F(SerialLinkTest, ThreadsEmptyTheirRingsOnStartAndLeaveTheirSlotsOnStop) {
    ASSERT_TRUE(CommandRing.Push("FB;"));
    ASSERT_TRUE(AnswerRing.Push("FA14250000"));
    ASSERT_TRUE(StartSioRecvThread() && StartSioSendThread());
    EXPECT_EQ(CommandRing.Count() + AnswerRing.Count(), 0);
    EXPECT_TRUE(StopSioRecvThread() && StopSioSendThread());
    EXPECT_EQ(std::tuple(WorkerLoop(Worker::SioRecv), WorkerLoop(Worker::SioSend)),
              std::tuple(nullptr, nullptr));
}

TEST(MessageRing, KeepsOrderRoundTheRingRefusesWhatDoesNotFitAndEmpties) {
    MessageRing ring;
    EXPECT_EQ(Take(ring), "");
    EXPECT_FALSE(ring.Push(std::string(512, 'A')) || ring.Push(std::string(4000, 'A')) ||
                 ring.Push(""));
    EXPECT_TRUE(ring.Push(std::string(511, 'K')));
    EXPECT_EQ(Take(ring), std::string(511, 'K'));
    // Three times round the indices with three entries in flight, then full: the newest is
    // refused and the oldest kept.
    int next = 0;
    int taken = 0;
    for (int i = 0; i < 3 * MessageRing::kSlots; ++i) {
        ASSERT_TRUE(ring.Push("E" + std::to_string(next++)));
        if (i >= 3) {
            ASSERT_EQ(Take(ring), "E" + std::to_string(taken++));
        }
    }
    EXPECT_EQ(ring.Count(), 3);
    while (ring.Count() < MessageRing::kSlots) {
        ASSERT_TRUE(ring.Push("E" + std::to_string(next++)));
    }
    EXPECT_FALSE(ring.Push("overflow"));
    EXPECT_EQ(Take(ring), "E" + std::to_string(taken++));
    EXPECT_TRUE(ring.Push("E" + std::to_string(next++)));
    EXPECT_FALSE(ring.Push("overflow"));
    while (taken < next) {
        ASSERT_EQ(Take(ring), "E" + std::to_string(taken++));
    }
    EXPECT_EQ(Take(ring), "");
    ASSERT_TRUE(ring.Push("x"));
    ring.Empty();
    EXPECT_EQ(ring.Count(), 0);
    ASSERT_TRUE(ring.Push("y"));
    EXPECT_EQ(Take(ring), "y");
}

// Each producer's entries arrive whole and in order, none lost.
TEST(MessageRing, ConcurrentProducersLoseNothing) {
    constexpr int kProducers = 4;
    constexpr int kEach = 3000;
    MessageRing ring;
    std::vector<std::jthread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&ring, p] {
            for (int i = 0; i < kEach; ++i) {
                while (!ring.Push(std::to_string(p * kEach + i))) {
                    std::this_thread::yield();  // a full ring is retried, not lost
                }
            }
        });
    }
    std::vector<int> nextOf(kProducers, 0);
    for (int received = 0; received < kProducers * kEach;) {
        const std::string entry = Take(ring);
        if (!entry.empty()) {
            const int value = std::stoi(entry);
            ASSERT_EQ(value % kEach, nextOf[value / kEach]++) << entry;
            ++received;
        }
    }
    EXPECT_EQ(ring.Count(), 0);
}

}  // namespace
}  // namespace kestrel
