#include "targets/target_csv.h"

#include "targets/csv.h"
#include "targets/mac_text.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace kivrel {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr std::size_t kBomSize = 3;

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF.
bool IsUtf8(const std::string& bytes) {
    struct Lead {
        unsigned char from, to; // the lead bytes of this length
        unsigned char bits;     // the code point's bits in the lead byte
        unsigned long least;    // anything below is an overlong form
    };
    const Lead kLeads[] = {
        {0xC2, 0xDF, 0x1F, 0x80}, {0xE0, 0xEF, 0x0F, 0x800}, {0xF0, 0xF4, 0x07, 0x10000}};
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i++]);
        if (c < 0x80) {
            continue;
        }
        std::size_t more = 0;
        while (more < 3 && !(c >= kLeads[more].from && c <= kLeads[more].to)) {
            ++more;
        }
        if (more == 3 || bytes.size() - i < more + 1) {
            return false;
        }
        unsigned long code = c & kLeads[more].bits;
        for (std::size_t k = 0; k <= more; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i++]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        if (code < kLeads[more].least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
    }
    return true;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos
               ? std::string()
               : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A heading without case, blanks, hyphens or underscores: "MAC Address",
// "mac_address" and "MACAddress" are one.
std::string HeadingKey(const std::string& cell) {
    std::string key;
    for (const char c : cell) {
        if (c >= 'A' && c <= 'Z') {
            key += static_cast<char>(c - 'A' + 'a');
        } else if (c != ' ' && c != '\t' && c != '-' && c != '_') {
            key += c;
        }
    }
    return key;
}

// The column under one of these headings, or -1.
int ColumnOf(const CsvRow& row, std::initializer_list<const char*> headings) {
    for (std::size_t i = 0; i < row.fields.size(); ++i) {
        const std::string key = HeadingKey(row.fields[i]);
        for (const char* heading : headings) {
            if (key == heading) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

bool IsBlank(const CsvRow& row) {
    for (const std::string& field : row.fields) {
        if (!field.empty()) {
            return false;
        }
    }
    return true;
}

CsvImportError ReadRow(const CsvRow& row, int nameColumn, int macColumn, const TextCodec& codec,
                       TargetEntry& entry) {
    const std::size_t count = row.fields.size();
    const std::string name =
        static_cast<std::size_t>(nameColumn) < count ? row.fields[nameColumn] : "";
    const std::string mac =
        static_cast<std::size_t>(macColumn) < count ? row.fields[macColumn] : "";
    if (name.empty()) {
        return CSV_ERR_NAME_EMPTY;
    }
    if (!ParseMacAnyForm(entry.mac, Trimmed(mac))) {
        return CSV_ERR_MAC;
    }
    // A NUL would cut the name at the next start, as the data file keeps it.
    if (name.find('\0') != std::string::npos || !codec.Utf8ToAnsi(name, entry.name)) {
        return CSV_ERR_CODE_PAGE;
    }
    return CSV_OK;
}

} // namespace

std::string FormatTargetCsv(const TargetList& list, const TextCodec& codec,
                            const AddressBook& addresses) {
    const auto addressOf = [&addresses](const TargetEntry& entry) {
        const auto found = addresses.find(entry.mac);
        return found == addresses.end() ? std::string() : found->second.address;
    };
    bool anyAddress = false;
    for (const TargetEntry& entry : list) {
        anyAddress = anyAddress || !addressOf(entry).empty();
    }
    std::string csv = std::string(kBom) + (anyAddress ? "Name,MAC,Address\r\n" : "Name,MAC\r\n");
    for (const TargetEntry& entry : list) {
        csv += CsvField(codec.AnsiToUtf8(entry.name)) + ',' + entry.FormatMacText();
        if (anyAddress) {
            csv += ',' + CsvField(addressOf(entry));
        }
        csv += "\r\n";
    }
    return csv;
}

CsvImport ParseTargetCsv(const std::string& bytes, const TextCodec& codec) {
    std::string text;
    if (bytes.compare(0, kBomSize, kBom) == 0) {
        text = bytes.substr(kBomSize);
    } else {
        text = IsUtf8(bytes) ? bytes : codec.AnsiToUtf8(bytes);
    }
    CsvImport result;
    std::vector<CsvRow> rows;
    if (!SplitCsv(text, rows, result.line)) {
        result.error = CSV_ERR_QUOTE;
        return result;
    }
    // The first row that holds anything may name the columns.
    std::size_t first = 0;
    while (first < rows.size() && IsBlank(rows[first])) {
        ++first;
    }
    int nameColumn = 0;
    int macColumn = 1;
    if (first < rows.size()) {
        const int named = ColumnOf(rows[first], {"name", "名前", "名称"});
        const int mac = ColumnOf(rows[first], {"mac", "macaddress", "macアドレス"});
        if (named != -1 || mac != -1) {
            if (named == -1 || mac == -1) {
                result.error = CSV_ERR_COLUMNS;
                result.line = rows[first].line;
                return result;
            }
            ++first;
            nameColumn = named;
            macColumn = mac;
        }
    }
    for (std::size_t i = first; i < rows.size(); ++i) {
        if (IsBlank(rows[i])) {
            continue;
        }
        TargetEntry entry;
        result.error = ReadRow(rows[i], nameColumn, macColumn, codec, entry);
        if (result.error != CSV_OK) {
            result.line = rows[i].line;
            result.entries.Clear();
            return result;
        }
        result.entries.Append(std::move(entry));
    }
    return result;
}

} // namespace kivrel
