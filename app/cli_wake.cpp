#include "app/cli_wake.h"

#include "app/target_names.h"
#include "res/resource.h"
#include "targets/mac_messages.h"
#include "wake/send_run.h"
#include "wake/wake_sender.h"

#include <cctype>

namespace kivrel {
namespace {

// Counts the results of the targets' sends, which come in their order, and
// names each destination that did not resolve.
class Tally final : public SendProgress {
public:
    Tally(const std::vector<WakeTarget>& targets, const NamedWake& named)
        : m_targets(targets), m_named(named) {}
    void Report(int result) override {
        if (result == SEND_ERR_NO_DESTINATION) {
            m_named.printError(IDS_CLI_NO_DESTINATION, m_targets[reported].destination);
        }
        ++reported;
        failed = failed || result != SEND_OK;
    }
    void Finished() override {}

    std::size_t reported = 0;
    bool failed = false;

private:
    const std::vector<WakeTarget>& m_targets;
    const NamedWake& m_named;
};

// A run the pause ended early sent too few: that is a failure too.
CliExit SendAll(const std::vector<WakeTarget>& targets, WakeSender send, const NamedWake& named) {
    Tally tally(targets, named);
    SendWorker(targets, named.pause, tally, send);
    return tally.reported == targets.size() && !tally.failed ? CLI_EXIT_SENT : CLI_EXIT_SEND_FAILED;
}

// A host name's or an IPv4 address's bytes: letters, digits, '-', '.', '_'
// and whatever is not ASCII (a Japanese name), a double-byte character taken
// whole; no blank, quote or other sign.
bool IsDestinationText(const std::string& text, LeadBytePredicate isLeadByte) {
    MacBytes mac{};
    if (text.empty() || ParseMacAnyForm(mac, text) || ParseMacText(mac, text.c_str()) == MAC_OK) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (isLeadByte(c) && i + 1 < text.size()) {
            ++i;
        } else if (c < 0x80 && !std::isalnum(c) && c != '-' && c != '.' && c != '_') {
            return false;
        }
    }
    return true;
}

// "MAC DESTINATION[:PORT]", the MAC as a lone text would be taken, blanks
// between; the destination still in the names' code page.
bool ParseMacAndDestination(const std::string& text, LeadBytePredicate isLeadByte,
                            WakeTarget& target, std::string& destination) {
    const std::size_t blank = text.find_first_of(" \t");
    const std::size_t start = text.find_first_not_of(" \t", blank);
    if (start == std::string::npos ||
        ParseMacText(target.mac, text.substr(0, blank).c_str()) != MAC_OK) {
        return false;
    }
    destination = text.substr(start);
    const std::size_t colon = destination.rfind(':');
    if (colon != std::string::npos) {
        if (!ParsePortText(destination.substr(colon + 1), target.port)) {
            return false;
        }
        destination.resize(colon);
    }
    return IsDestinationText(destination, isLeadByte);
}

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
    if (!macs.empty()) {
        AddressBook book;
        named.loadAddresses(book);
        std::vector<WakeTarget> targets;
        for (const MacBytes& pc : macs) {
            targets.push_back(WakeTargetOf(pc, book));
        }
        return SendAll(targets, send, named);
    }
    // Sent at once, as a lone MAC address is.
    WakeTarget given;
    std::string destination;
    if (ParseMacAndDestination(unquoted, named.isLeadByte, given, destination)) {
        given.destination = named.codec.AnsiToUtf8(destination);
        const int result = send(given);
        if (result == SEND_ERR_NO_DESTINATION) {
            named.printError(IDS_CLI_NO_DESTINATION, given.destination);
        }
        return result == SEND_OK ? CLI_EXIT_SENT : CLI_EXIT_SEND_FAILED;
    }
    if (LooksLikeAddress(unquoted, parsed)) {
        messages.ShowWarning(MacParseMessageId(parsed));
    } else {
        messages.ShowTexts(named.windowOpen() ? IDS_NAME_NOT_FOUND_OPEN : IDS_NAME_NOT_FOUND, true,
                           named.codec.AnsiToUtf8(unquoted), named.folder());
    }
    return CLI_EXIT_BAD_ADDRESS;
}

} // namespace kivrel
