// Which registered PCs a command-line text names, so that a batch file can
// say "Kivrel.exe 会議室のPC" instead of repeating the PC's MAC address.
#pragma once

#include "app/command_line.h"
#include "targets/target_list.h"

#include <string>
#include <vector>

namespace kivrel {

// The text without blanks and one pair of double quotes around it, as a
// batch file or a task's action may leave them.
std::string Unquoted(const std::string& text);

// The MACs of every entry whose name equals the text, in list order. Blanks
// and one pair of double quotes around either are ignored, and so is the
// case of ASCII letters, but never inside a double-byte character (whose
// second byte may be an ASCII letter), as isLeadByte tells. An empty text
// names nothing.
std::vector<MacBytes> MacsNamed(const TargetList& list, const std::string& text,
                                LeadBytePredicate isLeadByte);

} // namespace kivrel
