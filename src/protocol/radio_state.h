#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

#include "menulist/menu_item.h"
#include "menulist/menu_kind.h"
#include "protocol/control_mirror.h"
#include "protocol/ranged_value.h"
#include "protocol/store_flags.h"

namespace kestrel {

// The RadioState fields: the program's copy of the transceiver's state, one RangedValue each.
// Names are the answer code, then
//   - the selector digit where the answer's P1 picks the field (MD0 main, MD1 sub; RM1 takes
//     every RM selector other than 0; RI has no fields for selectors 6 and 9),
//   - for BP, CO and ML the P1 sense of the command: 0 the on/off or mode value, 1 the level,
//   - "p" and the first position of the value where one answer carries several (IFp5 is the IF
//     frequency at positions 5 to 12, ANp3 the AN value at position 3),
//   - IDX for the extended identification number of the "0747" answer.
// The clarifier offsets IFp13 and OIp13 are RangedReal fields (RealField); the PE fields have
// their own accessors.
// clang-format off
enum class Field : uint8_t {
    RT, XT, SF, BP0, BP1, BC, CO0, CO1, NR0, NR1, FT, FR, LK, FS, VS, NA0, NA1, NB0, NB1, RF, GT0,
    GT1, RA, PA, KR, TS, ANp3, ANp4, AC, MX, VX, BI, PR, ML0, ML1, CS, DP, RM0, RM1, KP, KS, SD,
    NL0, NL1, MG, PL, VG, VD, SQ0, SQ1, AG0, AG1, RG0, RG1, IFp5, IFp18, IFp19, IFp20, IFp21, IFp22,
    IFp23, IFp25, VF0p3, VF0p4, VF0p7, VF1p3, VF1p4, VF1p7, IS, SH, RL, BYp2, BYp3, FA, FB, ROp3,
    ROp6, SC, SM0, SM1, TX, UL, AI, CN0, CN1, CT0, CT1, KM, MC, OIp5, OIp18, OIp19, OIp20, OIp21,
    OIp22, OIp23, OIp25, OS0, OS1, PC, RS, ID, IDX, MD0, MD1, MS, PS, RI0, RI1, RI2, RI3, RI4, RI5,
    RI7, RI8, BG0, BG1, BG2, KC,
    Count
};
// clang-format on

inline constexpr int kFieldCount = static_cast<int>(Field::Count);

// The two RangedReal fields: the clarifier offsets of the IF and OI answers, in Hz.
enum class RealField : uint8_t { IFp13, OIp13, Count };

inline constexpr int kKeyerChannels = 5;
// The size of a keyer text field: 50 characters and the terminating NUL.
inline constexpr uint32_t kKeyerTextSize = 51;
// The most menu items the item count accepts.
inline constexpr int32_t kMaxMenuItemCount = 500;

// Set when the transceiver was switched off while automatic information was on, so that the next
// AI answer restarts the connection.
inline std::atomic<uint8_t> PowerOffMarker{0};
// The AI mirror value saved when the transceiver reported power off.
inline std::atomic<int32_t> SavedAutoInfo{0};
// 1 while the main window's link watchdog timer runs.
inline std::atomic<uint8_t> LinkWatchdogArmed{0};

// Resets the store: clears StoreReady, the power-off marker and the saved value, loads every
// field's default and limits, and clears the keyer texts and menu records.
void ResetRadioState();
// Sets the menu item count to 118 and puts the 118 catalogue records into the store.
void LoadMenuCatalogue();

// Returns a field's value.
int32_t GetField(Field f);
// Stores v when it lies within the field's limits; reports success either way, as the typed
// setters of the store do.
bool SetField(Field f, int32_t v);
// Stores v when it lies within the field's limits and reports whether it did.
bool StoreField(Field f, int32_t v);
// Stores v into the field and, where the field is mirrored, copies the field's value (changed or
// not) into its ControlMirror value. Reports success.
bool SetFieldAndMirror(Field f, int32_t v);
// Returns the ControlMirror value that the field is copied into after storing, if any.
std::optional<Mirror> MirrorOfField(Field f);
// Returns the smallest value the field accepts.
int32_t FieldMin(Field f);
// Returns the largest value the field accepts.
int32_t FieldMax(Field f);
// Returns the field's name ("FA", "MD0", "IFp18", "IDX").
std::string_view FieldName(Field f);

// Returns a clarifier offset.
double GetReal(RealField f);
// Stores a clarifier offset when it lies within -9999.0 to 9999.0; reports success either way.
bool SetReal(RealField f, double v);

// Returns a PE field: p1 0 or 1, p2 0 to 2, p3 0 (frequency index), 1 (level) or 2 (bandwidth);
// 0 for selectors outside those.
int32_t GetPE(int p1, int p2, int p3);
// Stores a PE field when v lies within its limits; false only for selectors outside the fields.
bool SetPE(int p1, int p2, int p3, int32_t v);

// Stores the keyer text of channel 1 to 5: fails when the channel is unknown or declaredLength
// exceeds 51; otherwise clears the field and copies the text up to its NUL, at most 50 characters
// and never beyond declaredLength.
bool StoreKeyerText(int channel, uint32_t declaredLength, const char* text);
// Fetches the keyer text of channel 1 to 5: fails when the channel is unknown, the buffer is
// missing or length exceeds 51; otherwise zero-fills length bytes and copies the text, keeping
// the buffer NUL-terminated.
bool FetchKeyerText(int channel, uint32_t length, char* buffer);

// Returns the number of menu items the loader put into the store (1 to 500, 118 by default).
int32_t GetMenuItemCount();
// Stores the menu item count when it lies within 1 to 500; reports whether it did.
bool SetMenuItemCount(int32_t count);
// Copies menu record `number` out of the store; false for a missing record or pointer.
bool GetMenuItem(int32_t number, MenuItem* out);
// Copies a whole record into the store as item `number`; false for a missing record or pointer.
bool PutMenuItem(int32_t number, const MenuItem* in);
// Sets the value of item `number` to the whole number v unless its current value already counts
// as v; reports whether the value changed.
bool ReplaceMenuItemValue(int32_t number, int64_t v);
// Clears the item's edit mark alone, so that a value the analysis stores meanwhile is kept.
bool ClearMenuItemEdited(int32_t number);
// Returns the value kind of item `number`, or -1 when there is no such item.
int32_t MenuItemKind(int32_t number);
// Returns the value width of an "EX" answer for menu item `number` after the menu-width
// correction, or -1 when `number` lies outside 1..GetMenuItemCount().
int MenuAnswerWidth(int32_t number);
// Reports whether the menu-width correction applies now: the extended identification number is 0
// and the AI field is not 0.
bool MenuWidthCorrectionActive();
// Returns the value of the first menu item of the given kind; 1.0 when none has it, but 0.0 for
// the notch width.
double MenuValueOfKind(MenuKind kind);

}  // namespace kestrel
