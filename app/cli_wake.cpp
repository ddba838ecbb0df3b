#include "app/cli_wake.h"

#include "targets/mac_messages.h"
#include "wake/wake_sender.h"

namespace kivrel {

CliExit RunCommandLineWake(const std::string& text, Messages& messages, WakeSender send) {
    MacBytes mac{};
    const MacParseResult parsed = ParseMacText(mac, text.c_str());
    if (parsed != MAC_OK) {
        messages.ShowWarning(MacParseMessageId(parsed));
        return CLI_EXIT_BAD_ADDRESS;
    }
    return send(mac) == SEND_OK ? CLI_EXIT_SENT : CLI_EXIT_SEND_FAILED;
}

} // namespace kivrel
