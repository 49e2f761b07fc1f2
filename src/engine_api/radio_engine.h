#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "protocol/radio_state.h"

namespace kestrel {

// One notification of the analysis thread: its message number (0x8302-0x8355, one per answer
// code), wParam and lParam as the main window receives them.
struct Notification {
    uint32_t id = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

// The two VFOs.
enum class Vfo : uint8_t { A, B };

// What became of a raw command handed to the engine.
enum class RawResult : uint8_t {
    Queued,      // in the command ring; the send thread has been woken
    Empty,       // nothing to send
    TooLong,     // longer than a ring slot holds
    RingFull,    // the ring had no free slot: nothing was queued
    NotRunning,  // the engine is not started
};

// The one front door of the engine. The panel, the console and the network server control the
// radio and read its state only through this class (and the read-only tables of protocol/).
// Every call is safe from any thread; none blocks on the serial line.
class RadioEngine {
  public:
    using ListenerId = uint64_t;
    // Receives notifications; runs on the listener's own delivery thread, never the engine's.
    using Listener = std::function<void(const Notification&)>;

    // Starts the workers (see StartEngine): showMessage receives string-table ids of start-up
    // failure boxes; beforePortOpens runs once the settings are known.
    static bool Start(const std::function<void(int stringId)>& showMessage,
                      const std::function<void()>& beforePortOpens = {});
    // Runs the shutdown sequence; after it nothing reopens the port.
    static void Stop();

    // Starts a connection (request 1) when the link is not up; false when it could not be posted.
    static bool Connect();
    // Ends the connection (request 1) when the link is up.
    static bool Disconnect();
    // Reports whether the transceiver is connected: automatic information on and identified.
    static bool IsConnected();

    // Makes numbered request `number` (1-153), as the panel keys do.
    static bool Request(int number, int vfoB = 0, int32_t value = 0);
    // Posts a control message to the request thread (rotator read, keyer read cycle...).
    static bool RequestMessage(uint32_t message, uint64_t wParam = 0, int64_t lParam = 0);

    // Absolute setters: each queues the command(s) that bring the radio to the stated value.
    static bool SetFrequency(Vfo vfo, uint64_t hertz);
    static bool SetMode(int modeCode);
    static bool SetTransmit(bool on);
    static bool SetSplit(bool on);
    static bool SetActiveVfo(Vfo vfo);
    static bool SetMenuValue(int itemNumber, int64_t value);

    // Queues a raw command text exactly as given (no ";" added) and wakes the send thread.
    static RawResult QueueRaw(std::string_view text);

    // Reads a store field (what the radio last reported).
    static int32_t Read(Field field);

    // Adds a listener that receives every notification from now on, in order, on a delivery
    // thread of its own with a bounded queue, so a slow listener never holds up the engine.
    static ListenerId AddListener(Listener listener);
    // Removes a listener; after it returns the listener is never called again.
    static void RemoveListener(ListenerId id);
};

}  // namespace kestrel
