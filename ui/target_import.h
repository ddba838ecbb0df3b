// What a CSV import adds to the list and what the user is then told: all of
// the file or, at any fault, none of it.
#pragma once

#include "targets/address_file.h"
#include "targets/target_list.h"
#include "targets/text_codec.h"
#include "ui/view_dialogs.h"

#include <string>
#include <vector>

namespace kivrel {

// Bounds on the work one import may cause: the file's size, and the list's
// length afterwards (the largest list a start has been measured with).
constexpr std::size_t kMaxImportBytes = 4 << 20;
constexpr std::int32_t kMaxImportedList = 100000;

struct ImportPlan {
    TargetList added;
    // What the file keeps beside each added entry (address, destination,
    // port), in the same order; kept for its MAC unless all empty.
    std::vector<PcAddresses> kept;
    // The closing message with the numbers added and skipped, or a fault's
    // message with its line or limit.
    unsigned messageId = 0;
    bool fault = false;
    unsigned long first = 0;
    unsigned long second = 0;
    // For a header without both columns: the headings it has, the message's %2.
    std::string headings;
};

// The rows of the file that the list does not hold yet, the same name with
// the same MAC, in file order; read tells how reading the file went.
ImportPlan PlanImport(const TargetList& list, FileOutcome read, const std::string& bytes,
                      const TextCodec& codec);

} // namespace kivrel
