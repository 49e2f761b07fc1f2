#pragma once

#include <functional>
#include <string_view>

namespace kestrel {

// Carries out the console's "menu" command line (the words after "menu"):
//   save PATH     writes every menu setting to a settings file, prints "saved 118"
//   load PATH     makes the items where the file and the radio differ edits and sends them,
//                 prints "changed N"
//   compare PATH  prints "differs NNN file=V radio=W" per difference, then "differences N"
//   get NNN       prints "menu NNN=V", V the number the "EX" command carries
//   set NNN V     sets and sends one item
// A bad line, file or value prints "error: <reason>" and changes nothing.
void RunMenuCommand(std::string_view arguments, const std::function<void(std::string_view)>& print);

}  // namespace kestrel
