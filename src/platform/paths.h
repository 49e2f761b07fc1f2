#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The program's own folder below the working directory.
inline constexpr std::string_view kCommoFolder = "CommoFiles";

// Sets the directory that stands in for the working directory (tests); empty restores getcwd().
void SetWorkingDirectoryBase(std::string dir);
// Returns the working directory, or an empty text when it cannot be read.
std::string WorkingDirectory();
// Returns the path of the "CommoFiles" folder, or an empty text without a working directory.
std::string CommoFolderPath();
// Returns the path of a file in the "CommoFiles" folder, or an empty text.
std::string CommoFilePath(std::string_view name);

}  // namespace kestrel
