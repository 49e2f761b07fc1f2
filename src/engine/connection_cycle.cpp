#include "engine/connection_cycle.h"

#include <array>
#include <string_view>

#include "engine/anl_send_thread.h"
#include "engine/engine_timers.h"
#include "engine/request_table.h"
#include "platform/main_window.h"
#include "platform/runtime.h"
#include "platform/workers.h"
#include "protocol/cat_catalogue.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/notifications.h"
#include "protocol/radio_state.h"
#include "serial/serial_port.h"

namespace kestrel {

namespace {

constexpr int64_t kAutoInfoReadDelayMs = 20;  // between "AI1;"/"AI0;" and the "AI;" read
constexpr int64_t kProbeWaitMs = 25;          // after each identification command
constexpr int64_t kDisconnectSettleMs = 25;   // after the disconnect's "AI;" read
constexpr int64_t kTwoBankWaitMs = 25;        // between "ML0;" and "ML1;"
constexpr int64_t kEqualizerReadWaitMs = 25;  // after each of the eighteen "PE" reads
constexpr int64_t kHeartbeatGapMs = 30;       // between the heartbeat's "PS;" and "AI;"
constexpr int64_t kPowerOnRepeatMs = 800;     // between and after the two "PS1;" commands
constexpr int64_t kReadingWindowGraceMs = 100;

constexpr int kLastReadRow = static_cast<int>(CatReadTable.size()) - 1;

void SetReadingRunning(uint8_t value) {
    if (MainWindow* window = TheMainWindow()) {
        window->SetReadingRunning(value);
    }
}

// The reading window waits for the end of a read sequence; it is given 100 ms to notice that the
// sequence ended before it is told to close.
void CloseReadingWindowIfWaiting() {
    MainWindow* window = TheMainWindow();
    if (window != nullptr && window->WindowWaiting() == 1) {
        Rt().SleepMs(kReadingWindowGraceMs);
        window->PostMessage(kMsgCloseReadingWindow, 0, 0);
    }
}

void SendFixed(std::string_view text) {
    HandOffCommand(BuildFixedCommand(text));
}

void SendRead(const CatReadRow& row, std::string_view parameter) {
    HandOffCommand(BuildCommand(row, parameter));
}

// The reads of a row whose parameter is several characters wide, in the order they are sent.
void ReadOwnParameters(const CatReadRow& row) {
    constexpr std::array<std::string_view, 7> kRepeaterSelectors = {"0", "1", "3", "4",
                                                                    "5", "7", "8"};
    const std::string_view code(row.code, 2);
    if (code == "BP" || code == "CO") {
        SendRead(row, "00");
        SendRead(row, "01");
    } else if (code == "RM") {
        SendRead(row, "0");
        SendRead(row, "2");
    } else if (code == "KM") {
        for (std::string_view channel : {"1", "2", "3", "4", "5"}) {
            SendRead(row, channel);
        }
    } else if (code == "RI") {
        for (std::string_view selector : kRepeaterSelectors) {
            SendRead(row, selector);
        }
    } else if (code == "BG") {
        SendRead(row, "0");
        SendRead(row, "1");
    } else if (code == "PE") {
        // The equalizer's two groups are selected by "0" and "2".
        for (char group : {'0', '2'}) {
            for (char band = '0'; band <= '2'; ++band) {
                for (char quantity = '0'; quantity <= '2'; ++quantity) {
                    const char parameter[] = {group, band, quantity};
                    SendRead(row, std::string_view(parameter, 3));
                    Rt().SleepMs(kEqualizerReadWaitMs);
                }
            }
        }
    }
}

}  // namespace

void ConnectionCycle::Connect() {
    const int32_t autoInfo = GetMirror(Mirror::AI);
    // Opening writes the AI command of the mirror's state straight to the port.
    if (!TheSerialPort().IsOpen()) {
        TheSerialPort().Open(GetMirror(Mirror::AI) != 0);
    }
    if (autoInfo == 0) {
        SendFixed("AI1;");
        Rt().SleepMs(kAutoInfoReadDelayMs);
        SendFixed("AI;");
    } else if (autoInfo == 1) {
        SendFixed("AI0;");
        Rt().SleepMs(kAutoInfoReadDelayMs);
        SendFixed("AI;");
        Rt().SleepMs(kDisconnectSettleMs);
        PostStopReads();
        AutoInfoSent.store(0, std::memory_order_relaxed);
        if (GetMirror(Mirror::PS) == 0) {
            SavedAutoInfo.store(0, std::memory_order_relaxed);
        }
        // The connection ends at once, as if the transceiver had reported automatic information
        // off, without waiting for its answer.
        if (AnswerRing.Push("AI0")) {
            PostToWorker(Worker::AnlRecv, kMsgAnalyse);
        }
    }
}

void ConnectionCycle::SwitchPower() {
    if (GetMirror(Mirror::PS) == 0) {
        // A transceiver that is off needs the command twice: the first one only wakes it.
        SendFixed("PS1;");
        Rt().SleepMs(kPowerOnRepeatMs);
        SendFixed("PS1;");
        Rt().SleepMs(kPowerOnRepeatMs);
        SetMainWindowTimer(kTimerPowerOnRead, kPowerOnReadMs);
    } else {
        SendFixed("PS0;");
        SetMainWindowTimer(kTimerPowerOffRead, kPowerOffReadMs);
    }
}

void ConnectionCycle::IdentProbe() {
    SendFixed("ID;");
    Rt().SleepMs(kProbeWaitMs);
    SendFixed("ID0747;");
    Rt().SleepMs(kProbeWaitMs);
}

void ConnectionCycle::StartInitialRead() {
    if (initialReadRunning == 0) {
        initialReadRunning = 1;
        initialReadRow = 0;
        SetReadingRunning(1);
        SetMainWindowTimer(kTimerInitialRead, kReadStepMs);
    } else {
        initialReadRow = 0;
    }
}

void ConnectionCycle::ReadRow(int row) {
    const CatReadRow& read = CatReadTable[row];
    if (row == 0 || CodeIs(read.code, 'A', 'I')) {
        return;  // identification has its own probe, and AI is what the connection switched on
    }
    switch (read.kind) {
        case kReadPlain:
            SendRead(read, "");
            break;
        case kReadZero:
            SendRead(read, "0");
            break;
        case kReadTwoBanks:
            SendRead(read, "0");
            Rt().SleepMs(kTwoBankWaitMs);
            SendRead(read, "1");
            break;
        case kReadOwnParam:
            ReadOwnParameters(read);
            break;
        default:
            break;
    }
}

void ConnectionCycle::InitialReadStep() {
    // Ticks of timer 4 keep coming while a long row (the equalizer's 18 reads) waits, so steps
    // queue up behind it; those that arrive after the read ended must not start it again.
    if (initialReadRunning == 0) {
        return;
    }
    const int row = initialReadRow;
    ReadRow(row);
    if (row >= kLastReadRow) {
        initialReadRow = 0;
        KillMainWindowTimer(kTimerInitialRead);
        initialReadRunning = 0;
        StartMenuRead();
    } else {
        initialReadRow = row + 1;
    }
}

void ConnectionCycle::StartMenuRead() {
    if (menuReadRunning == 0) {
        menuReadRunning = 1;
        menuReadItem = 1;
        SetReadingRunning(1);
        SetMainWindowTimer(kTimerMenuRead, kReadStepMs);
    } else {
        menuReadItem = 1;
    }
}

void ConnectionCycle::MenuReadStep() {
    if (menuReadRunning == 0) {
        return;  // a step queued before the menu read ended
    }
    HandOffCommand(BuildFieldCommand("EX", 3, menuReadItem));
    ++menuReadItem;
    if (menuReadItem > GetMenuItemCount()) {
        menuReadItem = 1;
        StopMenuRead(true);
    }
}

void ConnectionCycle::StopInitialRead() {
    KillMainWindowTimer(kTimerInitialRead);
    initialReadRunning = 0;
    CloseReadingWindowIfWaiting();
    SetReadingRunning(0);
}

void ConnectionCycle::StopMenuRead(bool notify) {
    KillMainWindowTimer(kTimerMenuRead);
    menuReadRunning = 0;
    CloseReadingWindowIfWaiting();
    SetReadingRunning(0);
    // The displays that depend on menu settings redraw: the BG one (the tuning bar) and the CO
    // one (the contour).
    if (notify) {
        PostToMainWindow(kNotifyBG);
        PostToMainWindow(kNotifyCO);
    }
}

void ConnectionCycle::StopReads() {
    if (initialReadRunning != 0) {
        StopInitialRead();
    }
    if (menuReadRunning != 0) {
        StopMenuRead(false);
    }
    StopKeyerReadCycle();
}

void ConnectionCycle::Heartbeat() {
    if (GetMirror(Mirror::AI) == 1) {
        SendFixed("PS;");
    }
    if (GetMirror(Mirror::PS) == 1 && GetMirror(Mirror::AI) == 1) {
        Rt().SleepMs(kHeartbeatGapMs);
        SendFixed("AI;");
    }
}

void ConnectionCycle::PowerOnRead() {
    KillMainWindowTimer(kTimerPowerOnRead);
    SendFixed("PS;");
}

void ConnectionCycle::PowerOffRead() {
    if (powerReadCount >= 1) {
        KillMainWindowTimer(kTimerPowerOffRead);
        powerReadCount = 0;
    } else {
        ++powerReadCount;
    }
    SendFixed("PS;");
}

}  // namespace kestrel
