// The modal dialogs the target list view runs, behind an interface so that the
// view's decisions can be exercised with scripted answers.
#pragma once

#include "targets/address_file.h"
#include "targets/target_entry.h"
#include "targets/target_list.h"

#include <cstddef>
#include <string>

namespace kivrel {

enum class FileOutcome {
    Done,
    Cancelled, // the user closed the file dialog without a file
    Failed,    // the file could not be read, or written and put in place
    InUse,     // another program holds the file to be replaced
    TooBig,    // the file holds more bytes than asked for
};

class ViewDialogs {
public:
    virtual ~ViewDialogs() = default;

    // Registration: editing is null for a new target, otherwise the entry to
    // edit. addresses come in as those kept with it (maybe empty). True only
    // on OK, and only then are result and addresses what to store.
    virtual bool RunRegister(const TargetEntry* editing, TargetEntry& result,
                             PcAddresses& addresses) = 0;
    // Sending: the dialog owns its copies, and what is kept for their MACs
    // (where each wake goes); its outcome changes nothing here.
    virtual void RunSend(TargetList copies, AddressBook addresses) = 0;
    // The system's open dialog, then the chosen file's bytes, at most limit.
    virtual FileOutcome RunImport(std::size_t limit, std::string& bytes) = 0;
    // The system's save dialog, then the bytes written whole and put in place
    // in one step, so that a failure leaves no half file. file is the chosen
    // file's path in UTF-8, for a message.
    virtual FileOutcome RunExport(const std::string& bytes, std::string& file) = 0;
    // Why the PC may not wake, with its address and destination as kept.
    virtual void RunDiagnose(const TargetEntry& entry, const PcAddresses& addresses) = 0;
};

} // namespace kivrel
