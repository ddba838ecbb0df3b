// What follows the program's name on the command line. The wake mode takes it
// as one text: no quote removal, no trimming, no splitting into arguments.
#pragma once

#include <string>

namespace kivrel {

using LeadBytePredicate = bool (*)(unsigned char);

// Skips the program name (quoted, or up to the first byte <= 32) and the blanks
// and control bytes after it. Inside a quoted name a double-byte character is
// stepped over whole, as isLeadByte says.
std::string CommandLineText(const char* commandLine, LeadBytePredicate isLeadByte);

// Where the platform hands over separate arguments: joined by single blanks,
// so one argument arrives unchanged and none selects the windowed mode.
std::string JoinArguments(int argc, const char* const* argv);

} // namespace kivrel
