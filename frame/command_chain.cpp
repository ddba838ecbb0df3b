#include "frame/command_chain.h"

namespace kivrel {

CommandTarget* CommandChain::Owner(unsigned id, CommandState& state) const {
    for (CommandTarget* link : m_links) {
        state = CommandState();
        if (link != nullptr && link->QueryCommand(id, state)) {
            return link;
        }
    }
    state = CommandState();
    return nullptr;
}

CommandState CommandChain::State(unsigned id) const {
    CommandState state;
    Owner(id, state);
    return state;
}

bool CommandChain::Execute(unsigned id) const {
    CommandState state;
    CommandTarget* owner = Owner(id, state);
    if (owner == nullptr || !state.enabled) {
        return false;
    }
    owner->RunCommand(id);
    return true;
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
