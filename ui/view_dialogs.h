// The modal dialogs the target list view runs, behind an interface so that the
// view's decisions can be exercised with scripted answers.
#pragma once

#include "targets/target_entry.h"
#include "targets/target_list.h"

#include <string>

namespace kivrel {

class ViewDialogs {
public:
    virtual ~ViewDialogs() = default;

    // Registration: editing is null for a new target, otherwise the entry to
    // edit. address comes in as the one kept with it (UTF-8, maybe empty). True
    // only on OK, and only then are result and address what to store.
    virtual bool RunRegister(const TargetEntry* editing, TargetEntry& result,
                             std::string& address) = 0;
    // Sending: the dialog owns its copies; its outcome changes nothing here.
    virtual void RunSend(TargetList copies) = 0;
};

} // namespace kivrel
