#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// Writes content to a temporary file beside path and renames it over path, so a failed write
// leaves the old file whole and a reader never sees half a file. The file is made readable by
// everyone (0644). Reports whether the file was replaced.
bool ReplaceFile(const std::string& path, std::string_view content);

}  // namespace kestrel
