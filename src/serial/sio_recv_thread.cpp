#include "serial/sio_recv_thread.h"

#include <algorithm>
#include <memory>

#include "platform/message.h"
#include "platform/runtime.h"
#include "platform/workers.h"
#include "protocol/framing.h"
#include "protocol/message_ring.h"
#include "protocol/store_flags.h"
#include "serial/serial_port.h"

namespace kestrel {

void Sio_Recv_Thread::Handle(uint32_t id) {
    if (id == kMsgReceiveStep) {
        Step();
    }
}

void Sio_Recv_Thread::Step() {
    if (StoreReady.load(std::memory_order_relaxed) != 1) {
        return;
    }
    SerialPort& port = TheSerialPort();
    uint32_t errors = 0;
    LineStatus status;
    port.ClearError(errors, status);

    // RTS follows the bytes held: raised up to 1024, lowered from 2048 or on a receive-queue
    // overflow, left alone in between so that it does not flap around one threshold.
    const uint32_t held = buffer_.count;
    if (held <= kRtsRaiseAtMost && errors != kLineRxOverflow) {
        port.SetRts(true);
    }
    if (errors == kLineRxOverflow) {
        port.SetRts(false);
    }
    if (held >= kRtsLowerAtLeast) {
        port.SetRts(false);
    }

    if ((status.status & kStatusRlsdHold) != 0) {
        buffer_.lengthKnown = false;
        port.Close();
    }
    if ((status.status & kStatusTxim) != 0) {
        port.Close();
    }

    // The read takes what the status counted, but never more than the buffer has room for.
    size_t read = 0;
    if (port.IsOpen()) {
        const size_t wanted = std::min<size_t>(status.inQueue, buffer_.FreeSpace());
        if (wanted > 0) {
            read = port.Read(buffer_.Tail(), wanted);
        }
    }
    // Judged by the count read rather than by the first byte: a received 0xFF is data (noise)
    // that the framing must see and discard, not "nothing arrived".
    if (held == 0 && read == 0) {
        return;
    }
    buffer_.Commit(static_cast<uint32_t>(read));
    FramingStep(buffer_, errors);
}

bool StartSioRecvThread() {
    AnswerRing.Empty();
    auto thread = std::make_shared<Sio_Recv_Thread>();
    // The loop paces its own steps, so that nothing else wakes 200 times a second for them.
    auto loop =
        Rt().StartPacedLoop("Sio_Recv_Thread", kReceiveStepMs, {kMsgReceiveStep, 0, 0},
                            [thread](const Message& message) { thread->Handle(message.id); });
    if (loop == nullptr) {
        return false;
    }
    SetWorkerLoop(Worker::SioRecv, loop);
    return true;
}

bool StopSioRecvThread() {
    return StopWorkerInSlot(Worker::SioRecv);
}

}  // namespace kestrel
