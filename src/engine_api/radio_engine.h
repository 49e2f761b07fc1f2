#pragma once

// The engine interface: the one door through which the panel, kestrel-console and the network
// server reach the engine. They start and stop it, connect, make numbered requests and absolute
// settings, queue raw command texts, read the radio state store and listen to notifications
// through RadioEngine alone. Beside it they use only what lies below the engine: the read-only
// tables of protocol/ and menulist/ (command catalogue, request numbers, store fields and their
// getters, menu records) and the stand-ins of platform/ (runtime, MainWindow interface, timer
// and message numbers). The build links the engine to this library privately, so an include of
// engine/ or serial/ from the GUI or the console does not compile.
//
// Start and Stop belong to the program that owns the engine; every other call is safe
// from any thread, and none waits for the transceiver. Commands go out in the order they were
// asked for: requests, setters and connects all queue behind one another on the request thread.
// A raw text goes straight into the command ring, as the Command Send window and the keyboard
// shortcuts have always done.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/serial_device.h"
#include "platform/serial_ports.h"
#include "protocol/radio_state.h"

namespace kestrel {

// One message the engine posted to the main window: a notification of the analysis thread
// (0x8302-0x8355, one per answer code), the end of the menu read or a start-up failure box
// (0x8109), with wParam and lParam as the main window receives them.
struct Notification {
    uint32_t id = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

// The two VFOs; VFO A is the main receiver, VFO B the sub receiver.
enum class Vfo : uint8_t { A, B };

// What became of a raw command handed to the engine.
enum class RawResult : uint8_t {
    Queued,      // in the command ring; the send thread has been woken
    Empty,       // nothing to send
    TooLong,     // longer than a ring slot holds
    RingFull,    // the ring had no free slot: nothing was queued
    NotRunning,  // the engine is not started
};

// The front door of the engine. Its state is the engine's globals, so every function is static.
class RadioEngine {
  public:
    using ListenerId = uint64_t;
    // Receives notifications; runs on the listener's own delivery loop, never the engine's.
    using Listener = std::function<void(const Notification&)>;

    // How many undelivered notifications a listener's queue holds unless told otherwise.
    static constexpr size_t kListenerQueueDefault = 1024;
    // The mode codes the transceiver reports in "MD" and takes back, one hexadecimal digit each.
    static constexpr int kFirstModeCode = 1;
    static constexpr int kLastModeCode = 12;

    // Starts the engine: clears the reading-window bytes, initialises the store, reads the
    // serial settings (handing string-table ids of failure boxes to showMessage), runs
    // beforePortOpens, opens the port and starts the four workers. A main window must be
    // installed. Reports whether every worker started.
    static bool Start(const std::function<void(int stringId)>& showMessage,
                      const std::function<void()>& beforePortOpens = {});
    // Runs the shutdown sequence: closes the port, writes the settings, stops the workers.
    static void Stop();
    // Hands the tick of a main-window timer that paces the engine to its worker; false, doing
    // nothing, for a timer that is not the engine's.
    static bool DispatchTimer(int timerId);

    // Opens this device path instead of the port number's device for the rest of the run; an
    // empty path returns to the port number.
    static void SetDeviceOverride(std::string path);
    // Opens devices through the factory instead of termios (tracing, tests); nullptr restores it.
    static void SetDeviceFactory(SerialDeviceFactory factory);
    // Returns the port number of the serial settings (a number of kPortTable).
    static int32_t PortNumber();
    // Stores a port number of kPortTable and reports true; otherwise stores 1 and reports false.
    // It takes effect when the port next opens.
    static bool SetPortNumber(int32_t number);
    // Returns the baud rate of the serial settings.
    static int32_t BaudRate();
    // Stores one of kBaudRates and reports true; otherwise stores 4800 and reports false.
    static bool SetBaudRate(int32_t baud);
    // Writes the serial settings file.
    static bool SaveSerialSettings();
    // Reports whether the port of a kPortTable row exists and shows a usable line, without
    // touching the port the engine holds.
    static bool ProbePort(size_t row);
    // Closes the serial port; the next command that goes out opens it again.
    static bool ClosePort();

    // Changing the port or the speed while the program runs (COM Select, Baud rate).
    // What a change came to.
    enum class SettingChange : uint8_t {
        Saved,             // the setting in force, stored and saved again; the port untouched
        ProbeFailed,       // the new port is missing, in use or unusable: nothing changed
        Switched,          // the transceiver left the link; stored, saved and the port closed
        AutoInfoStayedOn,  // as Switched, though the transceiver kept reporting for 2.9 s
    };
    // Receives the outcome of a change, on the caller's thread or a runtime thread.
    using SettingDone = std::function<void(SettingChange)>;
    // Makes port `number` the port: unless it is the one in force (and its device was not just
    // relinked), it is probed first, automatic information is switched off and waited for on a
    // timer, and the port closes so that the next connection opens the new one. False, doing
    // nothing, for a number not in kPortTable.
    static bool ChangePort(int32_t number, bool relinked, SettingDone done);
    // Makes `baud` the speed the same way, without a probe; false for a speed not in kBaudRates.
    static bool ChangeBaudRate(int32_t baud, SettingDone done);

    // Connects (request 1) unless the link is up already; false when it could not be posted.
    static bool Connect();
    // Disconnects (request 1) unless the link is down already; false when it could not be posted.
    static bool Disconnect();
    // Reports whether the transceiver reports automatic information on: the link is up.
    static bool IsConnected();

    // Makes numbered request `number` (1-153) as the panel keys do; toggles read the last value
    // the radio reported. False for an unknown number or when the engine is not started.
    static bool Request(int number, int vfoB = 0, int32_t value = 0);
    // Posts a control message to the request thread (the rotator position read).
    static bool RequestMessage(uint32_t message, uint64_t wParam = 0, int64_t lParam = 0);

    // Absolute setters. Each checks its argument and returns false, queuing nothing, when it is
    // out of range or the engine is not started; otherwise it queues the command that brings the
    // radio to the stated value and returns true.
    // Sets the frequency of a VFO, in hertz, within the store's limits for FA and FB.
    static bool SetFrequency(Vfo vfo, uint64_t hertz);
    // Sets the mode of a VFO's receiver to a code from kFirstModeCode to kLastModeCode ("MD").
    static bool SetMode(int modeCode, Vfo vfo = Vfo::A);
    // Keys ("TX1;") or unkeys ("TX0;") the transmitter, as a remote program's PTT does.
    static bool SetTransmit(bool on);
    // Transmits on VFO B while receiving on VFO A ("FT1;"), or on VFO A again ("FT0;").
    static bool SetSplit(bool on);
    // Makes a VFO the one in use ("VS0;", "VS1;").
    static bool SetActiveVfo(Vfo vfo);
    // Sets menu item `itemNumber` to `value`, the number its "EX" command carries, as the MENU
    // LIST window does: the store takes the value and the item goes out with request 41.
    static bool SetMenuValue(int itemNumber, int64_t value);
    // Reports whether the menu item exists and takes the value.
    static bool MenuValueAccepted(int itemNumber, int64_t value);
    // Copies every menu item record out of the store, in item order (118 once loaded).
    static std::vector<MenuItem> MenuItems();
    // Stores the edited records (edited 1) with their edit as their value, still marked for
    // sending, and has them sent with one request 41, as the MENU LIST window's OK does.
    // Returns how many were stored, or -1, storing nothing, when there are edits and the engine
    // is not started.
    static int StoreMenuEdits(std::span<const MenuItem> items);
    // Reports whether a mode code is one the transceiver knows.
    static constexpr bool IsModeCode(int code) {
        return code >= kFirstModeCode && code <= kLastModeCode;
    }

    // Queues a raw command text exactly as given (no ";" added) and wakes the send thread.
    static RawResult QueueRaw(std::string_view text);

    // Reads a store field: what the radio last reported.
    static int32_t Read(Field field);
    // Reads the text of keyer memory 1-5 as the radio last reported it (padded with spaces to
    // 50 characters); empty for another memory.
    static std::string ReadKeyerText(int memory);

    // Adds a listener that receives, from now on and in order, every message the engine posts
    // to the main window. It runs on a delivery loop of its own behind a queue of at most
    // queueLimit notifications; when the queue is full a notification is dropped for this
    // listener alone and counted, so a slow listener never holds up the engine. Returns 0 for
    // an empty listener or a limit of 0. Remove every listener before the runtime ends.
    static ListenerId AddListener(Listener listener, size_t queueLimit = kListenerQueueDefault);
    // Removes a listener; once it returns the listener is never called again. It waits for a
    // call in progress unless it is called from within that call.
    static void RemoveListener(ListenerId id);
    // Returns how many notifications a listener lost to its full queue (0 for an unknown id).
    static uint64_t DroppedNotifications(ListenerId id);
};

}  // namespace kestrel
