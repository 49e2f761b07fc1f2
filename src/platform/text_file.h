#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

// Reads a whole file into `out`; false when it cannot be opened or read, or holds more than
// maxBytes (then `out` is left empty).
bool ReadTextFile(const std::string& path, size_t maxBytes, std::string& out);
// Writes `text` as the whole file: to a temporary file in the same folder, synced, made an
// ordinary readable file and renamed into place, so a failure leaves any earlier file whole.
bool ReplaceTextFile(const std::string& path, std::string_view text);

}  // namespace kestrel
