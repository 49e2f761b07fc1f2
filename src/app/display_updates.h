#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "protocol/radio_state.h"
#include "skin/skin_layout.h"

namespace kestrel {

class PanelPainter;

// How a notification redraws the panel from the radio state store.
enum class Redraw : uint8_t {
    None,              // the answer changes the store only
    Lamp,              // `group` lit when `field` is 1
    Legend,            // `group` shows the image numbered by `field` (0 to 2)
    KeyCap,            // four-image cap `group` on (image 2) when `field` is 1, else image 0
    ReceiveClarifier,  // RT lamp, clarifier legend, frequency
    TransmitClarifier,
    FunctionKeys,  // the four caps that share the SF value
    Notch,
    Contour,      // contour legend, then the contour or APF rows
    TransmitVfo,  // the two TX caps from FT
    ReceiveVfo,   // the two RX caps from FR
    VfoSide,      // frequency, offset and memory lamps (VS, IF)
    RoofingFilter,
    Agc,
    Attenuator,
    Preamp,
    Antenna,
    Monitor,  // MONI lamp and knob
    Meters,
    Apf,
    KeyerSpeedKnob,
    MicGainKnob,
    SquelchKnob,
    AfRfKnob,
    VoiceFilter,  // µ-TUNE and THRU lamps
    Shift,
    Frequency,
    Transmit,
    AutoInfo,
    Clarifier,  // frequency and offset (OI)
    Mode,
    MeterSelection,
    Power,
    RadioIndicators,  // the RI lamps and receive-VFO caps
    Width,
    DspKeys,  // the five caps that share the KC value
};

// One notification of the analysis thread and what the main window does with it.
struct NotificationRow {
    uint32_t message;
    std::string_view answer;
    Redraw redraw;
    SkinGroup group = SkinGroup::Count;  // for Lamp, Legend and KeyCap
    Field field = Field::Count;          // for Lamp, Legend and KeyCap
};

// Returns every notification the main window binds, in message order.
std::span<const NotificationRow> NotificationTable();
// Returns the row of a notification, or nullptr when the main window has no handler for it.
const NotificationRow* FindNotification(uint32_t message);
// Returns the notifications that the one-shot full refresh sends, in order, before the dials.
std::span<const uint32_t> FullRefreshFirstNotifications();
// Returns the notifications that the full refresh sends last.
std::span<const uint32_t> FullRefreshLastNotifications();

// Returns the mode legends (bit 0 LSB to bit 6 PKT) that a mode value lights, or -1 when the
// value draws nothing.
int ModeLegendMask(int32_t mode);
// Reports whether the displays show the B side: FT 1 while transmitting, VS 1 while receiving.
bool ShowsSideB();

// The main window's display updates: each notification's redraw from the radio state store.
// Runs on the user-interface thread.
class DisplayUpdates {
  public:
    // Draws with the painter; digitCursor reads the main window's m_nDigitCursor.
    DisplayUpdates(PanelPainter& painter, std::function<int()> digitCursor);

    // Redraws what a notification concerns. Messages without a row draw nothing.
    void HandleNotification(uint32_t message);
    // Redraws every lamp, legend, display, knob, scale plate and key cap from the store for
    // RepaintAll, without taking new meter readings or resetting the peak holds.
    void RedrawFromStore();

    // Draws the main frequency display with the A or B frequency (see ShowsSideB); reports
    // whether it drew, which it does not while the display already shows that.
    bool ShowFrequency();
    // Reports whether the main frequency display already shows what ShowFrequency would draw.
    bool FrequencyUpToDate() const;
    // Draws the clarifier offset display with the IF or OI offset.
    void ShowOffset();
    // Draws the two memory lamps from VS and the IF memory field.
    void ShowMemoryLamps();
    // Draws both meters' scale plates and takes a new reading of each bar.
    void ShowMeters();
    // Draws the seven mode legends from the MD value.
    void ShowModeLegends();

  private:
    enum class Purpose : uint8_t { Notification, Repaint };
    void Apply(const NotificationRow& row, Purpose purpose);
    void DrawLamp(SkinGroup group, bool lit);
    void DrawCap(SkinGroup group, bool on);
    void DrawColumn(SkinGroup group, int positions, int litMask);
    void DrawUpperPlates();
    bool DrawLowerPlate();
    void DrawLegendColumn(const NotificationRow& row);

    PanelPainter& painter_;
    std::function<int()> digitCursor_;
};

}  // namespace kestrel
