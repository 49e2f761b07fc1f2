#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Reads a comma-separated text file into a table of rows x columns text cells. The serial
// settings file and the equalizer files use it. Two-byte characters are skipped, double quotes
// protect commas and line feeds, and a doubled quote inside quotes stands for one quote.
class CsvReader {
  public:
    // Files larger than this are refused: the program's tables are a few lines long.
    static constexpr size_t kMaxFileBytes = 64 * 1024;
    // Tables with more cells than this are refused, so a hostile file cannot exhaust memory.
    static constexpr size_t kMaxCells = 64 * 1024;

    // Reads the file; false when it cannot be opened or read, is too large, or a table is held.
    bool ReadFile(const std::string& path);
    // Reads the table from the file's bytes as ReadFile would.
    bool ReadText(std::string_view bytes);

    // Reports whether a table is held.
    bool HasTable() const { return hasTable_; }
    // Returns the number of rows: one per line feed; a last line without one is not a row.
    size_t Rows() const { return rows_; }
    // Returns the number of columns: the most fields any line has.
    size_t Columns() const { return columns_; }
    // Returns rows x columns.
    size_t CellCount() const { return cells_.size(); }
    // Returns the cell, or an empty text outside the table.
    const std::string& Cell(size_t row, size_t column) const;
    // Returns the cell at a position in row order, or an empty text outside the table.
    const std::string& CellAt(size_t index) const;

  private:
    bool hasTable_ = false;
    size_t rows_ = 0;
    size_t columns_ = 0;
    std::vector<std::string> cells_;
};

}  // namespace kestrel
