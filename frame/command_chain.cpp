#include "frame/command_chain.h"

namespace kivrel {

const CommandTarget* CommandChain::Owner(unsigned id, bool& enabled) const {
    for (const CommandTarget& target : m_targets) {
        enabled = false;
        if (target.query(id, enabled)) {
            return &target;
        }
    }
    enabled = false;
    return nullptr;
}

bool CommandChain::IsEnabled(unsigned id) const {
    bool enabled = false;
    return Owner(id, enabled) != nullptr && enabled;
}

bool CommandChain::Execute(unsigned id) const {
    bool enabled = false;
    const CommandTarget* owner = Owner(id, enabled);
    return owner != nullptr && enabled && owner->run(id);
}

unsigned SystemMenuPromptId(unsigned scCode) {
    // SC_ codes run from 0xF000 in steps of 16 (the low four bits carry
    // how the command was chosen); their prompts run from 0xEF00 in steps of 1.
    const unsigned first = 0xF000, last = 0xF130;
    if (scCode < first || scCode > last + 0xF) {
        return 0;
    }
    const unsigned index = (scCode - first) >> 4;
    // Only sizes, moves, minimise/maximise, window switching, close,
    // restore and task list have a prompt.
    if (index <= 6 || index == 0x12 || index == 0x13) {
        return 0xEF00 + index;
    }
    return 0;
}

} // namespace kivrel
