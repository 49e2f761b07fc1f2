#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrel {

inline constexpr int kPanelWidth = 1024;
inline constexpr int kPanelHeight = 320;

// The element groups of the panel skin. Within a group, element = position x states + state.
// clang-format off
enum class SkinGroup : uint8_t {
    // Composite displays.
    MainDigits, LastDigit, FreqPoints, OffsetDigits, OffsetPoint, OffsetPlus, OffsetMinus,
    UpperBar, LowerBar, TuningBar, UpperRxPlate, UpperTxPlate,
    LowerPlate0, LowerPlate1, LowerPlate3, LowerPlate4, LowerPlate5,
    ShiftRow, WidthRow, NotchRows, ContourRows,
    // Lamps and legends of the display window.
    LampRxClar, LampTxClar, LegendClar, LampDnf, LampDnr, LegendContour,
    LampLock, LampFast, LampBusy, LampTx, LampMemory1, LampMemory2, LampNar, LegendNb,
    ColumnRflt, ColumnAgc, ColumnAtt, ColumnIpo, LampKeyer, ColumnAnt, LegendTuner,
    LampBkIn, LampProc, LampMoni, LampMuTune, LampThru, LampHiSwr, LampMicEq, LampRec, LampPlay,
    ModeLsb, ModeUsb, ModeCw, ModeAm, ModeFm, ModeRtty, ModePkt,
    // Key caps.
    KeyCom, KeyOnOff, KeyMox, KeyVox, KeyTune, KeyAnt,
    KeyMoni, KeyProc, KeySpot, KeyBkIn, KeyKeyer, KeyAgc,
    KeyAtt, KeyIpo, KeyRflt, KeyNb,
    KeyF1, KeyF2, KeyF3, KeyF4, KeyF5, KeyF6, KeyF7, KeyDisplay,
    KeySsb, KeyAmFm, KeyCw, KeyRtty, KeyPkt, KeySto, KeyRcl,
    KeyNar, KeySplit, KeyTxw, KeyCs, KeyMenu,
    KeyRxA, KeyTxA, KeyFast, KeyLock, KeyAtoB, KeyAswapB, KeyVm, KeyMtoA, KeyAtoM,
    KeyBand1_8, KeyBand3_5, KeyBand7, KeyBand10, KeyBand14, KeyBand18, KeyBand21, KeyBand24_5,
    KeyBand28, KeyBandGen, KeyBand50, KeyBandEnt,
    KeyRxClar, KeyTxClar, KeyClarClear,
    KeyShift, KeyWidth, KeyCont, KeyNotch, KeyMuTune, KeyDspClear, KeySel, KeyMeter,
    KeyRxB, KeyTxB, KeyFuncBand, KeyFuncMhz, KeyFuncGrp, KeyFuncMch,
    Count
};
// clang-format on

inline constexpr int kSkinGroupCount = static_cast<int>(SkinGroup::Count);

// What a group looks like on the panel; the built-in artwork draws each kind its own way.
enum class SkinKind : uint8_t {
    Digits,   // digits 0-9, blank, highlighted 0-9 (or 0-9 only)
    Point,    // a decimal point, dark and lit
    Sign,     // a plus or minus mark, dark and lit
    Segment,  // a meter or indicator segment: dark, normal, second colour
    Plate,    // a meter scale plate, unlit and lit
    Lamp,     // a named lamp or legend: unlit, lit (and a third state lit again)
    Column,   // a legend column: N unlit legends, then the same N lit
    KeyCap,   // a key cap: released, pressed (then released and pressed while on)
};

// One rectangle of the panel.
struct SkinRect {
    int16_t left;
    int16_t top;
    int16_t width;
    int16_t height;
};

// One place of a group whose positions are not evenly spaced.
struct SkinPlace {
    int16_t x;
    int16_t y;
};

// The layout of one group: its element size, positions and states. Positions are evenly spaced
// by dx, dy from (left, top); with columns > 0 they wrap into rows of that many columns, rowDy
// apart; with places set each position has its own place.
struct SkinGroupLayout {
    SkinGroup group;
    std::string_view name;  // file-name stem of the group's images, and the legend(s) it shows
    SkinKind kind;
    int16_t left;
    int16_t top;
    int16_t width;
    int16_t height;
    uint8_t positions;
    uint8_t states;
    int16_t dx;
    int16_t dy;
    uint8_t columns;
    int16_t rowDy;
    const SkinPlace* places;
    std::string_view
        labels;  // the legends painted on the elements, one per position, "|"-separated
};

// Returns the layout row of a group.
const SkinGroupLayout& GroupLayout(SkinGroup group);
// Returns the number of elements of a group (positions x states).
int ElementCount(SkinGroup group);
// Returns the rectangle of one element of a group.
SkinRect ElementRect(SkinGroup group, int element);
// Returns the element of a legend column that shows legend `position` lit or unlit.
int ColumnElement(SkinGroup group, int position, bool lit);

// The six lamp strips that light a knob's indicator (MIC GAIN, SPEED, MONI, SQL, AF, RF).
inline constexpr int kKeyLampCount = 6;
// Returns the rectangle of one lamp strip of the key-lamp table.
SkinRect KeyLampRect(int lampIndex);

// One row of a bar meter's threshold table: the segment lights in `state` from `threshold` up.
struct MeterThreshold {
    int16_t threshold;
    uint8_t state;
};
inline constexpr int kBarSegments = 31;
using MeterThresholds = std::array<MeterThreshold, kBarSegments>;

// Returns the upper bar's table: the S-meter while receiving, power output while transmitting.
const MeterThresholds& UpperThresholds(bool transmitting);
// Returns the lower bar's table for a meter selection, or nullptr for selection 2 and any value
// outside 0 to 5.
const MeterThresholds* LowerThresholds(int selection);

// The third bar's pattern tables: 22 rows of 21 segment states.
inline constexpr int kTuningSegments = 21;
inline constexpr int kTuningRows = 22;
using TuningPattern = std::array<uint8_t, kTuningSegments>;
// Returns row `row` of pattern table `table` (0, 1 or 2); an all-dark row outside the tables.
const TuningPattern& TuningPatternRow(int table, int row);

// One key cap that a key-display message draws (a two- or four-image key cap group).
struct KeyCapRow {
    uint32_t message;
    SkinGroup group;
};
// Returns the key cap drawn by a key-display message, or nullptr for a message without a cap.
const KeyCapRow* KeyCapForMessage(uint32_t message);

// Which knob a needle belongs to.
enum class Knob : uint8_t { Moni, Speed, Sql, MicGain, AfGain, RfGain, Count };

// Where a knob's face and needle are drawn.
struct KnobLayout {
    Knob knob;
    int16_t faceLeft;
    int16_t faceTop;
    int16_t faceSize;
    int16_t cx;
    int16_t cy;
    int16_t radius;
};
// Returns the layout of a knob.
const KnobLayout& KnobPlace(Knob knob);

// The dial and knob pictures, drawn each time a dial or knob is drawn.
enum class DialImage : uint8_t {
    MainFace,
    MainDimple,
    Dial2Face,
    Dial3Face,
    Dot,
    KnobFace,
    DualKnobFace,
    Count
};
// Returns the size of a dial picture (they are square).
int DialImageSize(DialImage image);

// The whole-panel pictures: the panel with key lamps dark and lit, and the splash picture.
enum class PanelPicture : uint8_t { LampsDark, LampsLit, Splash };
// Returns the number that names a panel picture in a skin folder (917, 944, 879).
int PanelPictureNumber(PanelPicture picture);

}  // namespace kestrel
