#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "equalizer/equalizer_tables.h"

namespace kestrel {

// The equalizer graph: 901 x 352 pixels, frequency on a logarithmic axis from 50 Hz (x 0) to
// 5000 Hz (x 900), level linear from +22 dB (y 0) down to -22 dB (y 352), 0 dB at y 176.
inline constexpr int kGraphWidth = 901;
inline constexpr int kGraphHeight = 352;

// The grid's frequencies (Hz), one dotted vertical line and one axis label each.
inline constexpr std::array<int32_t, 19> kGridFrequencies = {
    50,  60,  80,   100,  150,  200,  250,  300,  400, 500,
    600, 800, 1000, 1500, 2000, 2500, 3000, 4000, 5000};
// The thick 0 dB line: its row, its width in pixels and its last column.
inline constexpr int kZeroLineY = 176;
inline constexpr int kZeroLineWidth = 3;
inline constexpr int kZeroLineLastX = 899;

// A colour as red, green and blue.
struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};
// The colour of the grid lines.
inline constexpr Rgb kGridColour = {255, 128, 0};

// One pixel of the graph.
struct GraphPixel {
    int x;
    int y;
    bool operator==(const GraphPixel&) const = default;
};

// The curves the graph shows.
enum class EqualizerCurve : uint8_t { Sum, Band1, Band2, Band3 };

// Returns pixel x of a frequency in Hz (not clipped).
double FrequencyToX(double hz);
// Returns pixel y of a level in dB (not clipped).
double LevelToY(double db);
// Returns the columns of the dotted vertical grid lines, one per grid frequency.
std::array<int, kGridFrequencies.size()> GridColumns();
// Returns the rows of the dotted horizontal grid lines: 0, 16, ..., 160 and 175, 191, ..., 351.
std::array<int, 23> GridRows();

// Returns band 1-3's response in dB at a frequency. A band that is OFF, or whose values are off
// their tables, is flat at 0 dB.
double BandResponseDb(const EqualizerValues& values, int band, double hz);
// Returns the sum of the three bands' responses in dB at a frequency.
double SumResponseDb(const EqualizerValues& values, double hz);

// Returns the pixels of a curve in drawing order, without repeats: straight segments between
// the curve's 200 sample points, every pixel inside the graph (the parts outside are cut away).
std::vector<GraphPixel> CurvePixels(const EqualizerValues& values, EqualizerCurve curve);
// Returns the order in which the curves are drawn: the sum first and the active band (1-3) last.
std::array<EqualizerCurve, 4> CurveDrawOrder(int activeBand);
// Returns a curve's colour: black for the sum, red, blue and green for bands 1, 2 and 3.
Rgb CurveColour(EqualizerCurve curve);

}  // namespace kestrel
