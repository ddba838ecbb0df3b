// The one path every command takes: the list view, then the frame, then the
// application. Whoever knows a command decides whether it is enabled; a
// command nobody knows, or one that is disabled, is dropped.
#pragma once

#include <functional>
#include <vector>

namespace kivrel {

struct CommandTarget {
    // True when the id is this target's and it ran it.
    std::function<bool(unsigned id)> run;
    // True when the id is this target's; sets enabled.
    std::function<bool(unsigned id, bool& enabled)> query;
};

class CommandChain {
public:
    // Asked in the order added.
    void Add(CommandTarget target) { m_targets.push_back(std::move(target)); }

    // Whether some target knows the id and enables it.
    bool IsEnabled(unsigned id) const;
    // Runs the command if it is enabled; false when it was dropped.
    bool Execute(unsigned id) const;

private:
    const CommandTarget* Owner(unsigned id, bool& enabled) const;

    std::vector<CommandTarget> m_targets;
};

// The status-bar prompt for a highlighted system-menu item: the string that
// stands beside its SC_ code, or 0 when it has none.
unsigned SystemMenuPromptId(unsigned scCode);

} // namespace kivrel
