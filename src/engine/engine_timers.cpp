#include "engine/engine_timers.h"

#include "engine/anl_send_thread.h"
#include "serial/sio_send_thread.h"

namespace kestrel {

bool DispatchEngineTimer(int timerId) {
    switch (timerId) {
        case kTimerInitialRead:
            PostRequestMessage(kMsgInitialReadStep);
            return true;
        case kTimerMenuRead:
            PostRequestMessage(kMsgMenuReadStep);
            return true;
        case kTimerHeartbeat:
            PostRequestMessage(kMsgHeartbeat);
            return true;
        case kTimerLinkWatchdog:
            LinkWatchdogExpired();
            return true;
        case kTimerRotatorRead:
            RotatorReadTick();
            return true;
        case kTimerPowerOnRead:
            PostPowerOnRead();
            return true;
        case kTimerPowerOffRead:
            PostPowerOffRead();
            return true;
        case kTimerKeyerRead:
            PostKeyerReadStep();
            return true;
        default:
            return false;
    }
}

}  // namespace kestrel
