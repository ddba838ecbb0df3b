// The one path every command takes: the list view, then the frame, then the
// application. The first link that knows a command decides whether it is
// enabled; a command nobody knows, or one that is disabled, is dropped. The
// enabled rule is asked here, once, and never again by the handler.
#pragma once

#include "ui/command_target.h"

#include <initializer_list>
#include <vector>

namespace kivrel {

class CommandChain {
public:
    // Asked in this order; a null link (a pane not made yet, or gone) is passed over.
    CommandChain(std::initializer_list<CommandTarget*> links) : m_links(links) {}

    // The state the first link that knows the id gives it; disabled when none does.
    CommandState State(unsigned id) const;
    bool IsEnabled(unsigned id) const { return State(id).enabled; }
    // Runs the command if it is enabled; false when it was dropped.
    bool Execute(unsigned id) const;

private:
    CommandTarget* Owner(unsigned id, CommandState& state) const;

    std::vector<CommandTarget*> m_links;
};

// The status-bar prompt for a highlighted system-menu item: the string that
// stands beside its SC_ code, or 0 when it has none.
unsigned SystemMenuPromptId(unsigned scCode);

} // namespace kivrel
