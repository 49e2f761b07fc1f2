#pragma once

#include <functional>

namespace kestrel {

// Runs the engine's share of the main window's start-up, in order: clears the two reading-window
// bytes, initialises the radio state store (which starts the menu loader), sets the control
// mirror's defaults, reads the serial settings (handing string 108 to showMessage when the file
// cannot be read), opens the port, and starts Anl_Recv_Thread, Sio_Recv_Thread,
// Sio_Send_Thread and Anl_Send_Thread. beforePortOpens, when given, runs once the settings are
// known and before the port opens. A main window must be installed. Reports whether every
// worker started.
bool StartEngine(const std::function<void(int stringId)>& showMessage,
                 const std::function<void()>& beforePortOpens = {});

// Runs the shutdown sequence: closes the port for good (nothing reopens it), writes the serial
// settings, and stops Sio_Recv_Thread, Anl_Recv_Thread, Anl_Send_Thread and Sio_Send_Thread in that
// order.
void StopEngine();

}  // namespace kestrel
