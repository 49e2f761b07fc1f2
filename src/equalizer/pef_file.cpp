#include "equalizer/pef_file.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "platform/csv_reader.h"
#include "platform/replace_file.h"

namespace kestrel {

namespace {

constexpr size_t kLines = 3;
constexpr size_t kColumns = 3;
// No valid cell needs more digits; the limit keeps the conversion far from overflow.
constexpr size_t kMaxDigits = 6;

// A file holds nothing but numbers, signs, commas and line ends. Anything else (a byte-order
// mark, spaces, quotes, two-byte characters the reader would silently drop) makes the whole
// file suspect, so it is refused before the reader sees it.
bool OnlyPefBytes(std::string_view bytes) {
    return bytes.find_first_not_of("0123456789+-,\r\n") == std::string_view::npos;
}

// Reports whether everything after the third line is line ends alone.
bool NothingAfterThirdLine(std::string_view bytes) {
    size_t end = 0;
    for (size_t line = 0; line < kLines; ++line) {
        end = bytes.find('\n', end);
        if (end == std::string_view::npos) {
            return true;
        }
        ++end;
    }
    return bytes.find_first_not_of("\r\n", end) == std::string_view::npos;
}

// Converts a whole cell: an optional sign and one to six digits, nothing else.
std::optional<int32_t> StrictInt(std::string_view cell) {
    bool negative = false;
    if (!cell.empty() && (cell[0] == '+' || cell[0] == '-')) {
        negative = cell[0] == '-';
        cell.remove_prefix(1);
    }
    if (cell.empty() || cell.size() > kMaxDigits) {
        return std::nullopt;
    }
    int32_t value = 0;
    for (char c : cell) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

}  // namespace

bool ParsePef(std::string_view bytes, EqualizerValues& out) {
    if (!OnlyPefBytes(bytes) || !NothingAfterThirdLine(bytes)) {
        return false;
    }
    CsvReader reader;
    if (!reader.ReadText(bytes) || reader.Rows() < kLines || reader.Columns() != kColumns) {
        return false;
    }
    EqualizerValues values{};
    for (size_t row = 0; row < kLines; ++row) {
        const int band = static_cast<int>(row) + 1;
        const std::optional<int32_t> centre = StrictInt(reader.Cell(row, 0));
        const std::optional<int32_t> level = StrictInt(reader.Cell(row, 1));
        const std::optional<int32_t> bandwidth = StrictInt(reader.Cell(row, 2));
        const std::optional<int32_t> index = centre ? IndexOfCentre(band, *centre) : std::nullopt;
        if (!index || !level || !bandwidth) {
            return false;
        }
        values[ValueIndex(band, EqParam::Frequency)] = *index;
        values[ValueIndex(band, EqParam::Level)] = *level;
        values[ValueIndex(band, EqParam::Bandwidth)] = *bandwidth;
    }
    if (!EqualizerValuesValid(values)) {
        return false;
    }
    out = values;
    return true;
}

bool ReadPefFile(const std::string& path, EqualizerValues& out) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return false;
    }
    std::string bytes;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.append(chunk, n);
        if (bytes.size() > CsvReader::kMaxFileBytes) {
            return false;
        }
    }
    return !std::ferror(file.get()) && ParsePef(bytes, out);
}

std::string FormatPef(const EqualizerValues& values) {
    if (!EqualizerValuesValid(values)) {
        return "";
    }
    std::string text;
    for (int band = 1; band <= kEqualizerBands; ++band) {
        char line[48];
        std::snprintf(line, sizeof line, "%d,%d,%d\n",
                      *CentreOfIndex(band, values[ValueIndex(band, EqParam::Frequency)]),
                      values[ValueIndex(band, EqParam::Level)],
                      values[ValueIndex(band, EqParam::Bandwidth)]);
        text += line;
    }
    return text;
}

bool WritePefFile(const std::string& path, const EqualizerValues& values) {
    const std::string text = FormatPef(values);
    if (text.empty() || path.empty()) {
        return false;
    }
    return ReplaceFile(path, text);
}

std::string SuggestedPefName(const std::tm& localTime) {
    char name[96];
    std::snprintf(name, sizeof name, "%04lld%02d%02d%02d%02d%02d.pef",
                  static_cast<long long>(localTime.tm_year) + 1900, localTime.tm_mon + 1,
                  localTime.tm_mday, localTime.tm_hour, localTime.tm_min, localTime.tm_sec);
    return name;
}

}  // namespace kestrel
