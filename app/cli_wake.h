// The command-line wake: a MAC address, the name of registered PCs, or a MAC
// address and a destination; send, and say what went wrong.
#pragma once

#include "app/command_line.h"
#include "targets/address_file.h"
#include "targets/target_list.h"
#include "targets/text_codec.h"
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
    // Asked only for the message when no PC has the name: the names' code
    // page, the folder whose list was read (UTF-8), and whether a window is
    // open whose changes reach that list only when it closes.
    const TextCodec& codec;
    std::string (*folder)();
    bool (*windowOpen)();
    // What is kept beside the list, read as the list is: each named PC's
    // wake goes through its own destination and port.
    void (*loadAddresses)(AddressBook& book);
    // One line on standard error, never a box, for a destination whose name
    // does not resolve: the string's %1 is that destination (UTF-8).
    void (*printError)(unsigned stringId, const std::string& destination);
};

// A valid MAC address, blanks and quotes around it ignored, is always one,
// and is sent once, to this PC's LANs' broadcast on port 7. Any other text
// wakes every PC of that name in list order, each through the destination
// and port kept for it. When none has it, "MAC DESTINATION" or "MAC
// DESTINATION:PORT" (blanks between; a destination that is a host name or an
// IPv4 address, never a MAC address) sends to that destination, port 7
// unless given. Otherwise a text of hexadecimal digits and separators (or a
// MAC's shape with a wrong digit) gets the address's message, any other the
// name's; nothing is sent. A failed send is silent and shows only in the
// exit status; a destination that does not resolve prints its line too.
CliExit RunCommandLineWake(const std::string& text, Messages& messages, WakeSender send,
                           const NamedWake& named);

} // namespace kivrel
