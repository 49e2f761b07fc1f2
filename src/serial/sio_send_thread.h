#pragma once

#include <cstdint>

namespace kestrel {

// A port whose output queue holds this many bytes or more is closed and the command dropped.
inline constexpr uint32_t kOutQueueCloseAt = 5120;

// The worker that writes one command of the CommandRing to the port per step message, after
// checking that the line can take it.
class Sio_Send_Thread {
  public:
    // Handles one message of the thread's loop (the send step).
    static void Handle(uint32_t id);
    // Runs one send step; does nothing until StoreReady is set.
    static void Step();
};

// Reports whether a line-error value makes the send step drop its command: exactly one of
// break, framing, overrun, mode, I/O error, receive overflow, parity or transmit full.
bool SendDropsOnError(uint32_t errors);

// Empties the CommandRing and starts Sio_Send_Thread in its worker slot. Reports whether the
// thread runs.
bool StartSioSendThread();
// Stops Sio_Send_Thread with the common stop routine; reports whether it ended.
bool StopSioSendThread();

// Runs the link watchdog (main-window timer 17): with an answer awaited and nothing in the input
// queue, or with no answer awaited and an unusable or closed port, posts 0x810C to
// Anl_Recv_Thread. Clears AnswerWaiting. Reports whether it posted.
bool LinkWatchdogExpired();
// Runs the rotator-read status test (main-window timer 20): posts 0x810D to Anl_Send_Thread
// unless the port is closed or shows carrier hold or transmit immediate. Reports whether it posted.
bool RotatorReadTick();

}  // namespace kestrel
