// The second file beside the data file: what is kept with each PC besides its
// name and MAC, apart so that the data file's layout stays as it is. UTF-8
// text a user can read, one PC a line keyed by its MAC: the MAC, a blank and
// the PC's own host name or IPv4 address; then, when it has a destination or
// a port, a tab, the destination, and a tab and the port when it has one:
//   00-1A-2B-3C-4D-5E 192.168.1.23
//   00-1A-2B-3C-4D-5F 192.168.2.40<TAB>192.168.2.255<TAB>9
//   00-1A-2B-3C-4D-60 <TAB>pc.example.net<TAB>40000
// The first form is the whole of what the release before wrote: a kept text
// never holds a tab. No file is an empty book.
#pragma once

#include "targets/target_entry.h"
#include "targets/target_file.h"

#include <cstdint>
#include <map>
#include <string>

namespace kivrel {

constexpr char kAddressFileName[] = "Kivrel.addresses.txt";

// What is kept with one MAC, each part optional.
struct PcAddresses {
    // The PC's own host name or address, UTF-8: its MAC is found and its
    // status checked there.
    std::string address;
    // Where its wakes go, a host name or IPv4 address, UTF-8: another
    // subnet's broadcast address, say, or a router that forwards the port.
    // Empty: this PC's LANs' broadcast.
    std::string destination;
    std::uint16_t port = 0; // 1 to 65535; 0 for port 7
    bool empty() const { return address.empty() && destination.empty() && port == 0; }
};

inline bool operator==(const PcAddresses& a, const PcAddresses& b) {
    return a.address == b.address && a.destination == b.destination && a.port == b.port;
}

// MAC to what is kept with it: PCs that share a MAC share it.
using AddressBook = std::map<MacBytes, PcAddresses>;

// What a typed address or destination is kept as: blanks around it trimmed
// and control characters made spaces, so that it is always one field of one
// line of the file.
std::string CleanAddressText(const std::string& utf8);

// A port as typed: 1 to 65535 in decimal digits, nothing else; false for any
// other text, the empty one included.
bool ParsePortText(const std::string& text, std::uint16_t& port);
// A port field of the dialog or a CSV row: blanks around it are ignored, and
// an empty one is no port (0, so port 7).
bool ParsePortField(const std::string& text, std::uint16_t& port);

std::string FormatAddressText(const AddressBook& book);
// The whole text or nothing: false, with the book untouched, for any line
// that is neither blank nor one of the forms above.
bool ParseAddressText(const std::string& text, AddressBook& book);

// The same reading, fallback and statuses as the data file's; no exception
// leaves either. READ_SHARED for a reader beside the window.
TargetFileStatus ReadAddressFile(AddressBook& book, const char* path = kAddressFileName,
                                 ReadSharing sharing = READ_ALONE);
bool WriteAddressFile(const AddressBook& book, TargetFileStatus& status,
                      const char* path = kAddressFileName);

} // namespace kivrel
