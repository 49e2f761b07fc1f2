#include "engine/anl_send_thread.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/connection_cycle.h"
#include "engine/engine_timers.h"
#include "engine/request_table.h"
#include "menulist/menu_kind.h"
#include "platform/main_window.h"
#include "platform/runtime.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/radio_state.h"

namespace kestrel {

std::atomic<int32_t> keyerReadSlot{1};

namespace {

constexpr int64_t kVoxDelayGapMs = 20;   // between "VD" and "SD"
constexpr int64_t kMenuWriteGapMs = 10;  // after each menu item written
constexpr int kKeyerChannels = 5;

bool Post(uint32_t message, uint64_t wParam = 0, int64_t lParam = 0) {
    return PostToWorker(Worker::AnlSend, message, wParam, lParam);
}

// Builds the "EX" set command of one edited menu item, or length 0 when its width leaves no room.
CatCommand BuildMenuWrite(int32_t number, const MenuItem& item) {
    const MenuKindProperties kind = MenuKindOf(item.kind);
    int64_t width = item.width;
    if (kind.narrowing != MenuNarrowing::None && MenuWidthCorrectionActive()) {
        --width;
    }
    if (width < 0 || width + 6 > kCatMaxCommandLength) {
        return {};
    }
    const int w = static_cast<int>(width);
    CatCommand command = BuildFieldCommand("EX", 3, number);
    char* field = command.bytes.data() + 5;
    std::fill_n(field, w, '0');
    field[w] = ';';
    command.length = w + 6;
    const int64_t whole = MenuValueToWhole(item.editedValue);
    switch (kind.write) {
        case MenuWriteField::Digits:
            WriteField(field, w, whole);
            break;
        case MenuWriteField::Signed:
            if (w > 0) {
                // The sign takes the first character; a magnitude as wide as the whole field
                // writes over it.
                const int64_t magnitude = whole < 0 ? -whole : whole;
                int digits = 1;
                for (int64_t limit = 10; magnitude >= limit && digits <= w; limit *= 10) {
                    ++digits;
                }
                field[0] = whole < 0 ? '-' : '+';
                if (digits <= w) {
                    WriteField(field + (w - digits), digits, magnitude);
                }
            }
            break;
        case MenuWriteField::Bits:
            for (int i = 0; i < w; ++i) {
                const int bit = 12 - i;
                field[i] = bit >= 0 && ((whole >> bit) & 1) != 0 ? '1' : '0';
            }
            break;
        case MenuWriteField::Zeros:
            break;
    }
    return command;
}

// The command that PostCommandInOrder packed into a message: the bytes in wParam, the length in
// lParam.
CatCommand UnpackCommand(const Message& message) {
    CatCommand command;
    if (message.lParam > 0 && message.lParam <= kInOrderCommandLength) {
        command.length = static_cast<int32_t>(message.lParam);
        std::memcpy(command.bytes.data(), &message.wParam, static_cast<size_t>(command.length));
    }
    return command;
}

// Anl_Send_Thread: turns each request into its command, one request at a time in posting order,
// and runs the timed sequences of the connection.
class Anl_Send_Thread {
  public:
    void Handle(const Message& message);

  private:
    void HandleRequest(int number, bool vfoB, int32_t value);
    void WriteMenu();
    void KeyerReadStep();

    ConnectionCycle cycle_;
};

void Anl_Send_Thread::Handle(const Message& message) {
    switch (message.id) {
        case kMsgInitialReadStep:
            cycle_.InitialReadStep();
            return;
        case kMsgMenuReadStep:
            cycle_.MenuReadStep();
            return;
        case kMsgRotatorRead:
            HandOffCommand(BuildFixedCommand("RO;"));
            return;
        case kMsgKeyerReadStep:
            KeyerReadStep();
            return;
        case kMsgStartInitialRead:
            cycle_.StartInitialRead();
            return;
        case kMsgStopReads:
            cycle_.StopReads();
            return;
        case kMsgStartMenuRead:
            cycle_.StartMenuRead();
            return;
        case kMsgPowerOnRead:
            cycle_.PowerOnRead();
            return;
        case kMsgPowerOffRead:
            cycle_.PowerOffRead();
            return;
        case kMsgIdentProbe:
            cycle_.IdentProbe();
            return;
        case kMsgSetConnected:
            // Request 1 toggles on the AI mirror: it connects while that is 0 and disconnects
            // while it is 1, so it runs only when it moves the link the asked way.
            if (GetMirror(Mirror::AI) == (message.wParam != 0 ? 0 : 1)) {
                cycle_.Connect();
            }
            return;
        case kMsgSendInOrder:
            HandOffCommand(UnpackCommand(message));
            return;
        default:
            break;
    }
    if (const int number = RequestNumberOfMessage(message.id); number != 0) {
        HandleRequest(number, (message.wParam & 1) != 0, static_cast<int32_t>(message.lParam));
    }
}

void Anl_Send_Thread::HandleRequest(int number, bool vfoB, int32_t value) {
    const RequestCommand& row = RequestCommandOf(number);
    if (row.form != RequestForm::Own) {
        const Mirror toggled = ToggledMirror(row, vfoB);
        const int32_t mirror = toggled == Mirror::Count ? 0 : GetMirror(toggled);
        HandOffCommand(BuildRequestCommand(row, vfoB, value, mirror));
        return;
    }
    // Magnitudes are taken in 64 bits, so that the most negative value cannot overflow.
    const int64_t magnitude = std::llabs(static_cast<int64_t>(value));
    switch (number) {
        case kReqConnect:
            cycle_.Connect();
            break;
        case kReqPower:
            cycle_.SwitchPower();
            break;
        case kReqMonitorToggle:
            HandOffCommand(BuildFixedCommand(GetMirror(Mirror::ML0) == 0 ? "ML0001;" : "ML0000;"));
            break;
        case kReqSplit:
            if (value == 0) {
                HandOffCommand(BuildFixedCommand("FT0;"));
            } else if (value == 2) {
                HandOffCommand(BuildFixedCommand("QS;"));
            }
            break;
        case kReqRxSideA: {
            const int32_t fr = GetMirror(Mirror::FR);
            if (fr == 0) {
                HandOffCommand(BuildFixedCommand("FR1;"));
            } else if (fr == 1 || fr == 4 || fr == 5) {
                HandOffCommand(BuildFixedCommand("FR0;"));
            }
            break;
        }
        case kReqRxSideB: {
            const int32_t fr = GetMirror(Mirror::FR);
            if (fr == 4) {
                HandOffCommand(BuildFixedCommand("FR5;"));
            } else if (fr == 0 || fr == 1 || fr == 5) {
                HandOffCommand(BuildFixedCommand("FR4;"));
            }
            break;
        }
        case kReqMenuWrite:
            WriteMenu();
            break;
        case kReqMainDialSteps:
        case kReqRightDialSteps:
        case kReqCentreKnobSteps: {
            if (value == 0 || magnitude >= 100) {
                break;
            }
            const char group = row.text[2];
            const char up[] = {'E', 'U', group};
            const char down[] = {'E', 'D', group};
            HandOffCommand(
                BuildFieldCommand(std::string_view(value > 0 ? up : down, 3), 2, magnitude));
            break;
        }
        case kReqFrequencyA:
        case kReqFrequencyB:
            if (value >= 3000 && value <= 60000000) {
                HandOffCommand(BuildFieldCommand(row.text, 8, value));
            }
            break;
        case kReqClarifierStep:
            if (magnitude < 10000) {
                HandOffCommand(BuildFieldCommand(value >= 0 ? "RU" : "RD", 4, magnitude));
            }
            break;
        case kReqVoiceFilterStep: {
            const char text[] = {'V', 'F', vfoB ? '1' : '0', '1', value >= 0 ? '+' : '-'};
            HandOffCommand(BuildFieldCommand(std::string_view(text, 5), 1, magnitude));
            break;
        }
        case kReqVoxDelay:
            HandOffCommand(BuildFieldCommand("VD", 4, value));
            Rt().SleepMs(kVoxDelayGapMs);
            HandOffCommand(BuildFieldCommand("SD", 4, value));
            break;
        case kReqIfShift:
            HandOffCommand(BuildFieldCommand(value >= 0 ? "IS0+" : "IS0-", 4, magnitude));
            break;
        case kReqHeartbeat:
            cycle_.Heartbeat();
            break;
        case kReqWakeSender:
            // The caller has put its own text into the command ring already.
            PostToWorker(Worker::SioSend, kMsgSendStep);
            break;
        case kReqRotatorLeft:
        case kReqRotatorRight:
            HandOffCommand(BuildFixedCommand(value == 0                  ? std::string_view("RO0;")
                                             : number == kReqRotatorLeft ? "RO1;"
                                                                         : "RO2;"));
            break;
        case kReqRotatorSlow:
        case kReqRotatorFast:
            if (value != 0) {
                HandOffCommand(BuildFixedCommand(number == kReqRotatorSlow ? "RO3;" : "RO4;"));
            }
            break;
        case kReqInformation:
            HandOffCommand(BuildFixedCommand(vfoB ? "OI;" : "IF;"));
            break;
        case kReqKeyerMemoryRead:
            // A new read starts from memory 1, even while an earlier one has not finished (the
            // CW window closed and opened again), so that every memory is read once more.
            keyerReadSlot.store(1, std::memory_order_relaxed);
            StartKeyerReadCycle();
            break;
        default:
            break;
    }
}

void Anl_Send_Thread::WriteMenu() {
    const int32_t count = GetMenuItemCount();
    for (int32_t number = 1; number <= count; ++number) {
        MenuItem item;
        if (!GetMenuItem(number, &item) || item.edited != 1) {
            continue;
        }
        const CatCommand command = BuildMenuWrite(number, item);
        ClearMenuItemEdited(number);
        HandOffCommand(command);
        Rt().SleepMs(kMenuWriteGapMs);
    }
}

void Anl_Send_Thread::KeyerReadStep() {
    const int32_t slot = keyerReadSlot.load(std::memory_order_relaxed);
    if (slot < 1 || slot > kKeyerChannels) {
        StopKeyerReadCycle();
        return;
    }
    const char text[] = {'K', 'M', static_cast<char>('0' + slot), ';'};
    HandOffCommand(BuildFixedCommand(std::string_view(text, 4)));
    keyerReadSlot.store(slot + 1, std::memory_order_relaxed);
}

}  // namespace

bool StartRequestThread() {
    keyerReadSlot.store(1, std::memory_order_relaxed);
    auto thread = std::make_shared<Anl_Send_Thread>();
    SetWorkerLoop(Worker::AnlSend,
                  Rt().StartLoop("Anl_Send_Thread",
                                 [thread](const Message& message) { thread->Handle(message); }));
    SetMainWindowTimer(kTimerHeartbeat, kHeartbeatMs);
    return true;
}

bool StopRequestThread() {
    StopWorkerInSlot(Worker::AnlSend);
    KillMainWindowTimer(kTimerHeartbeat);
    return true;
}

bool PostRequest(int number, int vfoB, int32_t value) {
    if (number < 1 || number > kRequestCount) {
        return false;
    }
    return Post(RequestMessageTable[number], vfoB == 1 ? 1 : 0, value);
}

bool PostRequestMessage(uint32_t message, uint64_t wParam, int64_t lParam) {
    return Post(message, wParam, lParam);
}

bool PostKeyerReadStep() {
    return Post(kMsgKeyerReadStep);
}
bool PostStartInitialRead() {
    return Post(kMsgStartInitialRead);
}
bool PostStopReads() {
    return Post(kMsgStopReads);
}
bool PostStartMenuRead() {
    return Post(kMsgStartMenuRead);
}
bool PostPowerOnRead() {
    return Post(kMsgPowerOnRead);
}
bool PostPowerOffRead() {
    return Post(kMsgPowerOffRead);
}
bool PostIdentProbe() {
    return Post(kMsgIdentProbe);
}
bool PostConnect() {
    return Post(kMsgConnect);
}

bool PostSetConnected(bool connected) {
    return Post(kMsgSetConnected, connected ? 1 : 0);
}

bool PostCommandInOrder(const CatCommand& command) {
    static_assert(sizeof(Message::wParam) == kInOrderCommandLength);
    if (command.length <= 0 || command.length > kInOrderCommandLength) {
        return false;
    }
    uint64_t packed = 0;
    std::memcpy(&packed, command.bytes.data(), static_cast<size_t>(command.length));
    return Post(kMsgSendInOrder, packed, command.length);
}

void ArmLinkWatchdog() {
    SetMainWindowTimer(kTimerLinkWatchdog, kLinkWatchdogMs);
    LinkWatchdogArmed.store(1, std::memory_order_relaxed);
}

void DisarmLinkWatchdog() {
    KillMainWindowTimer(kTimerLinkWatchdog);
    LinkWatchdogArmed.store(0, std::memory_order_relaxed);
}

void StartKeyerReadCycle() {
    SetMainWindowTimer(kTimerKeyerRead, kReadStepMs);
}

void StopKeyerReadCycle() {
    keyerReadSlot.store(1, std::memory_order_relaxed);
    KillMainWindowTimer(kTimerKeyerRead);
}

bool HandOffCommand(const CatCommand& command) {
    if (command.length <= 0 || !CommandRing.Push(command.bytes.data(), command.length)) {
        return false;
    }
    PostToWorker(Worker::SioSend, kMsgSendStep);
    return true;
}

}  // namespace kestrel
