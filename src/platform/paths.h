#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The program's own folder below the working directory.
inline constexpr std::string_view kCommoFolder = "CommoFiles";
// The per-user folder below the user's data folder that holds "CommoFiles" otherwise.
inline constexpr std::string_view kUserDataFolder = "kestrel-panel";

// Sets the directory that stands in for the working directory (tests); empty restores getcwd().
void SetWorkingDirectoryBase(std::string dir);
// Returns the working directory, or an empty text when it cannot be read.
std::string WorkingDirectory();
// Returns the path of the "CommoFiles" folder (the one chosen for this run, otherwise the one
// in the working directory), or an empty text without a working directory.
std::string CommoFolderPath();
// Returns the path of a file in the "CommoFiles" folder, or an empty text.
std::string CommoFilePath(std::string_view name);

// Returns the folder a run keeps its files in: filesOption when given; "CommoFiles" in
// workingDir when that folder exists; otherwise "kestrel-panel/CommoFiles" in the user's data
// folder (xdgDataHome when it is an absolute path, else ".local/share" in home). Falls back to
// "CommoFiles" in workingDir when there is no home either.
std::string ResolveCommoFolder(const std::string& filesOption, const std::string& workingDir,
                               std::string_view xdgDataHome, std::string_view home);
// Chooses the folder for this run from the command line's filesOption, the working directory
// and the environment, creates it when missing and makes CommoFolderPath return it. Returns
// false with the reason in error when the folder cannot be made; the choice stands anyway.
bool ChooseCommoFolder(const std::string& filesOption, std::string& error);
// Sets the folder CommoFolderPath returns; empty restores the working directory's.
void SetCommoFolder(std::string folder);

}  // namespace kestrel
