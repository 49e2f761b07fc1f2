#include "serial/sio_send_thread.h"

#include <array>
#include <cstring>

#include "platform/message.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/store_flags.h"
#include "serial/serial_port.h"

namespace kestrel {

namespace {

// Line errors that make the send step drop its command when they stand alone.
constexpr std::array<uint32_t, 8> kDroppingErrors{kLineBreak,  kLineFraming, kLineOverrun,
                                                  kLineMode,   kLineIoError, kLineRxOverflow,
                                                  kLineParity, kLineTxFull};

// Status bits that close the port: the line cannot be used.
constexpr uint32_t kClosingStatus = kStatusRlsdHold | kStatusTxim;
// Status bits that hold the output for now: the command is dropped, the port stays open.
constexpr uint32_t kHoldingStatus = kStatusDsrHold | kStatusXoffHold | kStatusXoffSent | kStatusEof;

bool LineUsable(const LineStatus& status) {
    return (status.status & kClosingStatus) == 0;
}

}  // namespace

bool SendDropsOnError(uint32_t errors) {
    for (uint32_t error : kDroppingErrors) {
        if (errors == error) {
            return true;
        }
    }
    return false;
}

void Sio_Send_Thread::Handle(uint32_t id) {
    if (id == kMsgSendStep) {
        Step();
    }
}

void Sio_Send_Thread::Step() {
    if (StoreReady.load(std::memory_order_relaxed) != 1) {
        return;
    }
    // The command leaves the queue whatever happens to it below.
    char command[MessageRing::kSlotSize] = {};
    const size_t length = CommandRing.Take(command);

    // Each send step is the one place that reopens a port closed by a fault or an unplug, so a
    // dead adapter costs one open attempt per command and never a busy loop.
    SerialPort& port = TheSerialPort();
    port.Open(GetMirror(Mirror::AI) != 0);
    if (!port.IsOpen() || length == 0) {
        return;
    }
    uint32_t errors = 0;
    LineStatus status;
    port.ClearError(errors, status);
    if (status.outQueue >= kOutQueueCloseAt || !LineUsable(status)) {
        port.Close();
        return;
    }
    if ((status.status & kHoldingStatus) != 0 || SendDropsOnError(errors)) {
        return;
    }
    // AutoInfoSent tells what the transceiver was last told, so it changes only with a write
    // that the port took.
    const bool written = port.Write(reinterpret_cast<const uint8_t*>(command), length);
    if (written && length >= 4 && std::memcmp(command, "AI1;", 4) == 0) {
        AutoInfoSent.store(1, std::memory_order_relaxed);
    } else if (written && length >= 4 && std::memcmp(command, "AI0;", 4) == 0) {
        AutoInfoSent.store(0, std::memory_order_relaxed);
    }
    AnswerWaiting.store(1, std::memory_order_relaxed);
}

bool StartSioSendThread() {
    CommandRing.Empty();
    auto loop = Rt().StartLoop("Sio_Send_Thread",
                               [](const Message& message) { Sio_Send_Thread::Handle(message.id); });
    if (loop == nullptr) {
        return false;
    }
    SetWorkerLoop(Worker::SioSend, loop);
    return true;
}

bool StopSioSendThread() {
    return StopWorkerInSlot(Worker::SioSend);
}

bool LinkWatchdogExpired() {
    SerialPort& port = TheSerialPort();
    uint32_t errors = 0;
    LineStatus status;
    port.ClearError(errors, status);
    bool lost;
    if (AnswerWaiting.load(std::memory_order_relaxed) == 1) {
        AnswerWaiting.store(0, std::memory_order_relaxed);
        lost = status.inQueue == 0;
    } else {
        lost = !LineUsable(status) || !port.HandleValid();
    }
    return lost && PostToWorker(Worker::AnlRecv, kMsgLinkLost);
}

bool RotatorReadTick() {
    SerialPort& port = TheSerialPort();
    uint32_t errors = 0;
    LineStatus status;
    port.ClearError(errors, status);
    if (!LineUsable(status) || !port.HandleValid()) {
        return false;
    }
    return PostToWorker(Worker::AnlSend, kMsgRotatorRead);
}

}  // namespace kestrel
