#include "status/diagnosis.h"

#include "res/resource.h"
#include "status/status_check.h"
#include "targets/mac_text.h"

namespace kivrel {

bool IsLocallyAdministered(const MacBytes& mac) {
    return (mac[0] & 0x02) != 0;
}

bool IsGatewayMac(const MacBytes& mac, const std::vector<std::uint32_t>& gateways,
                  const std::vector<NeighbourEntry>& rows, std::uint32_t& gateway) {
    for (std::uint32_t address : gateways) {
        MacBytes found{};
        if (FindNeighbourMac(address, rows, found) && found == mac) {
            gateway = address;
            return true;
        }
    }
    return false;
}

std::string DestinationText(const PcAddresses& addresses) {
    if (addresses.destination.empty() || addresses.port == 0) {
        return addresses.destination;
    }
    return addresses.destination + ':' + std::to_string(addresses.port);
}

std::vector<DiagnosisLine> Diagnose(const DiagnosisFacts& facts) {
    std::vector<DiagnosisLine> lines;
    const std::string mac = FormatMacText(facts.mac);
    if (facts.resolved && facts.destination.empty() && !OnLocalSubnet(facts.ipv4, facts.subnets)) {
        lines.push_back({IDS_DIAG_OFF_NETWORK, {FormatIpv4(facts.ipv4)}});
    }
    if (IsLocallyAdministered(facts.mac)) {
        lines.push_back({IDS_DIAG_LOCAL_MAC, {mac}});
    }
    std::uint32_t gateway = 0;
    if (IsGatewayMac(facts.mac, facts.gateways, facts.neighbours, gateway)) {
        lines.push_back({IDS_DIAG_GATEWAY_MAC, {mac, FormatIpv4(gateway)}});
    }
    if (facts.checks.otherDevice) {
        lines.push_back({IDS_DIAG_OTHER_DEVICE,
                         {FormatIpv4(facts.ipv4), FormatMacText(facts.checks.otherMac)}});
    }
    if (facts.checks.echoed && !facts.checks.answered) {
        lines.push_back({IDS_DIAG_NO_ECHO, {}});
    }
    if (facts.wake.sent) {
        std::string route = facts.wake.destination;
        if (route.empty()) {
            for (std::uint32_t adapter : facts.wake.adapters) {
                route += (route.empty() ? "" : ", ") + FormatIpv4(adapter);
            }
        }
        if (route.empty()) {
            route = "255.255.255.255"; // no adapter read: one unbound copy
        }
        const unsigned id = facts.wake.destination.empty() ? IDS_DIAG_LAST_WAKE_ADAPTERS
                                                           : IDS_DIAG_LAST_WAKE_DESTINATION;
        const unsigned result = facts.wake.done ? IDS_SEND_DONE : IDS_SEND_FAILED;
        lines.push_back({id, {facts.wake.when, route}, result});
    }
    lines.push_back({IDS_DIAG_CHECKLIST, {}});
    return lines;
}

} // namespace kivrel
