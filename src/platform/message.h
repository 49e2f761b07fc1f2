#pragma once

#include <cstdint>
#include <functional>

#include "platform/all_distinct.h"

namespace kestrel {

// A posted message: its number and the two parameters that travel with it.
struct Message {
    uint32_t id = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

using MessageHandler = std::function<void(const Message&)>;

// Messages that control the worker threads.
inline constexpr uint32_t kMsgAnalyse = 0x8102;          // one analysis step (Anl_Recv_Thread)
inline constexpr uint32_t kMsgSendStep = 0x8103;         // one send step (Sio_Send_Thread)
inline constexpr uint32_t kMsgReceiveStep = 0x8104;      // one receive step (Sio_Recv_Thread)
inline constexpr uint32_t kMsgStop = 0x8105;             // ends any worker loop
inline constexpr uint32_t kMsgLoadMenu = 0x8106;         // File_MenuListDefFile loads the catalogue
inline constexpr uint32_t kMsgInitialReadStep = 0x8107;  // one step of the initial read
inline constexpr uint32_t kMsgMenuReadStep = 0x8108;     // one step of the menu read
inline constexpr uint32_t kMsgStartupFailure = 0x8109;   // main window: start-up failure box
inline constexpr uint32_t kMsgConnectionUp = 0x810A;     // main window: connection up
inline constexpr uint32_t kMsgLinkLost = 0x810C;         // Anl_Recv_Thread: link lost
inline constexpr uint32_t kMsgRotatorRead = 0x810D;      // Anl_Send_Thread: rotator position read
static_assert(AllDistinct(kMsgAnalyse, kMsgSendStep, kMsgReceiveStep, kMsgStop, kMsgLoadMenu,
                          kMsgInitialReadStep, kMsgMenuReadStep, kMsgStartupFailure,
                          kMsgConnectionUp, kMsgLinkLost, kMsgRotatorRead),
              "each worker message needs a number of its own");

// The main window's timer message; wParam carries the timer number.
inline constexpr uint32_t kMsgTimer = 0x0113;

}  // namespace kestrel
