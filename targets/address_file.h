// The second file beside the data file: each PC's host name or IPv4 address,
// kept apart so that the data file's layout stays as it is. UTF-8 text a user
// can read, one PC a line keyed by its MAC: "00-1A-2B-3C-4D-5E 192.168.1.23".
// No file is an empty book.
#pragma once

#include "targets/target_entry.h"
#include "targets/target_file.h"

#include <map>
#include <string>

namespace kivrel {

constexpr char kAddressFileName[] = "Kivrel.addresses.txt";

// MAC to address text: PCs that share a MAC share their address.
using AddressBook = std::map<MacBytes, std::string>;

// What a typed address is kept as: blanks around it trimmed and control
// characters made spaces, so that it is always one line of the file.
std::string CleanAddressText(const std::string& utf8);

std::string FormatAddressText(const AddressBook& book);
// The whole text or nothing: false, with the book untouched, for any line
// that is neither blank nor "MAC address".
bool ParseAddressText(const std::string& text, AddressBook& book);

// The same reading, fallback and statuses as the data file's; no exception
// leaves either.
TargetFileStatus ReadAddressFile(AddressBook& book, const char* path = kAddressFileName);
bool WriteAddressFile(const AddressBook& book, TargetFileStatus& status,
                      const char* path = kAddressFileName);

} // namespace kivrel
