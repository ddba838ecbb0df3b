// The data file that keeps the target list between runs: a little-endian
// count, then per entry the name's byte length (signed 32-bit), the name bytes
// and the six MAC bytes. An empty list is kept as no file at all.
#pragma once

#include "targets/file_system.h"
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
    // error, too big for memory). The list shows none of it, so the next save
    // keeps it as "<name>.bak", or under a free "<name>.bak1" ... "<name>.bak9"
    // when that name cannot be replaced, instead of destroying it.
    FILE_DAMAGED,
    // A file that would not open (another program holds it, or no access):
    // not known to be damaged, so a save keeps it only under a free
    // "<name>.bak1" ... "<name>.bak9", never over a backup.
    FILE_HELD,
    // The place could not be read whole, but "<name>.new", written whole by a
    // save that could not put it in place, could: the list is that one. The
    // next save first puts it in place, keeping what is there as for FILE_HELD.
    FILE_FROM_NEW,
};

// Empties the list, then fills it with every entry of the file or, unless the
// result is FILE_LOADED or FILE_FROM_NEW, leaves it empty: never a part of a
// file. No exception leaves it, whatever the file holds.
TargetFileStatus ReadTargetFile(TargetList& list);
// READ_SHARED for a reader beside the window, such as the command line,
// which must neither be refused by it nor keep it from saving.
TargetFileStatus ReadTargetFile(TargetList& list, const std::string& path,
                                ReadSharing sharing = READ_ALONE);

// Writes the list to "<name>.new", flushes it to the disk and only then puts it
// in the file's place in one step; an empty list leaves no file. A file at the
// place that the list does not show is first kept under a backup name, as the
// status says. A save never destroys the only complete copy of the newest
// list: when a write fails the old file stays byte for byte and no "<name>.new"
// remains; when the new file cannot be put in place it stays as "<name>.new"
// (the status becomes FILE_FROM_NEW), where the next start finds it while the
// place cannot be read whole.
// Returns whether the file's place now holds the list; status is updated to
// match, so that a later save does not move a good file aside.
bool WriteTargetFile(const TargetList& list, TargetFileStatus& status);
bool WriteTargetFile(const TargetList& list, TargetFileStatus& status, const std::string& path);

// The same save for any other file the program keeps beside it: contents
// written whole, put in place in one step, what the status says is kept
// aside; empty contents leave no file.
bool SaveWholeFile(const std::string& contents, TargetFileStatus& status, const std::string& path);

} // namespace kivrel
