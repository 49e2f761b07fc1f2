#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "equalizer/equalizer_tables.h"

namespace kestrel {

// A ".pef" file holds the nine values of one equalizer set as three text lines, one per band:
// "centre Hz,level dB,bandwidth", the centre 0 for OFF.

// The file dialogs' filter and extension.
inline constexpr std::string_view kPefFilter = "Parametric Equalizer Setting File (*.pef)";
inline constexpr std::string_view kPefExtension = "pef";

// Parses a file's bytes into `out`. All or nothing: three lines of three whole numbers on the
// bands' tables, nothing else but empty lines after them; on any failure `out` is untouched.
bool ParsePef(std::string_view bytes, EqualizerValues& out);
// Reads and parses the file at `path` as ParsePef does; false also when it cannot be read.
bool ReadPefFile(const std::string& path, EqualizerValues& out);
// Returns the file's text for a set of valid values, or "" when any value is off its table.
std::string FormatPef(const EqualizerValues& values);
// Writes the file through a temporary file in the same folder, synced and renamed into place,
// so a failure leaves any earlier file whole. False when a value is off its table or a step of
// the write fails.
bool WritePefFile(const std::string& path, const EqualizerValues& values);
// Returns the suggested file name "YYYYMMDDhhmmss.pef" of a local time.
std::string SuggestedPefName(const std::tm& localTime);

}  // namespace kestrel
