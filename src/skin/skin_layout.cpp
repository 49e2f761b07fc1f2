#include "skin/skin_layout.h"

namespace kestrel {
namespace {

using enum SkinGroup;
using K = SkinKind;

// The main frequency digits are grouped in threes with room for a point between the groups.
constexpr std::array<SkinPlace, 7> kMainDigitPlaces{
    {{569, 47}, {590, 47}, {617, 47}, {638, 47}, {659, 47}, {686, 47}, {707, 47}}};
// Element 0 and 2 are the lit and dark looks of the MHz point; element 1 is the kHz point.
constexpr std::array<SkinPlace, 3> kFreqPointPlaces{{{611, 67}, {680, 67}, {611, 67}}};
// The offset reads k.hhh: the point sits after the first digit.
constexpr std::array<SkinPlace, 4> kOffsetDigitPlaces{{{693, 94}, {709, 94}, {720, 94}, {731, 94}}};

constexpr SkinGroupLayout Row(SkinGroup g, std::string_view name, SkinKind kind, int left, int top,
                              int width, int height, int positions, int states,
                              std::string_view labels = {}, int dx = 0, int dy = 0, int columns = 0,
                              int rowDy = 0, const SkinPlace* places = nullptr) {
    return SkinGroupLayout{g,
                           name,
                           kind,
                           static_cast<int16_t>(left),
                           static_cast<int16_t>(top),
                           static_cast<int16_t>(width),
                           static_cast<int16_t>(height),
                           static_cast<uint8_t>(positions),
                           static_cast<uint8_t>(states),
                           static_cast<int16_t>(dx),
                           static_cast<int16_t>(dy),
                           static_cast<uint8_t>(columns),
                           static_cast<int16_t>(rowDy),
                           places,
                           labels};
}

// clang-format off
constexpr std::array<SkinGroupLayout, kSkinGroupCount> kLayout{{
    //  group          file stem          kind        left top  w    h  pos st  labels                     dx dy cols rowDy places
    Row(MainDigits,    "main_digits",     K::Digits,  569, 47,  21, 29, 7, 22, {},                         0, 0, 0, 0, kMainDigitPlaces.data()),
    Row(LastDigit,     "last_digit",      K::Digits,  728, 57,  14, 19, 1, 22),
    Row(FreqPoints,    "freq_points",     K::Point,   611, 67,   6,  9, 3, 1,  {},                         0, 0, 0, 0, kFreqPointPlaces.data()),
    Row(OffsetDigits,  "offset_digits",   K::Digits,  693, 94,  10, 13, 4, 10, {},                         0, 0, 0, 0, kOffsetDigitPlaces.data()),
    Row(OffsetPoint,   "offset_point",    K::Point,   704, 103,  4,  4, 1, 2),
    Row(OffsetPlus,    "offset_plus",     K::Sign,    685, 95,   5,  5, 1, 2,  "+"),
    Row(OffsetMinus,   "offset_minus",    K::Sign,    685, 100,  5,  5, 1, 2,  "-"),
    Row(UpperBar,      "upper_bar",       K::Segment, 209, 45,   2,  6, 31, 3, {},                         4),
    Row(LowerBar,      "lower_bar",       K::Segment, 209, 84,   2,  6, 31, 2, {},                         4),
    Row(TuningBar,     "tuning_bar",      K::Segment, 540, 102,  2,  6, 21, 3, {},                         4),
    Row(UpperRxPlate,  "upper_rx_plate",  K::Plate,   202, 34, 145, 10, 1, 2,  "S"),
    Row(UpperTxPlate,  "upper_tx_plate",  K::Plate,   195, 52, 141, 10, 1, 2,  "PO"),
    Row(LowerPlate0,   "lower_plate_0",   K::Plate,   187, 70, 160, 30, 1, 2,  "COMP"),
    Row(LowerPlate1,   "lower_plate_1",   K::Plate,   187, 70, 160, 30, 1, 2,  "ALC"),
    Row(LowerPlate3,   "lower_plate_3",   K::Plate,   187, 70, 160, 30, 1, 2,  "SWR"),
    Row(LowerPlate4,   "lower_plate_4",   K::Plate,   187, 70, 160, 30, 1, 2,  "ID"),
    Row(LowerPlate5,   "lower_plate_5",   K::Plate,   187, 70, 160, 30, 1, 2,  "VDD"),
    Row(ShiftRow,      "shift_row",       K::Segment, 426, 106,  8,  2, 11, 2, {},                         9),
    Row(WidthRow,      "width_row",       K::Segment, 426, 97,   8,  2, 11, 2, {},                         9),
    Row(NotchRows,     "notch_rows",      K::Segment, 426, 89,   8,  1, 22, 2, {},                         9, 0, 11, -2),
    Row(ContourRows,   "contour_rows",    K::Segment, 426, 78,   8,  1, 22, 2, {},                         9, 0, 11, 2),
    Row(LampRxClar,    "lamp_rx_clar",    K::Lamp,    672, 102, 12,  7, 1, 2,  "RX"),
    Row(LampTxClar,    "lamp_tx_clar",    K::Lamp,    672, 93,  12,  7, 1, 2,  "TX"),
    Row(LegendClar,    "legend_clar",     K::Lamp,    637, 92,  30,  8, 1, 2,  "CLAR"),
    Row(LampDnf,       "lamp_dnf",        K::Lamp,    350, 98,  22,  8, 1, 2,  "DNF"),
    Row(LampDnr,       "lamp_dnr",        K::Lamp,    350, 89,  22,  8, 1, 2,  "DNR"),
    Row(LegendContour, "legend_contour",  K::Lamp,    376, 76,  45,  7, 1, 3,  "CONTOUR|APF"),
    Row(LampLock,      "lamp_lock",       K::Lamp,    536, 69,  28, 11, 1, 2,  "LOCK"),
    Row(LampFast,      "lamp_fast",       K::Lamp,    536, 54,  28, 11, 1, 2,  "FAST"),
    Row(LampBusy,      "lamp_busy",       K::Lamp,    536, 39,  28, 11, 1, 2,  "BUSY"),
    Row(LampTx,        "lamp_tx",         K::Lamp,    536, 25,  28, 11, 1, 2,  "TX"),
    Row(LampMemory1,   "lamp_memory_1",   K::Lamp,    632, 101, 17,  8, 1, 2,  "MEM"),
    Row(LampMemory2,   "lamp_memory_2",   K::Lamp,    650, 101, 16,  8, 1, 2,  "MT"),
    Row(LampNar,       "lamp_nar",        K::Lamp,    321, 25,  22,  9, 1, 2,  "NAR"),
    Row(LegendNb,      "legend_nb",       K::Lamp,    305, 25,  14,  9, 1, 3,  "NB"),
    Row(ColumnRflt,    "column_rflt",     K::Column,  469, 35,  30,  9, 4, 2,  "AUTO|3kHz|6kHz|15kHz",     0, 10),
    Row(ColumnAgc,     "column_agc",      K::Column,  502, 35,  30,  9, 4, 2,  "AUTO|FAST|MID|SLOW",       0, 10),
    Row(ColumnAtt,     "column_att",      K::Column,  374, 35,  26,  9, 4, 2,  "OFF|6dB|12dB|18dB",        0, 10),
    Row(ColumnIpo,     "column_ipo",      K::Column,  438, 35,  28,  9, 3, 2,  "AMP1|AMP2|IPO",            0, 15),
    Row(LampKeyer,     "lamp_keyer",      K::Lamp,    241, 25,  32,  9, 1, 2,  "KEYER"),
    Row(ColumnAnt,     "column_ant",      K::Column,  352, 42,  20,  9, 2, 2,  "ANT1|ANT2",                0, 10),
    Row(LegendTuner,   "legend_tuner",    K::Lamp,    187, 103, 30,  8, 1, 3,  "TUNER"),
    Row(LampBkIn,      "lamp_bk_in",      K::Lamp,    275, 25,  28,  9, 1, 2,  "BK-IN"),
    Row(LampProc,      "lamp_proc",       K::Lamp,    187, 25,  26,  9, 1, 2,  "PROC"),
    Row(LampMoni,      "lamp_moni",       K::Lamp,    215, 25,  24,  9, 1, 2,  "MONI"),
    Row(LampMuTune,    "lamp_mu_tune",    K::Lamp,    405, 42,  30,  9, 1, 2,  "\u00b5-TUNE"),
    Row(LampThru,      "lamp_thru",       K::Lamp,    405, 57,  30,  9, 1, 2,  "THRU"),
    Row(LampHiSwr,     "lamp_hi_swr",     K::Lamp,    221, 103, 34,  8, 1, 2,  "HI-SWR"),
    Row(LampMicEq,     "lamp_mic_eq",     K::Lamp,    257, 103, 34,  8, 1, 2,  "MIC EQ"),
    Row(LampRec,       "lamp_rec",        K::Lamp,    293, 103, 22,  8, 1, 2,  "REC"),
    Row(LampPlay,      "lamp_play",       K::Lamp,    317, 103, 24,  8, 1, 2,  "PLAY"),
    Row(ModeLsb,       "mode_lsb",        K::Lamp,    569, 25,  24,  9, 1, 2,  "LSB"),
    Row(ModeUsb,       "mode_usb",        K::Lamp,    594, 25,  24,  9, 1, 2,  "USB"),
    Row(ModeCw,        "mode_cw",         K::Lamp,    619, 25,  24,  9, 1, 2,  "CW"),
    Row(ModeAm,        "mode_am",         K::Lamp,    644, 25,  24,  9, 1, 2,  "AM"),
    Row(ModeFm,        "mode_fm",         K::Lamp,    669, 25,  24,  9, 1, 2,  "FM"),
    Row(ModeRtty,      "mode_rtty",       K::Lamp,    694, 25,  25,  9, 1, 2,  "RTTY"),
    Row(ModePkt,       "mode_pkt",        K::Lamp,    725, 25,  24,  9, 1, 2,  "PKT"),
    Row(KeyCom,        "key_com",         K::KeyCap,   19, 200, 51, 17, 1, 4,  "COM"),
    Row(KeyOnOff,      "key_on_off",      K::KeyCap,   33, 42,  31, 55, 1, 4,  "ON/OFF"),
    Row(KeyMox,        "key_mox",         K::KeyCap,  145, 39,  18, 19, 1, 4,  "MOX"),
    Row(KeyVox,        "key_vox",         K::KeyCap,  145, 85,  18, 19, 1, 4,  "VOX"),
    Row(KeyTune,       "key_tune",        K::KeyCap,  106, 85,  18, 19, 1, 2,  "TUNE"),
    Row(KeyAnt,        "key_ant",         K::KeyCap,  106, 39,  18, 19, 1, 2,  "ANT 1-2"),
    Row(KeyMoni,       "key_moni",        K::KeyCap,   30, 146, 25, 14, 1, 2,  "MONI"),
    Row(KeyProc,       "key_proc",        K::KeyCap,   73, 146, 25, 14, 1, 2,  "PROC"),
    Row(KeySpot,       "key_spot",        K::KeyCap,  116, 146, 25, 14, 1, 2,  "SPOT"),
    Row(KeyBkIn,       "key_bk_in",       K::KeyCap,  159, 146, 25, 14, 1, 2,  "BK-IN"),
    Row(KeyKeyer,      "key_keyer",       K::KeyCap,  202, 146, 25, 14, 1, 2,  "KEYER"),
    Row(KeyAgc,        "key_agc",         K::KeyCap,  245, 146, 25, 14, 1, 2,  "AGC"),
    Row(KeyAtt,        "key_att",         K::KeyCap,  745, 149, 38, 15, 1, 2,  "ATT"),
    Row(KeyIpo,        "key_ipo",         K::KeyCap,  804, 149, 38, 15, 1, 2,  "IPO"),
    Row(KeyRflt,       "key_rflt",        K::KeyCap,  745, 186, 38, 15, 1, 2,  "R.FLT"),
    Row(KeyNb,         "key_nb",          K::KeyCap,  804, 186, 38, 15, 1, 2,  "NB"),
    Row(KeyF1,         "key_f1",          K::KeyCap,   18, 256, 25, 14, 1, 2,  "F1"),
    Row(KeyF2,         "key_f2",          K::KeyCap,   50, 256, 25, 14, 1, 2,  "F2"),
    Row(KeyF3,         "key_f3",          K::KeyCap,   82, 256, 25, 14, 1, 2,  "F3"),
    Row(KeyF4,         "key_f4",          K::KeyCap,  114, 256, 25, 14, 1, 2,  "F4"),
    Row(KeyF5,         "key_f5",          K::KeyCap,   18, 289, 25, 14, 1, 2,  "F5"),
    Row(KeyF6,         "key_f6",          K::KeyCap,   50, 289, 25, 14, 1, 2,  "F6"),
    Row(KeyF7,         "key_f7",          K::KeyCap,   82, 289, 25, 14, 1, 2,  "F7"),
    Row(KeyDisplay,    "key_display",     K::KeyCap,  114, 289, 25, 14, 1, 2,  "DISP"),
    Row(KeySsb,        "key_ssb",         K::KeyCap,  927, 28,  21, 34, 1, 2,  "SSB"),
    Row(KeyAmFm,       "key_am_fm",       K::KeyCap,  961, 28,  21, 34, 1, 2,  "AM/FM"),
    Row(KeyCw,         "key_cw",          K::KeyCap,  927, 74,  21, 34, 1, 2,  "CW"),
    Row(KeyRtty,       "key_rtty",        K::KeyCap,  961, 74,  21, 17, 1, 2,  "RTTY"),
    Row(KeyPkt,        "key_pkt",         K::KeyCap,  961, 91,  21, 17, 1, 2,  "PKT"),
    Row(KeySto,        "key_sto",         K::KeyCap,  430, 152, 26, 17, 1, 2,  "STO"),
    Row(KeyRcl,        "key_rcl",         K::KeyCap,  462, 152, 28, 17, 1, 2,  "RCL"),
    Row(KeyNar,        "key_nar",         K::KeyCap,  440, 181, 44, 13, 1, 2,  "NAR"),
    Row(KeySplit,      "key_split",       K::KeyCap,  440, 207, 44, 13, 1, 2,  "SPLIT"),
    Row(KeyTxw,        "key_txw",         K::KeyCap,  440, 233, 44, 13, 1, 2,  "TXW"),
    Row(KeyCs,         "key_cs",          K::KeyCap,  440, 263, 44, 13, 1, 2,  "CS"),
    Row(KeyMenu,       "key_menu",        K::KeyCap,  440, 289, 60, 13, 1, 2,  "MENU"),
    Row(KeyRxA,        "key_rx_a",        K::KeyCap,  453, 133, 32, 10, 1, 4,  "RX"),
    Row(KeyTxA,        "key_tx_a",        K::KeyCap,  666, 133, 32, 10, 1, 4,  "TX"),
    Row(KeyFast,       "key_fast",        K::KeyCap,  658, 152, 30, 17, 1, 2,  "FAST"),
    Row(KeyLock,       "key_lock",        K::KeyCap,  695, 152, 30, 17, 1, 2,  "LOCK"),
    Row(KeyAtoB,       "key_a_to_b",      K::KeyCap,  673, 181, 34, 14, 1, 2,  "A>B"),
    Row(KeyAswapB,     "key_a_swap_b",    K::KeyCap,  680, 207, 34, 14, 1, 2,  "A<>B"),
    Row(KeyVm,         "key_v_m",         K::KeyCap,  679, 233, 34, 14, 1, 2,  "V/M"),
    Row(KeyMtoA,       "key_m_to_a",      K::KeyCap,  667, 259, 34, 14, 1, 2,  "M>A"),
    Row(KeyAtoM,       "key_a_to_m",      K::KeyCap,  652, 285, 34, 14, 1, 2,  "A>M"),
    Row(KeyBand1_8,    "key_band_1_8",    K::KeyCap,  765, 28,  40, 11, 1, 2,  "1.8"),
    Row(KeyBand3_5,    "key_band_3_5",    K::KeyCap,  817, 28,  40, 11, 1, 2,  "3.5"),
    Row(KeyBand7,      "key_band_7",      K::KeyCap,  869, 28,  40, 11, 1, 2,  "7"),
    Row(KeyBand10,     "key_band_10",     K::KeyCap,  765, 51,  40, 11, 1, 2,  "10"),
    Row(KeyBand14,     "key_band_14",     K::KeyCap,  817, 51,  40, 11, 1, 2,  "14"),
    Row(KeyBand18,     "key_band_18",     K::KeyCap,  869, 51,  40, 11, 1, 2,  "18"),
    Row(KeyBand21,     "key_band_21",     K::KeyCap,  765, 74,  40, 11, 1, 2,  "21"),
    Row(KeyBand24_5,   "key_band_24_5",   K::KeyCap,  817, 74,  40, 11, 1, 2,  "24.5"),
    Row(KeyBand28,     "key_band_28",     K::KeyCap,  869, 74,  40, 11, 1, 2,  "28"),
    Row(KeyBandGen,    "key_band_gen",    K::KeyCap,  765, 97,  40, 11, 1, 2,  "GEN"),
    Row(KeyBand50,     "key_band_50",     K::KeyCap,  817, 97,  40, 11, 1, 2,  "50"),
    Row(KeyBandEnt,    "key_band_ent",    K::KeyCap,  869, 97,  40, 11, 1, 2,  "ENT"),
    Row(KeyRxClar,     "key_rx_clar",     K::KeyCap,  869, 149, 31, 15, 1, 2,  "RX CLAR"),
    Row(KeyTxClar,     "key_tx_clar",     K::KeyCap,  920, 149, 31, 15, 1, 2,  "TX CLAR"),
    Row(KeyClarClear,  "key_clar_clear",  K::KeyCap,  970, 149, 31, 15, 1, 2,  "CLEAR"),
    Row(KeyShift,      "key_shift",       K::KeyCap,  303, 147, 25, 17, 1, 4,  "SHIFT"),
    Row(KeyWidth,      "key_width",       K::KeyCap,  342, 147, 25, 17, 1, 4,  "WIDTH"),
    Row(KeyCont,       "key_cont",        K::KeyCap,  381, 147, 25, 17, 1, 4,  "CONT"),
    Row(KeyNotch,      "key_notch",       K::KeyCap,  303, 184, 25, 17, 1, 4,  "NOTCH"),
    Row(KeyMuTune,     "key_mu_tune",     K::KeyCap,  342, 184, 25, 17, 1, 4,  "\u00b5-TUNE"),
    Row(KeyDspClear,   "key_dsp_clear",   K::KeyCap,  381, 184, 25, 17, 1, 2,  "CLEAR"),
    Row(KeySel,        "key_sel",         K::KeyCap,  394, 288, 15, 15, 1, 2,  "SEL"),
    Row(KeyMeter,      "key_meter",       K::KeyCap,   95, 206, 25, 14, 1, 2,  "METER"),
    Row(KeyRxB,        "key_rx_b",        K::KeyCap,  869, 178, 32, 10, 1, 4,  "RX"),
    Row(KeyTxB,        "key_tx_b",        K::KeyCap,  968, 178, 32, 10, 1, 4,  "TX"),
    Row(KeyFuncBand,   "key_func_band",   K::KeyCap,  864, 202, 19, 17, 1, 4,  "BAND"),
    Row(KeyFuncMhz,    "key_func_mhz",    K::KeyCap,  864, 286, 19, 17, 1, 4,  "MHz"),
    Row(KeyFuncGrp,    "key_func_grp",    K::KeyCap,  986, 202, 19, 17, 1, 4,  "GRP"),
    Row(KeyFuncMch,    "key_func_mch",    K::KeyCap,  986, 286, 19, 17, 1, 4,  "MCH"),
}};
// clang-format on

constexpr SkinRect RectOf(const SkinGroupLayout& row, int element) {
    // A legend column keeps its N unlit legends first and the same N lit after them.
    const int position =
        row.kind == SkinKind::Column ? element % row.positions : element / row.states;
    int x = row.left + row.dx * position;
    int y = row.top + row.dy * position;
    if (row.places != nullptr) {
        x = row.places[position].x;
        y = row.places[position].y;
    } else if (row.columns > 0) {
        x = row.left + row.dx * (position % row.columns);
        y = row.top + row.rowDy * (position / row.columns);
    }
    return SkinRect{static_cast<int16_t>(x), static_cast<int16_t>(y), row.width, row.height};
}

constexpr bool LayoutHolds() {
    for (int g = 0; g < kSkinGroupCount; ++g) {
        const SkinGroupLayout& row = kLayout[g];
        if (static_cast<int>(row.group) != g || row.positions == 0 || row.states == 0) {
            return false;
        }
        for (int e = 0; e < row.positions * row.states; ++e) {
            const SkinRect r = RectOf(row, e);
            if (r.left < 0 || r.top < 0 || r.width <= 0 || r.height <= 0 ||
                r.left + r.width > kPanelWidth || r.top + r.height > kPanelHeight) {
                return false;
            }
        }
        for (int other = 0; other < g; ++other) {
            if (kLayout[other].name == row.name) {
                return false;
            }
        }
    }
    return true;
}
static_assert(LayoutHolds(), "every group in order, inside the panel, with a unique file stem");

// clang-format off
constexpr std::array<SkinRect, kKeyLampCount> KeyLampTable{{
    {163, 178, 39, 5},
    {242, 178, 29, 5},
    {172, 248, 21, 5},
    {248, 248, 17, 5},
    {752, 213, 34, 5},
    {802, 213, 34, 5},
}};

// The S-meter scale while receiving: red (state 2) above S9.
constexpr MeterThresholds kUpperReceive{{
    {3, 1}, {6, 1}, {10, 1}, {16, 1}, {23, 1}, {30, 1}, {37, 1}, {44, 1}, {51, 1}, {58, 1},
    {65, 1}, {72, 1}, {80, 1}, {87, 1}, {95, 1}, {103, 1}, {112, 1}, {121, 1}, {130, 1},
    {140, 2}, {150, 2}, {160, 2}, {170, 2}, {180, 2}, {190, 2}, {200, 2}, {210, 2}, {222, 2},
    {235, 2}, {245, 2}, {255, 2},
}};
constexpr MeterThresholds kUpperTransmit{{
    {8, 1}, {17, 1}, {26, 1}, {35, 1}, {41, 1}, {47, 1}, {53, 1}, {59, 1}, {65, 1}, {72, 1},
    {78, 1}, {85, 1}, {95, 1}, {106, 1}, {117, 1}, {128, 1}, {139, 1}, {150, 1}, {157, 1},
    {164, 2}, {171, 2}, {179, 2}, {186, 2}, {193, 2}, {200, 2}, {208, 2}, {215, 2}, {222, 2},
    {229, 2}, {237, 2}, {244, 2},
}};
// Selection 0 (COMP): wide steps up to 135, then 8 to 9, then 3 to 4.
constexpr MeterThresholds kLower0{{
    {13, 1}, {27, 1}, {40, 1}, {54, 1}, {67, 1}, {81, 1}, {94, 1}, {108, 1}, {121, 1}, {135, 1},
    {143, 1}, {152, 1}, {160, 1}, {169, 1}, {177, 1}, {186, 1}, {194, 1}, {203, 1}, {211, 1},
    {219, 1}, {222, 1}, {226, 1}, {229, 1}, {232, 1}, {235, 1}, {239, 1}, {242, 1}, {245, 1},
    {248, 1}, {252, 1}, {255, 1},
}};
// Selection 1 (ALC): the last three segments never light.
constexpr MeterThresholds kLower1{{
    {9, 1}, {18, 1}, {27, 1}, {36, 1}, {45, 1}, {54, 1}, {63, 1}, {72, 1}, {81, 1}, {90, 1},
    {99, 1}, {108, 1}, {117, 1}, {126, 1}, {135, 1}, {144, 1}, {153, 1}, {162, 1}, {171, 1},
    {180, 1}, {189, 1}, {198, 1}, {207, 1}, {216, 1}, {225, 1}, {234, 1}, {243, 1}, {253, 1},
    {255, 0}, {255, 0}, {255, 0},
}};
// Selection 3 (SWR): fine steps near 1:1, coarser towards the end of the scale.
constexpr MeterThresholds kLower3{{
    {0, 1}, {3, 1}, {6, 1}, {10, 1}, {14, 1}, {18, 1}, {22, 1}, {27, 1}, {32, 1}, {37, 1},
    {43, 1}, {49, 1}, {55, 1}, {62, 1}, {69, 1}, {76, 1}, {84, 1}, {92, 1}, {100, 1}, {109, 1},
    {118, 1}, {128, 1}, {138, 1}, {149, 1}, {160, 1}, {172, 1}, {185, 1}, {199, 1}, {214, 1},
    {229, 1}, {245, 1},
}};
// Selection 4 (ID): even steps of 8.
constexpr MeterThresholds kLower4{{
    {8, 1}, {16, 1}, {24, 1}, {32, 1}, {40, 1}, {48, 1}, {56, 1}, {64, 1}, {72, 1}, {80, 1},
    {88, 1}, {96, 1}, {104, 1}, {112, 1}, {120, 1}, {128, 1}, {136, 1}, {144, 1}, {152, 1},
    {160, 1}, {168, 1}, {176, 1}, {184, 1}, {192, 1}, {200, 1}, {208, 1}, {216, 1}, {224, 1},
    {232, 1}, {240, 1}, {248, 1},
}};
// Selection 5 (VDD): steps of about 6.7 up to 208.
constexpr MeterThresholds kLower5{{
    {6, 1}, {13, 1}, {19, 1}, {26, 1}, {33, 1}, {40, 1}, {46, 1}, {53, 1}, {60, 1}, {67, 1},
    {73, 1}, {80, 1}, {87, 1}, {93, 1}, {100, 1}, {107, 1}, {114, 1}, {120, 1}, {127, 1},
    {134, 1}, {141, 1}, {147, 1}, {154, 1}, {161, 1}, {167, 1}, {174, 1}, {181, 1}, {188, 1},
    {194, 1}, {201, 1}, {208, 1},
}};
// clang-format on

constexpr bool Rising(const MeterThresholds& table) {
    for (int i = 1; i < kBarSegments; ++i) {
        if (table[i].threshold < table[i - 1].threshold || table[i].threshold > 255) {
            return false;
        }
    }
    return true;
}
static_assert(Rising(kUpperReceive) && Rising(kUpperTransmit) && Rising(kLower0) &&
              Rising(kLower1) && Rising(kLower3) && Rising(kLower4) && Rising(kLower5));

using TuningTable = std::array<TuningPattern, kTuningRows>;
constexpr int kTuningCentre = 10;

// A single lit segment walks across the bar; the centre lights in the second colour.
constexpr TuningTable MakeSingleDotTable() {
    TuningTable table{};
    for (int v = 1; v < kTuningRows; ++v) {
        table[v][v - 1] = v - 1 == kTuningCentre ? 2 : 1;
    }
    return table;
}

// A bar grows from the centre (second colour) out to the reading.
constexpr TuningTable MakeGrowingTable() {
    TuningTable table{};
    for (int v = 1; v < kTuningRows; ++v) {
        for (int s = v - 1; s < kTuningCentre; ++s) {
            table[v][s] = 1;
        }
        for (int s = kTuningCentre + 1; s <= v - 1; ++s) {
            table[v][s] = 1;
        }
        table[v][kTuningCentre] = 2;
    }
    return table;
}

// clang-format off
constexpr TuningTable kTuningPairs{{
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
}};
// clang-format on

constexpr std::array<TuningTable, 3> kTuningTables{MakeSingleDotTable(), MakeGrowingTable(),
                                                   kTuningPairs};

// clang-format off
constexpr auto kKeyCapTable = std::to_array<KeyCapRow>({
    {0x8578, KeyCom},      {0x8579, KeyOnOff},    {0x857B, KeyMox},      {0x857C, KeyVox},
    {0x857D, KeyTune},     {0x857E, KeyAnt},
    {0x8580, KeyMoni},     {0x8581, KeyProc},     {0x8589, KeySpot},     {0x8588, KeyBkIn},
    {0x8582, KeyKeyer},    {0x8586, KeyAgc},
    {0x8583, KeyAtt},      {0x8584, KeyIpo},      {0x8585, KeyRflt},     {0x8587, KeyNb},
    {0x858A, KeyF1},       {0x858B, KeyF2},       {0x858C, KeyF3},       {0x858D, KeyF4},
    {0x858E, KeyF5},       {0x858F, KeyF6},       {0x8590, KeyF7},       {0x8591, KeyDisplay},
    {0x85E0, KeySsb},      {0x8597, KeyAmFm},     {0x8596, KeyCw},       {0x8598, KeyRtty},
    {0x8599, KeyPkt},      {0x859A, KeySto},      {0x859B, KeyRcl},
    {0x859C, KeyNar},      {0x859D, KeySplit},    {0x859E, KeyTxw},      {0x859F, KeyCs},
    {0x85A9, KeyMenu},
    {0x85A0, KeyRxA},      {0x85A1, KeyTxA},      {0x85A2, KeyFast},     {0x85A3, KeyLock},
    {0x85A4, KeyAtoB},     {0x85A5, KeyAswapB},   {0x85A6, KeyVm},       {0x85A7, KeyMtoA},
    {0x85A8, KeyAtoM},
    {0x85AB, KeyBand1_8},  {0x85AC, KeyBand3_5},  {0x85AD, KeyBand7},    {0x85AE, KeyBand10},
    {0x85AF, KeyBand14},   {0x85B0, KeyBand18},   {0x85B1, KeyBand21},   {0x85B2, KeyBand24_5},
    {0x85B3, KeyBand28},   {0x85B4, KeyBandGen},  {0x85AA, KeyBand50},   {0x85B5, KeyBandEnt},
    {0x85B6, KeyRxClar},   {0x85B7, KeyTxClar},   {0x85B8, KeyClarClear},
    {0x85DC, KeyShift},    {0x85DD, KeyWidth},    {0x85BC, KeyCont},     {0x85BA, KeyNotch},
    {0x85DE, KeyMuTune},   {0x85DF, KeyDspClear},
    {0x85E2, KeySel},      {0x85E3, KeyMeter},
    {0x85BE, KeyRxB},      {0x85BF, KeyTxB},
    {0x85C0, KeyFuncBand}, {0x85C1, KeyFuncMhz},  {0x85C2, KeyFuncGrp},  {0x85C3, KeyFuncMch},
});
// clang-format on

constexpr bool KeyCapsHold() {
    for (size_t i = 0; i < kKeyCapTable.size(); ++i) {
        if (kLayout[static_cast<int>(kKeyCapTable[i].group)].kind != SkinKind::KeyCap) {
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            if (kKeyCapTable[j].message == kKeyCapTable[i].message ||
                kKeyCapTable[j].group == kKeyCapTable[i].group) {
                return false;
            }
        }
    }
    return true;
}
static_assert(KeyCapsHold(), "one key cap group per message, each a key cap");

// clang-format off
constexpr std::array<KnobLayout, static_cast<int>(Knob::Count)> kKnobs{{
    // knob          face at    size  centre    r
    {Knob::Moni,     159, 259,  47,   182, 282, 19},
    {Knob::Speed,    233, 189,  47,   256, 212, 19},
    {Knob::Sql,      233, 259,  47,   256, 282, 19},
    {Knob::MicGain,  159, 189,  47,   182, 212, 19},
    {Knob::AfGain,   760, 232,  67,   793, 265, 22},
    {Knob::RfGain,   760, 232,  67,   793, 265, 28},
}};

constexpr std::array<int, static_cast<int>(DialImage::Count)> kDialSizes{
    177,  // main dial face
    45,   // main dial dimple
    101,  // CLAR/VFO-B dial face
    67,   // SELECT knob face
    20,   // dial dot
    47,   // knob face
    67,   // dual knob face
};
// clang-format on

}  // namespace

const SkinGroupLayout& GroupLayout(SkinGroup group) {
    return kLayout[static_cast<int>(group)];
}

int ElementCount(SkinGroup group) {
    const SkinGroupLayout& row = GroupLayout(group);
    return row.positions * row.states;
}

SkinRect ElementRect(SkinGroup group, int element) {
    return RectOf(GroupLayout(group), element);
}

int ColumnElement(SkinGroup group, int position, bool lit) {
    return lit ? GroupLayout(group).positions + position : position;
}

SkinRect KeyLampRect(int lampIndex) {
    return KeyLampTable[lampIndex];
}

const MeterThresholds& UpperThresholds(bool transmitting) {
    return transmitting ? kUpperTransmit : kUpperReceive;
}

const MeterThresholds* LowerThresholds(int selection) {
    switch (selection) {
        case 0:
            return &kLower0;
        case 1:
            return &kLower1;
        case 3:
            return &kLower3;
        case 4:
            return &kLower4;
        case 5:
            return &kLower5;
        default:
            return nullptr;
    }
}

const TuningPattern& TuningPatternRow(int table, int row) {
    if (table < 0 || table > 2 || row < 0 || row >= kTuningRows) {
        return kTuningTables[0][0];
    }
    return kTuningTables[table][row];
}

const KeyCapRow* KeyCapForMessage(uint32_t message) {
    for (const KeyCapRow& row : kKeyCapTable) {
        if (row.message == message) {
            return &row;
        }
    }
    return nullptr;
}

const KnobLayout& KnobPlace(Knob knob) {
    return kKnobs[static_cast<int>(knob)];
}

int DialImageSize(DialImage image) {
    return kDialSizes[static_cast<int>(image)];
}

int PanelPictureNumber(PanelPicture picture) {
    switch (picture) {
        case PanelPicture::LampsDark:
            return 917;
        case PanelPicture::LampsLit:
            return 944;
        case PanelPicture::Splash:
            return 879;
    }
    return 0;
}

}  // namespace kestrel
