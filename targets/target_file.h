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
    // error, too big for memory). The next save keeps it as "<name>.bak", or
    // under a free "<name>.bak1" ... "<name>.bak9" when that name cannot be
    // replaced, instead of destroying it.
    FILE_DAMAGED,
    // A file that would not open, even after waiting a moment for another
    // program to let go of it (or no access): not known to be damaged, so a
    // save keeps it only under a free "<name>.bak1" ... "<name>.bak9".
    FILE_HELD,
};

// Empties the list, then fills it with the newest complete list there is:
// "<name>.new" when it is whole, since only a save that could not put it in
// place leaves it, otherwise the file when it is FILE_LOADED; otherwise the
// list stays empty, never a part of a file. The result says what is at the
// file's place, whichever list was read. No exception leaves it.
TargetFileStatus ReadTargetFile(TargetList& list);
// READ_SHARED for a reader beside the window, such as the command line,
// which must neither be refused by it nor keep it from saving.
TargetFileStatus ReadTargetFile(TargetList& list, const std::string& path,
                                ReadSharing sharing = READ_ALONE);

// Writes the list under a temporary name, flushes it to the disk, renames it
// "<name>.new" and only then puts that in the file's place; an empty list
// leaves neither file. A file at the place that the list does not show is
// first kept under a backup name, as the status says. A save never destroys
// the newest complete list: a failed write leaves every file as it was, and
// when the new file cannot be put in place it stays as "<name>.new", where the
// next start finds it. An empty list whose file cannot be removed is written
// as an empty "<name>.new", so that the next start shows it empty too.
// Returns whether the file's place now holds the list; status is updated to
// match, so that a later save does not move a good file aside.
bool WriteTargetFile(const TargetList& list, TargetFileStatus& status);
bool WriteTargetFile(const TargetList& list, TargetFileStatus& status, const std::string& path);

// Opens a file the program keeps for reading: FILE_LOADED when it is open,
// else what that says of the file (missing, or held).
TargetFileStatus OpenKeptFile(PlatformFile& file, const std::string& path,
                              ReadSharing sharing = READ_ALONE);

// The same save for any other file the program keeps beside it: contents
// written whole, put in place in one step, what the status says is kept
// aside; empty contents leave no file.
bool SaveWholeFile(const std::string& contents, TargetFileStatus& status, const std::string& path);

} // namespace kivrel
