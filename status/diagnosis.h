// Why a PC may not wake: what the program can see of it, each cause one line
// of the diagnosis, and then always what only the PC itself can show. The
// facts are gathered by the caller; every decision is here, free of windows.
#pragma once

#include "net/ipv4.h"
#include "net/neighbour_table.h"
#include "status/status_schedule.h"
#include "targets/address_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kivrel {

// The last wake sent to a PC from the window.
struct LastWake {
    bool sent = false; // false: none this run
    std::string when;  // as the user's clock reads it
    // The adapters' addresses it left from, or the PC's own destination.
    std::vector<std::uint32_t> adapters;
    std::string destination;
    bool done = false; // the sender's result
};

struct DiagnosisFacts {
    MacBytes mac{};
    std::string destination; // the PC's own destination, empty when none
    bool resolved = false;   // the PC's address, kept or found by MAC, is known
    std::uint32_t ipv4 = 0;
    std::vector<Subnet> subnets;
    std::vector<std::uint32_t> gateways;
    std::vector<NeighbourEntry> neighbours;
    PcFacts checks;
    LastWake wake;
};

// One line: its text's %1, %2, ... read args in turn, and the text of argId,
// when not 0, comes after them.
struct DiagnosisLine {
    unsigned textId = 0;
    std::vector<std::string> args;
    unsigned argId = 0;
};

// Set by the cards' makers, the first byte's second bit marks an address the
// system or a user made up; a sleeping card never listens on one.
bool IsLocallyAdministered(const MacBytes& mac);
// The default gateway whose MAC the neighbour table says mac is; false when none.
bool IsGatewayMac(const MacBytes& mac, const std::vector<std::uint32_t>& gateways,
                  const std::vector<NeighbourEntry>& rows, std::uint32_t& gateway);
// Where a wake to the PC goes, with its port when not 7: empty for this LAN's
// broadcast.
std::string DestinationText(const PcAddresses& addresses);

std::vector<DiagnosisLine> Diagnose(const DiagnosisFacts& facts);

} // namespace kivrel
