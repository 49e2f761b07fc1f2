#pragma once

#include <atomic>
#include <cstdint>

#include "protocol/cat_catalogue.h"
#include "protocol/requests.h"

namespace kestrel {

// The keyer memory (1 to 5) that the keyer-memory read cycle asks for next.
extern std::atomic<int32_t> keyerReadSlot;

// Starts Anl_Send_Thread in its worker slot and sets the heartbeat timer 8 to 1000 ms.
bool StartRequestThread();
// Stops Anl_Send_Thread with the common stop routine and kills the heartbeat timer.
bool StopRequestThread();

// Posts the message of request `number` (1 to 153) with the VFO-B bit and the value; false when
// the number is not a request or the thread does not run.
bool PostRequest(int number, int vfoB, int32_t value);
// Posts any message to Anl_Send_Thread; false when the thread does not run.
bool PostRequestMessage(uint32_t message, uint64_t wParam = 0, int64_t lParam = 0);

// Posts one step of the keyer-memory read cycle.
bool PostKeyerReadStep();
// Posts the start of the initial read.
bool PostStartInitialRead();
// Posts the stop of the initial read, the menu read and the keyer-memory read cycle.
bool PostStopReads();
// Posts the start of the menu read.
bool PostStartMenuRead();
// Posts the power read that follows switching on.
bool PostPowerOnRead();
// Posts a power read that follows switching off.
bool PostPowerOffRead();
// Posts the identification probe.
bool PostIdentProbe();
// Posts request 1: connect, or disconnect when connected.
bool PostConnect();
// Posts a connect (true) or a disconnect (false) that request 1 carries out only when the link
// is not already in that state.
bool PostSetConnected(bool connected);
// Posts a built command of at most kInOrderCommandLength bytes to be queued behind every request
// posted before it; false when it is empty or longer, or the thread does not run.
bool PostCommandInOrder(const CatCommand& command);

// The longest command PostCommandInOrder carries: the text travels inside the message itself.
inline constexpr int32_t kInOrderCommandLength = 8;

// Sets the link watchdog timer 17 to 3000 ms and marks it armed.
void ArmLinkWatchdog();
// Kills the link watchdog timer 17 and marks it disarmed.
void DisarmLinkWatchdog();
// Sets timer 25 to 30 ms: each tick reads the next keyer memory.
void StartKeyerReadCycle();
// Sets the next keyer memory back to 1 and kills timer 25.
void StopKeyerReadCycle();

// Queues a built command for Sio_Send_Thread and wakes it; a command of length 0 or one the ring
// refuses is dropped and nothing is posted. Reports whether the command was queued.
bool HandOffCommand(const CatCommand& command);

}  // namespace kestrel
