#include "engine/engine_lifecycle.h"

#include "engine/anl_recv_thread.h"
#include "engine/anl_send_thread.h"
#include "engine/file_menu_list_def_file.h"
#include "platform/main_window.h"
#include "protocol/control_mirror.h"
#include "protocol/radio_state.h"
#include "serial/serial_port.h"
#include "serial/sio_recv_thread.h"
#include "serial/sio_send_thread.h"

namespace kestrel {

bool StartEngine(const std::function<void(int stringId)>& showMessage,
                 const std::function<void()>& beforePortOpens) {
    if (MainWindow* window = TheMainWindow()) {
        window->SetWindowWaiting(0);
        window->SetReadingRunning(0);
    }
    InitRadioState();
    InitControlMirror();
    InitialiseSerialPort(showMessage);
    if (beforePortOpens) {
        beforePortOpens();
    }
    TheSerialPort().Open(GetMirror(Mirror::AI) != 0);
    bool started = StartAnalysisThread();
    started = StartSioRecvThread() && started;
    started = StartSioSendThread() && started;
    started = StartRequestThread() && started;
    return started;
}

// Every send step reopens a closed port, so the port is shut for good before the workers stop:
// a heartbeat or read step that comes in meanwhile must not reach the line.
void StopEngine() {
    TheSerialPort().ShutDown();
    TheSerialPort().SaveSettings();
    StopSioRecvThread();
    StopAnalysisThread();
    StopRequestThread();
    StopSioSendThread();
}

}  // namespace kestrel
