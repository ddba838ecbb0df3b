#include "app/cli_wake.h"

#include "app/target_names.h"
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

} // namespace

CliExit RunCommandLineWake(const std::string& text, Messages& messages, WakeSender send,
                           const NamedWake& named) {
    MacBytes mac{};
    const MacParseResult parsed = ParseMacText(mac, text.c_str());
    if (parsed == MAC_OK) {
        return send(WakeTarget{mac, {}, 0}) == SEND_OK ? CLI_EXIT_SENT : CLI_EXIT_SEND_FAILED;
    }
    TargetList list;
    named.load(list);
    const std::vector<MacBytes> macs = MacsNamed(list, text, named.isLeadByte);
    if (macs.empty()) {
        messages.ShowWarning(MacParseMessageId(parsed));
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
