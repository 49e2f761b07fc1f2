#include "panel/child_window_table.h"

#include "engine_api/radio_engine.h"
#include "menu_list_window/menu_list_window.h"
#include "options/command_send_dlg.h"
#include "options/cw_dlg.h"
#include "options/equalizer_window.h"
#include "options/playback_dlg.h"
#include "options/repeater_dlg.h"
#include "options/rotator_dlg.h"
#include "options/serial_setting_window.h"
#include "options/share_dlg.h"
#include "options/version_window.h"
#include "options/vfo_set_dlg.h"
#include "panel/connecting_dlg.h"
#include "platform/message.h"
#include "platform/timer_numbers.h"
#include "protocol/notifications.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

// A window class made with the main widget and the main window's message interface.
template <class Dlg>
CChildDlg* Make(QWidget* parent, MainWindow& window, const ChildWindowRow&) {
    return new Dlg(parent, window);
}

// The equalizer window's commands go to the line through the engine's raw queue.
CChildDlg* MakeEqualizer(QWidget* parent, MainWindow& window, const ChildWindowRow&) {
    auto* equalizer = new EqualizerWindow(parent, window);
    equalizer->SetCommandSink(
        [](std::string_view text) { return RadioEngine::QueueRaw(text) == RawResult::Queued; });
    return equalizer;
}

using R = ReadFirst;

// The child windows, in the order in which an open one takes the focus; a notification goes to
// the first open window that takes it. MENU LIST, VFO SET and the connecting window open from the
// panel keys 51, 63 and 1 (PanelController::PressKey), the others from the menu bar.
//
// To add a window: write its class on CChildDlg (it sends its closing message when it closes,
// takes notifications in OnNotification, reads Mode() in Open and stops timers of its own in
// Destroy), add its row here with make = Make<CItsDlg>, and put its menu command on the menu bar
// (PanelController::CreateMenuBar).
// clang-format off
constexpr auto kChildWindows = std::to_array<ChildWindowRow>({
    {.title = "MENU LIST",            .make = Make<MenuListWindow>,   .menus = {},                          .closeMessage = kMsgMenuListClosed,    .notifications = {kNotifyEX},                       .onNotify = OnNotify::MenuChangedBox, .readFirst = R::Always},
    {.title = "VFO SET",              .make = Make<CVfoSetDlg>,       .menus = {},                          .closeMessage = kMsgEntryClosed,       .notifications = {}},
    {.title = "COM Select",           .make = Make<ComSelectWindow>,  .menus = {kMenuComSelect},            .closeMessage = kMsgComSelectClosed,   .notifications = {}},
    {.title = "Baud rate",            .make = Make<BaudRateWindow>,   .menus = {kMenuBaudRate},             .closeMessage = kMsgBaudRateClosed,    .notifications = {}},
    {.title = "Share the radio",      .make = Make<CShareDlg>,        .menus = {kMenuShare},                .closeMessage = kMsgShareClosed,       .notifications = {}},
    {.title = "Command Send",         .make = Make<CCommandSendDlg>,  .menus = {kMenuCommandSend},          .closeMessage = kMsgCommandSendClosed, .notifications = {}},
    {.title = "CW",                   .make = Make<CCwDlg>,           .menus = {kMenuCw},                   .closeMessage = kMsgCwClosed,          .notifications = {kNotifyKM}},
    {.title = "Playback",             .make = Make<CPlaybackDlg>,     .menus = {kMenuPlayback},             .closeMessage = kMsgPlaybackClosed,    .notifications = {kNotifyRI, kNotifyAI}},
    {.title = "Rotator",              .make = Make<CRotatorDlg>,      .menus = {kMenuRotator},              .closeMessage = kMsgRotatorClosed,     .notifications = {kNotifyRO},                       .timer = {kTimerRotatorRead, 100}, .openMessage = kMsgRotatorRead},
    {.title = "Repeater",             .make = Make<CRepeaterDlg>,     .menus = {kMenuRepeater},             .closeMessage = kMsgRepeaterClosed,    .notifications = {kNotifyCN, kNotifyCT, kNotifyOS, kNotifyIF, kNotifyOI}},
    {.title = "Parametric Equalizer", .make = MakeEqualizer,          .menus = {kMenuPrmtrc, kMenuPPrmtrc}, .closeMessage = kMsgEqualizerClosed,   .notifications = {kNotifyPE, kNotifyAI, kNotifyEX}, .readFirst = R::WhenIdUnknown},
    {.title = "connecting",           .make = Make<CConnectingDlg>,   .menus = {},                          .closeMessage = kMsgConnectionUp,      .notifications = {},                                .timer = {kTimerConnecting, 5000}},
    {.title = "Version",              .make = Make<VersionWindow>,    .menus = {kMenuVersion},              .closeMessage = 0,                     .notifications = {},                                .modal = true},
});
// clang-format on

constexpr bool RowsAreConsistent() {
    for (size_t i = 0; i < kChildWindows.size(); ++i) {
        const ChildWindowRow& row = kChildWindows[i];
        // A modeless window needs a closing message; a modal one ends by itself.
        if (row.modal != (row.closeMessage == 0) ||
            (row.modal && (row.timer.id != 0 || row.notifications[0] != 0))) {
            return false;
        }
        for (size_t j = i + 1; j < kChildWindows.size(); ++j) {
            const ChildWindowRow& other = kChildWindows[j];
            if (!row.modal && row.closeMessage == other.closeMessage) {
                return false;
            }
            for (int id : row.menus) {
                if (id != 0 && ModeOfMenu(other, id) >= 0) {
                    return false;
                }
            }
        }
    }
    return true;
}
static_assert(RowsAreConsistent(), "one window per closing message and per menu command");

}  // namespace

std::span<const ChildWindowRow> ChildWindowTable() {
    return kChildWindows;
}

}  // namespace kestrel
