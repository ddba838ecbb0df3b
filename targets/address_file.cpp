#include "targets/address_file.h"

#include "targets/file_system.h"
#include "targets/mac_text.h"

#include <exception>
#include <utility>
#include <vector>

namespace kivrel {
namespace {

// Far more than any list of PCs needs (100,000 lines of 160 bytes); a bigger
// file is not ours.
constexpr std::uint64_t kMaxFileSize = 16 << 20;
constexpr char kBom[] = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// The MAC, a blank, then one to three fields apart by tabs: the address,
// the destination and the port. Something must be kept.
bool ParseLine(const std::string& line, AddressBook& book) {
    MacBytes mac{};
    if (line.size() < kMacTextLength + 2 || !IsBlank(line[kMacTextLength]) ||
        ParseMacText(mac, line.substr(0, kMacTextLength).c_str()) != MAC_OK) {
        return false;
    }
    std::vector<std::string> fields;
    for (std::size_t at = kMacTextLength + 1;;) {
        const std::size_t tab = line.find('\t', at);
        fields.push_back(
            CleanAddressText(line.substr(at, tab == std::string::npos ? tab : tab - at)));
        if (tab == std::string::npos) {
            break;
        }
        at = tab + 1;
    }
    if (fields.size() > 3) {
        return false;
    }
    fields.resize(3);
    PcAddresses kept;
    kept.address = fields[0];
    kept.destination = fields[1];
    if ((!fields[2].empty() && !ParsePortText(fields[2], kept.port)) || kept.empty()) {
        return false;
    }
    book[mac] = kept;
    return true;
}

TargetFileStatus ReadText(std::string& text, const char* path, ReadSharing sharing) {
    PlatformFile file;
    const TargetFileStatus opened = OpenKeptFile(file, path, sharing);
    if (opened != FILE_LOADED) {
        return opened;
    }
    std::uint64_t size = 0;
    std::size_t got = 0;
    if (!file.GetSize(size) || size > kMaxFileSize) {
        return FILE_DAMAGED;
    }
    text.resize(static_cast<std::size_t>(size));
    return file.Read(&text[0], text.size(), got) && got == text.size() ? FILE_LOADED : FILE_DAMAGED;
}

TargetFileStatus ReadBook(AddressBook& book, const char* path, ReadSharing sharing) {
    try {
        std::string text;
        const TargetFileStatus status = ReadText(text, path, sharing);
        if (status == FILE_LOADED && !ParseAddressText(text, book)) {
            return FILE_DAMAGED;
        }
        return status;
    } catch (const std::exception&) {
        return FILE_DAMAGED;
    }
}

} // namespace

std::string CleanAddressText(const std::string& utf8) {
    const std::size_t first = utf8.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return std::string();
    }
    std::string clean = utf8.substr(first, utf8.find_last_not_of(" \t\r\n") - first + 1);
    for (char& c : clean) {
        if (IsControl(c)) {
            c = ' ';
        }
    }
    return clean;
}

bool ParsePortText(const std::string& text, std::uint16_t& port) {
    unsigned long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 65535) {
            return false;
        }
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (text.empty() || value < 1 || value > 65535) {
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

bool ParsePortField(const std::string& text, std::uint16_t& port) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        port = 0;
        return true;
    }
    return ParsePortText(text.substr(first, text.find_last_not_of(" \t") - first + 1), port);
}

std::string FormatAddressText(const AddressBook& book) {
    std::string text;
    for (const auto& row : book) {
        const PcAddresses& kept = row.second;
        text += FormatMacText(row.first) + ' ' + kept.address;
        if (!kept.destination.empty() || kept.port != 0) {
            text += '\t' + kept.destination;
        }
        if (kept.port != 0) {
            text += '\t' + std::to_string(kept.port);
        }
        // CRLF: the file is meant to be read in any Windows editor.
        text += "\r\n";
    }
    return text;
}

bool ParseAddressText(const std::string& text, AddressBook& book) {
    AddressBook read;
    // An editor may have saved it with a byte order mark.
    std::size_t at = text.compare(0, 3, kBom) == 0 ? 3 : 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") != std::string::npos && !ParseLine(line, read)) {
            return false;
        }
        at = end + 1;
    }
    book = std::move(read);
    return true;
}

TargetFileStatus ReadAddressFile(AddressBook& book, const char* path, ReadSharing sharing) {
    book.clear();
    AddressBook placed;
    const TargetFileStatus status = ReadBook(placed, path, sharing);
    try {
        // A whole "<name>.new" is the newest book, as for the data file.
        if (ReadBook(book, (std::string(path) + ".new").c_str(), sharing) == FILE_LOADED) {
            return status;
        }
    } catch (const std::exception&) {
    }
    book.clear();
    if (status == FILE_LOADED) {
        book.swap(placed);
    }
    return status;
}

bool WriteAddressFile(const AddressBook& book, TargetFileStatus& status, const char* path) {
    try {
        return SaveWholeFile(FormatAddressText(book), status, path);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace kivrel
