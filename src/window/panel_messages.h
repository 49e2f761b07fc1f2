#pragma once

#include <cstdint>

#include "platform/timer_numbers.h"

namespace kestrel {

// Window messages between the panel controller, its child windows and the main window.
inline constexpr uint32_t kMsgDrawMainDial = 0x85C8;       // wParam angle, 360 = at rest
inline constexpr uint32_t kMsgSelectDigitA = 0x85C9;       // wParam digit 1-8, 0 = no mark
inline constexpr uint32_t kMsgSelectDigitB = 0x85CA;       // wParam digit 1-8, 0 = no mark
inline constexpr uint32_t kMsgDrawDial2 = 0x85CB;          // wParam angle, 360 = at rest
inline constexpr uint32_t kMsgEntryClosed = 0x85CC;        // VFO SET closed, wParam Hz or 0
inline constexpr uint32_t kMsgComSelectClosed = 0x85CD;    // COM Select closed
inline constexpr uint32_t kMsgBaudRateClosed = 0x85CE;     // Baud rate closed
inline constexpr uint32_t kMsgCommandSendClosed = 0x85CF;  // Command Send closed
inline constexpr uint32_t kMsgExitProgram = 0x85D1;        // end the main window as if cancelled
inline constexpr uint32_t kMsgDrawKeyLamp = 0x85D2;        // wParam on, lParam lamp index
inline constexpr uint32_t kMsgMenuListClosed = 0x85D3;     // MENU LIST closed
inline constexpr uint32_t kMsgRestDial4 = 0x85D4;          // redraw at rest after a wheel turn
inline constexpr uint32_t kMsgRestDial5 = 0x85D5;          // redraw at rest after a wheel turn
inline constexpr uint32_t kMsgPlaybackClosed = 0x85D6;     // Playback closed
inline constexpr uint32_t kMsgCwClosed = 0x85D7;           // CW closed
inline constexpr uint32_t kMsgRepeaterClosed = 0x85D8;     // Repeater closed
inline constexpr uint32_t kMsgRotatorClosed = 0x85D9;      // Rotator closed
inline constexpr uint32_t kMsgHoldButton = 0x85DA;         // a hold button went down or up
inline constexpr uint32_t kMsgEqualizerClosed = 0x85DB;    // parametric equalizer closed
inline constexpr uint32_t kMsgDrawDial3 = 0x85E1;          // wParam angle, 360 = at rest
inline constexpr uint32_t kMsgShareClosed = 0x85E4;        // Share the radio closed

// The angle that draws a rotary control at rest.
inline constexpr uint64_t kAngleAtRest = 360;

// Menu bar command ids.
inline constexpr int kMenuExit = 32779;
inline constexpr int kMenuCommandSend = 32780;
inline constexpr int kMenuComSelect = 32781;
inline constexpr int kMenuBaudRate = 32782;
inline constexpr int kMenuPlayback = 32783;
inline constexpr int kMenuRotator = 32784;
inline constexpr int kMenuCw = 32785;
inline constexpr int kMenuRepeater = 32786;
inline constexpr int kMenuPrmtrc = 32787;
inline constexpr int kMenuPPrmtrc = 32788;
inline constexpr int kMenuVersion = 32789;
inline constexpr int kMenuShare = 32790;

}  // namespace kestrel
