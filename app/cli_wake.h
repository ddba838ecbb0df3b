// The command-line wake: a MAC address, or the name of registered PCs; send,
// and say what went wrong.
#pragma once

#include "app/command_line.h"
#include "targets/target_list.h"
#include "ui/messages.h"
#include "wake/send_worker.h"

#include <string>

namespace kivrel {

// Exit statuses, so that scripts can tell the outcomes apart.
enum CliExit {
    CLI_EXIT_SENT = 0,
    CLI_EXIT_BAD_ADDRESS = 1,
    CLI_EXIT_SEND_FAILED = 2,
    CLI_EXIT_NO_SOCKETS = 3,
};

using WakeSender = int (*)(const WakeTarget& target);

// Where a text that is no MAC address is looked up, and how the wakes it
// finds are paced.
struct NamedWake {
    // Reads the list, as the window would show it, without ever writing it.
    void (*load)(TargetList& list);
    LeadBytePredicate isLeadByte;
    // Waited on before each wake, as the send dialog does; true ends the run.
    AbortSignal& pause;
};

// A valid MAC address is always one, and is sent once. Any other text wakes
// every PC of that name in list order, or, when none has it, shows the
// address's message and sends nothing. A failed send is silent and shows
// only in the exit status.
CliExit RunCommandLineWake(const std::string& text, Messages& messages, WakeSender send,
                           const NamedWake& named);

} // namespace kivrel
