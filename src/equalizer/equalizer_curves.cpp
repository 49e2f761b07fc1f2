#include "equalizer/equalizer_curves.h"

#include <algorithm>
#include <cmath>

#include "equalizer/curve_frequencies.h"

namespace kestrel {

namespace {

constexpr double kLowestHz = 50.0;
constexpr double kPixelsPerDecade = 450.0;
constexpr double kPixelsPerDb = 8.0;
// Each segment between two sample points is walked in tenths of a pixel along x.
constexpr double kWalkStep = 0.1;

constexpr bool StrictlyAscending(const std::array<double, 200>& points) {
    for (size_t i = 1; i < points.size(); ++i) {
        if (!(points[i - 1] < points[i])) {
            return false;
        }
    }
    return true;
}
// Ascending points keep every segment's x1 - x0 above zero.
static_assert(StrictlyAscending(kCurveFrequencies));
static_assert(kCurveFrequencies.front() > kLowestHz && kCurveFrequencies.back() == 5000.0,
              "the samples stay on the graph's frequency axis");

bool InsideGraph(double x, double y) {
    return x >= 0.0 && x < kGraphWidth && y >= 0.0 && y < kGraphHeight;
}

double CurveResponseDb(const EqualizerValues& values, EqualizerCurve curve, double hz) {
    switch (curve) {
        case EqualizerCurve::Sum:
            return SumResponseDb(values, hz);
        case EqualizerCurve::Band1:
            return BandResponseDb(values, 1, hz);
        case EqualizerCurve::Band2:
            return BandResponseDb(values, 2, hz);
        case EqualizerCurve::Band3:
            return BandResponseDb(values, 3, hz);
    }
    return 0.0;
}

}  // namespace

double FrequencyToX(double hz) {
    return kPixelsPerDecade * std::log10(hz / kLowestHz);
}

double LevelToY(double db) {
    return kZeroLineY - kPixelsPerDb * db;
}

std::array<int, kGridFrequencies.size()> GridColumns() {
    std::array<int, kGridFrequencies.size()> columns{};
    for (size_t i = 0; i < kGridFrequencies.size(); ++i) {
        columns[i] = static_cast<int>(FrequencyToX(kGridFrequencies[i]));
    }
    return columns;
}

std::array<int, 23> GridRows() {
    // Eleven rows above the 0 dB line from the top, twelve below it ending on the last row.
    std::array<int, 23> rows{};
    for (int i = 0; i < 11; ++i) {
        rows[i] = 16 * i;
    }
    for (int i = 0; i < 12; ++i) {
        rows[11 + i] = 175 + 16 * i;
    }
    return rows;
}

double BandResponseDb(const EqualizerValues& values, int band, double hz) {
    const int first = ValueIndex(band, EqParam::Frequency);
    // A band OFF is drawn at level 0, which is flat whatever its centre; a band whose values are
    // off their tables (a cleared bandwidth of 0 among them) is drawn flat as well.
    if (first < 0 || !(hz > 0.0) || !std::isfinite(hz)) {
        return 0.0;
    }
    const int32_t level = values[first + 1];
    const int32_t bandwidth = values[first + 2];
    const std::optional<int32_t> centre = CentreOfIndex(band, values[first]);
    if (!centre || *centre == 0 || !EqualizerValueValid(first + 1, level) ||
        !EqualizerValueValid(first + 2, bandwidth)) {
        return 0.0;
    }
    const double r = hz / *centre;
    const double x = (1.0 - r * r) / r;
    const double inverseQ = 1.0 / bandwidth;
    const double h = inverseQ / std::sqrt(x * x + inverseQ * inverseQ);
    const double gain = std::pow(10.0, std::abs(level) / 20.0);
    const double response = 20.0 * std::log10(1.0 + h * (gain - 1.0));
    return level < 0 ? -response : response;
}

double SumResponseDb(const EqualizerValues& values, double hz) {
    return BandResponseDb(values, 1, hz) + BandResponseDb(values, 2, hz) +
           BandResponseDb(values, 3, hz);
}

std::vector<GraphPixel> CurvePixels(const EqualizerValues& values, EqualizerCurve curve) {
    std::vector<GraphPixel> pixels;
    double x0 = FrequencyToX(kCurveFrequencies[0]);
    double y0 = LevelToY(CurveResponseDb(values, curve, kCurveFrequencies[0]));
    for (size_t k = 1; k < kCurveFrequencies.size(); ++k) {
        const double x1 = FrequencyToX(kCurveFrequencies[k]);
        const double y1 = LevelToY(CurveResponseDb(values, curve, kCurveFrequencies[k]));
        const double slope = (y1 - y0) / (x1 - x0);
        // Counting steps rather than adding 0.1 repeatedly keeps the walk from drifting.
        for (int step = 0;; ++step) {
            const double t = step * kWalkStep;
            const double x = x0 + t;
            if (x > x1) {
                break;
            }
            // The row is the floor, so a point just above the top edge is cut away instead of
            // landing on row 0.
            const double y = std::floor(y0 + t * slope);
            if (!InsideGraph(x, y)) {
                continue;
            }
            const GraphPixel pixel{static_cast<int>(x), static_cast<int>(y)};
            if (pixels.empty() || pixels.back() != pixel) {
                pixels.push_back(pixel);
            }
        }
        x0 = x1;
        y0 = y1;
    }
    return pixels;
}

std::array<EqualizerCurve, 4> CurveDrawOrder(int activeBand) {
    switch (activeBand) {
        case 2:
            return {EqualizerCurve::Sum, EqualizerCurve::Band3, EqualizerCurve::Band1,
                    EqualizerCurve::Band2};
        case 3:
            return {EqualizerCurve::Sum, EqualizerCurve::Band2, EqualizerCurve::Band1,
                    EqualizerCurve::Band3};
    }
    return {EqualizerCurve::Sum, EqualizerCurve::Band3, EqualizerCurve::Band2,
            EqualizerCurve::Band1};
}

Rgb CurveColour(EqualizerCurve curve) {
    switch (curve) {
        case EqualizerCurve::Sum:
            return {0, 0, 0};
        case EqualizerCurve::Band1:
            return {255, 0, 0};
        case EqualizerCurve::Band2:
            return {0, 0, 255};
        case EqualizerCurve::Band3:
            return {0, 128, 0};
    }
    return {0, 0, 0};
}

}  // namespace kestrel
