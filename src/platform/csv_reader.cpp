#include "platform/csv_reader.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kestrel {

namespace {

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
bool IsTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Returns the characters both passes see: line ends read as text (CR LF becomes LF) and every
// two-byte character dropped. A lead byte whose follower is no trail byte is dropped alone and
// the follower counts as an ordinary character.
std::string Characters(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        if (IsLeadByte(c)) {
            if (i + 1 < bytes.size() && IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
                ++i;
            }
            continue;
        }
        out.push_back(static_cast<char>(c));
    }
    return out;
}

const std::string kEmpty;

}  // namespace

bool CsvReader::ReadFile(const std::string& path) {
    if (hasTable_) {
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return false;
    }
    std::string bytes;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.append(chunk, n);
        if (bytes.size() > kMaxFileBytes) {
            return false;
        }
    }
    if (std::ferror(file.get())) {
        return false;
    }
    return ReadText(bytes);
}

bool CsvReader::ReadText(std::string_view bytes) {
    if (hasTable_ || bytes.size() > kMaxFileBytes) {
        return false;
    }
    const std::string text = Characters(bytes);

    // First pass: the table's shape, blind to quotes.
    size_t rows = 0;
    size_t columns = 0;
    size_t fields = 1;
    for (char c : text) {
        if (c == ',') {
            ++fields;
        } else if (c == '\n') {
            ++rows;
            columns = std::max(columns, fields);
            fields = 1;
        }
    }
    // A last line without a line feed is still a row: a settings file edited by hand often
    // lacks the final newline, and dropping its line would silently throw the settings away.
    if (!text.empty() && text.back() != '\n') {
        ++rows;
        columns = std::max(columns, fields);
    }
    if (rows != 0 && columns > kMaxCells / rows) {
        return false;
    }

    // Second pass: the cells. Quotes make a field span commas and lines, so a row can come out
    // with more fields than the first pass counted; those extra fields are not kept.
    cells_.assign(rows * columns, std::string());
    size_t row = 0;
    size_t column = 0;
    bool quoted = false;
    bool fieldStarted = false;
    for (size_t i = 0; i < text.size() && row < rows; ++i) {
        const char c = text[i];
        std::string* cell = column < columns ? &cells_[row * columns + column] : nullptr;
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    if (cell)
                        cell->push_back('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (cell) {
                cell->push_back(c);
            }
            continue;
        }
        if (c == '"') {
            if (fieldStarted && cell) {
                cell->push_back(c);
            }
            quoted = true;
            fieldStarted = true;
        } else if (c == ',') {
            ++column;
            fieldStarted = false;
        } else if (c == '\n') {
            ++row;
            column = 0;
            fieldStarted = false;
        } else {
            if (cell)
                cell->push_back(c);
            fieldStarted = true;
        }
    }
    rows_ = rows;
    columns_ = columns;
    hasTable_ = true;
    return true;
}

const std::string& CsvReader::Cell(size_t row, size_t column) const {
    if (row >= rows_ || column >= columns_) {
        return kEmpty;
    }
    return cells_[row * columns_ + column];
}

const std::string& CsvReader::CellAt(size_t index) const {
    return index < cells_.size() ? cells_[index] : kEmpty;
}

}  // namespace kestrel
