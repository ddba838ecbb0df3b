// One check of one PC: where its address comes from and how the answer
// becomes its status. The network is behind an interface, so the decisions
// run natively against a fake one.
#pragma once

#include "net/ipv4.h"
#include "net/neighbour_table.h"
#include "status/status_schedule.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kivrel {

constexpr unsigned kEchoTimeoutMs = 1000;

// A row that names one PC's MAC at one address: not of a multicast or
// broadcast address, with a MAC, and not found unreachable.
bool IsUsableNeighbour(const NeighbourEntry& row);

// For each MAC, the IPv4 address the table last saw it at. Rows of multicast
// or broadcast addresses, rows without a MAC and rows found unreachable do
// not count.
using NeighbourAddresses = std::map<MacBytes, std::uint32_t>;
NeighbourAddresses LatestNeighbourAddresses(const std::vector<NeighbourEntry>& rows);

// The first row for the address with a usable MAC: multicast, empty and
// unreachable rows never answer, nor rows last confirmed longer ago than
// withinMs.
bool FindNeighbourMac(std::uint32_t address, const std::vector<NeighbourEntry>& rows, MacBytes& mac,
                      std::uint32_t withinMs = UINT32_MAX);

// What an echo reply from ipv4 says of the PC with mac: up, unless the address
// is on one of this PC's subnets, where the table tells who is there, and
// another device holds it; other is then that device's MAC.
PcStatus ReplyStatus(const MacBytes& mac, std::uint32_t ipv4, const std::vector<Subnet>& subnets,
                     const std::vector<NeighbourEntry>& rows, MacBytes& other);

// The addresses a sweep asks, so that a woken PC of no known address shows in
// the neighbour table: every host of this PC's subnets but its own, for
// subnets of at most 1,022 hosts.
std::vector<std::uint32_t> SweepAddresses(const std::vector<Subnet>& subnets);

class StatusNetwork {
public:
    virtual ~StatusNetwork() = default;
    // False when the table cannot be read.
    virtual bool ReadNeighbours(std::vector<NeighbourEntry>& rows) = 0;
    // A dotted address or a host name; false when it does not resolve.
    virtual bool Resolve(const std::string& address, std::uint32_t& ipv4) = 0;
    // True when an echo reply came within the time-out.
    virtual bool Echo(std::uint32_t ipv4, unsigned timeoutMs) = 0;
    // Every IPv4 subnet of this PC's adapters; false when unreadable.
    virtual bool ReadSubnets(std::vector<Subnet>& subnets) = 0;
};

// Where a check's echo goes: the PC's own address first, else the neighbour
// table's by its MAC. False when there is nowhere; status is then what the PC
// shows: blank with neither address, no answer when its own does not resolve.
using ResolveName = std::function<bool(const std::string& address, std::uint32_t& ipv4)>;
bool EchoAddressOf(const StatusCheck& check, const NeighbourAddresses& neighbours,
                   const ResolveName& resolve, std::uint32_t& ipv4, PcStatus& status);

} // namespace kivrel
