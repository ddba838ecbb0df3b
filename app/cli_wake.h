// The command-line wake: parse the text, send one packet, say what went wrong.
#pragma once

#include "targets/target_entry.h"
#include "ui/messages.h"

#include <string>

namespace kivrel {

// Exit statuses, so that scripts can tell the outcomes apart.
enum CliExit {
    CLI_EXIT_SENT = 0,
    CLI_EXIT_BAD_ADDRESS = 1,
    CLI_EXIT_SEND_FAILED = 2,
    CLI_EXIT_NO_SOCKETS = 3,
};

using WakeSender = int (*)(const MacBytes& mac);

// A rejected text shows its one message and sends nothing; a failed send is
// silent and shows only in the exit status.
CliExit RunCommandLineWake(const std::string& text, Messages& messages, WakeSender send);

} // namespace kivrel
