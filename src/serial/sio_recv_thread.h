#pragma once

#include <cstdint>

#include "protocol/receive_buffer.h"

namespace kestrel {

// The period of the receive step.
inline constexpr int kReceiveStepMs = 5;
// RTS is raised while the receive buffer holds at most this many bytes.
inline constexpr uint32_t kRtsRaiseAtMost = 1024;
// RTS is lowered once the receive buffer holds at least this many bytes.
inline constexpr uint32_t kRtsLowerAtLeast = 2048;

// The worker that reads the port every 5 ms, keeps RTS in step with its buffer and frames at
// most one answer per step into the AnswerRing.
class Sio_Recv_Thread {
  public:
    // Starts with an empty receive buffer and no answer length known.
    Sio_Recv_Thread() { buffer_.Reset(); }
    Sio_Recv_Thread(const Sio_Recv_Thread&) = delete;
    Sio_Recv_Thread& operator=(const Sio_Recv_Thread&) = delete;

    // Handles one message of the thread's loop (the receive step).
    void Handle(uint32_t id);
    // Runs one receive step; does nothing until StoreReady is set.
    void Step();
    // Returns the receive buffer.
    ReceiveBuffer& Buffer() { return buffer_; }

  private:
    ReceiveBuffer buffer_;
};

// Empties the AnswerRing and starts Sio_Recv_Thread in its worker slot, its loop running a
// receive step every 5 ms. Reports whether the thread runs.
bool StartSioRecvThread();
// Stops Sio_Recv_Thread with the common stop routine; reports whether it ended.
bool StopSioRecvThread();

}  // namespace kestrel
