#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

class QWidget;

namespace kestrel {

class CChildDlg;
class MainWindow;
struct ChildWindowRow;

// Makes a child window's object, hidden, as a child of the main widget.
using ChildFactory = CChildDlg* (*)(QWidget* parent, MainWindow& window, const ChildWindowRow& row);

// Whether the reading window runs before a child window opens.
enum class ReadFirst : uint8_t {
    Never,
    Always,         // the window shows values that the reading sequence fetches
    WhenIdUnknown,  // only while the stored extended identification value is 0
};

// What the controller does with a notification that an open child window takes.
enum class OnNotify : uint8_t {
    HandOn,          // calls the window's OnNotification with the same wParam and lParam
    MenuChangedBox,  // shows the "menu changed" box instead, one at a time
};

// A main-window timer that runs while a child window is open.
struct ChildTimer {
    int id = 0;  // 0 for none
    int ms = 0;
};

// One child window of the panel controller: how it opens, closes and takes notifications.
struct ChildWindowRow {
    std::string_view title;      // the window's name
    ChildFactory make;           // makes the window's object once, with the controller
    std::array<int, 2> menus{};  // menu commands that open it; the position is the mode it gets
    uint32_t closeMessage = 0;   // the message on which the controller closes it
    std::array<uint32_t, 5> notifications{};  // the notifications it takes while open
    OnNotify onNotify = OnNotify::HandOn;
    ReadFirst readFirst = ReadFirst::Never;
    ChildTimer timer{};        // started once it is open, stopped when it closes
    uint32_t openMessage = 0;  // thread message posted to Anl_Send_Thread once it is open
    bool modal = false;        // runs modally: no open flag, no closing message
};

// Returns the child windows in the order in which an open one takes the focus.
std::span<const ChildWindowRow> ChildWindowTable();

// Reports whether a row's window takes a notification.
constexpr bool Takes(const ChildWindowRow& row, uint32_t id) {
    return id != 0 && std::ranges::find(row.notifications, id) != row.notifications.end();
}

// Returns the mode a menu command opens a row's window in, or -1 when it does not open it.
constexpr int ModeOfMenu(const ChildWindowRow& row, int id) {
    const auto found = std::ranges::find(row.menus, id);
    return id != 0 && found != row.menus.end() ? static_cast<int>(found - row.menus.begin()) : -1;
}

}  // namespace kestrel
