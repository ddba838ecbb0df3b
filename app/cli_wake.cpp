#include "app/cli_wake.h"

#include "app/target_names.h"
#include "res/resource.h"
#include "targets/mac_messages.h"
#include "wake/wake_sender.h"

namespace kivrel {
namespace {

class Tally final : public SendProgress {
public:
    void Report(int result) override {
        ++reported;
        failed = failed || result != SEND_OK;
    }
    void Finished() override {}

    std::size_t reported = 0;
    bool failed = false;
};

// A mistyped address, rather than a name: only hexadecimal digits and the
// separators an address is written with, or an address's shape whose digit
// is wrong.
bool LooksLikeAddress(const std::string& text, MacParseResult parsed) {
    return parsed == MAC_ERR_DIGIT ||
           text.find_first_not_of("0123456789ABCDEFabcdef-:. \t") == std::string::npos;
}

} // namespace

CliExit RunCommandLineWake(const std::string& text, Messages& messages, WakeSender send,
                           const NamedWake& named) {
    MacBytes mac{};
    const std::string unquoted = Unquoted(text);
    const MacParseResult parsed = ParseMacText(mac, unquoted.c_str());
    if (parsed == MAC_OK) {
        return send(WakeTarget{mac, {}, 0}) == SEND_OK ? CLI_EXIT_SENT : CLI_EXIT_SEND_FAILED;
    }
    TargetList list;
    named.load(list);
    const std::vector<MacBytes> macs = MacsNamed(list, text, named.isLeadByte);
    if (macs.empty()) {
        if (LooksLikeAddress(unquoted, parsed)) {
            messages.ShowWarning(MacParseMessageId(parsed));
        } else {
            messages.ShowTexts(named.windowOpen() ? IDS_NAME_NOT_FOUND_OPEN : IDS_NAME_NOT_FOUND,
                               true, named.codec.AnsiToUtf8(unquoted), named.folder());
        }
        return CLI_EXIT_BAD_ADDRESS;
    }
    // A run the pause ended early sent too few: that is a failure too.
    Tally tally;
    std::vector<WakeTarget> targets;
    for (const MacBytes& named : macs) {
        targets.push_back(WakeTarget{named, {}, 0});
    }
    SendWorker(targets, named.pause, tally, send);
    return tally.reported == macs.size() && !tally.failed ? CLI_EXIT_SENT : CLI_EXIT_SEND_FAILED;
}

} // namespace kivrel
