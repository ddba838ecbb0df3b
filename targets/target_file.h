// The data file that keeps the target list between runs: a little-endian
// count, then per entry the name's byte length (signed 32-bit), the name bytes
// and the six MAC bytes. An empty list is kept as no file at all.
#pragma once

#include "targets/target_list.h"

#include <string>

namespace kivrel {

// Relative on purpose: the file lives in the current directory.
constexpr char kTargetFileName[] = "Kivrel.dat";

// What is at the file's place, as far as this process knows. The reader
// returns it; the caller keeps it and hands it to every save, which updates it.
enum TargetFileStatus {
    FILE_LOADED,  // read whole, or written by this process: a save may replace it
    FILE_MISSING, // no file: nothing to keep
    // A file that could not be read whole (cut short, a bad length, an I/O
    // error, too big for memory, or it would not open). The list shows none of
    // it, so the next save keeps it as "<name>.bak" instead of destroying it.
    FILE_DAMAGED,
};

// Empties the list, then fills it with every entry of the file or, unless the
// result is FILE_LOADED, leaves it empty: never a part of the file.
TargetFileStatus ReadTargetFile(TargetList& list);
TargetFileStatus ReadTargetFile(TargetList& list, const std::string& path);

// Writes the list to "<name>.new", flushes it to the disk and only then puts it
// in the file's place in one step; an empty list leaves no file. When status
// is FILE_DAMAGED the old file first becomes "<name>.bak" (replacing an older
// backup), and if it cannot be moved it stays untouched and nothing is saved.
// On any failure the old file stays byte for byte and no "<name>.new" remains.
// Returns whether the file's place now holds the list; status is updated to
// match, so that a later save does not move a good file aside.
bool WriteTargetFile(const TargetList& list, TargetFileStatus& status);
bool WriteTargetFile(const TargetList& list, TargetFileStatus& status, const std::string& path);

} // namespace kivrel
