// A link of the command chain (the list view, the frame, the application),
// and the table by which each link knows its commands: one row per command,
// its id, its handler and its update rule.
#pragma once

#include <cstddef>

namespace kivrel {

// What a menu item or a toolbar button shows of its command.
struct CommandState {
    bool enabled = false;
    bool checked = false;
};

class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    // False when the id is not this link's; otherwise state is what its rules say.
    virtual bool QueryCommand(unsigned id, CommandState& state) const = 0;
    // Runs the handler of one of this link's commands, once the chain has
    // found it enabled.
    virtual void RunCommand(unsigned id) = 0;
};

// Without an update rule a command is always enabled; a check rule puts a
// check mark beside its menu item.
template <class Owner> struct CommandRow {
    unsigned id;
    void (Owner::*handler)();
    bool (Owner::*update)() const;
    bool (Owner::*check)() const = nullptr;
};

template <class Owner, std::size_t N>
bool QueryCommandRow(const CommandRow<Owner> (&table)[N], const Owner& owner, unsigned id,
                     CommandState& state) {
    for (const CommandRow<Owner>& row : table) {
        if (row.id == id) {
            state.enabled = row.update == nullptr || (owner.*row.update)();
            state.checked = row.check != nullptr && (owner.*row.check)();
            return true;
        }
    }
    return false;
}

template <class Owner, std::size_t N>
void RunCommandRow(const CommandRow<Owner> (&table)[N], Owner& owner, unsigned id) {
    for (const CommandRow<Owner>& row : table) {
        if (row.id == id) {
            (owner.*row.handler)();
            return;
        }
    }
}

} // namespace kivrel
