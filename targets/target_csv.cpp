#include "targets/target_csv.h"

#include "targets/csv.h"
#include "targets/csv_text.h"
#include "targets/mac_text.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace kivrel {
namespace {

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
        static_cast<std::size_t>(nameColumn) < count ? Undefused(row.fields[nameColumn]) : "";
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
    std::string csv =
        std::string("\xEF\xBB\xBF") + (anyAddress ? "Name,MAC,Address\r\n" : "Name,MAC\r\n");
    for (const TargetEntry& entry : list) {
        csv += CsvField(Defused(codec.AnsiToUtf8(entry.name))) + ',' + entry.FormatMacText();
        if (anyAddress) {
            csv += ',' + CsvField(Defused(addressOf(entry)));
        }
        csv += "\r\n";
    }
    return csv;
}

CsvImport ParseTargetCsv(const std::string& bytes, const TextCodec& codec) {
    const std::string text = CsvText(bytes, codec);
    CsvImport result;
    std::vector<CsvRow> rows;
    if (!SplitCsv(text, CsvSeparator(text), rows, result.line)) {
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
                for (const std::string& heading : rows[first].fields) {
                    result.headings += (result.headings.empty() ? "" : ", ") + heading;
                }
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
