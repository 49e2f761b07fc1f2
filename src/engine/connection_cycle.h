#pragma once

#include <cstdint>

namespace kestrel {

// The timed command sequences of a connection: connect and disconnect, the identification probe,
// the initial read, the menu read, the heartbeat and the power follow-up reads. It runs on
// Anl_Send_Thread, which owns it, so its fields need no guard; its waits hold up the requests
// queued behind them, which keeps the order of commands on the line.
class ConnectionCycle {
  public:
    // Request 1: connects while automatic information is off, disconnects while it is on.
    void Connect();
    // Request 2: switches the transceiver on or off and sets the timer of the follow-up read.
    void SwitchPower();
    // Sends "ID;" and "ID0747;", 25 ms apart, and waits 25 ms more.
    void IdentProbe();
    // Starts the initial read at row 0, or restarts a running one at row 0.
    void StartInitialRead();
    // Reads one row of the read table; after the last row starts the menu read.
    void InitialReadStep();
    // Starts the menu read at item 1, or restarts a running one at item 1.
    void StartMenuRead();
    // Reads one menu item; after the last item ends the menu read and notifies the window.
    void MenuReadStep();
    // Stops the initial read and the menu read, then the keyer-memory read cycle.
    void StopReads();
    // Sends "PS;" while connected and "AI;" 30 ms later while the transceiver is also on.
    void Heartbeat();
    // Kills the power-on read timer and sends "PS;".
    void PowerOnRead();
    // Sends "PS;" and kills the power-off read timer on its second tick.
    void PowerOffRead();

  private:
    void StopInitialRead();
    void StopMenuRead(bool notify);
    void ReadRow(int row);

    int32_t powerReadCount = 0;
    uint8_t initialReadRunning = 0;
    uint8_t menuReadRunning = 0;
    int32_t initialReadRow = 0;
    int32_t menuReadItem = 1;
};

}  // namespace kestrel
