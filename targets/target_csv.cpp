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

// Where each column is: -1 for one the file has not.
struct Columns {
    int name = 0;
    int mac = 1;
    int address = -1;
    int destination = -1;
    int port = -1;
};

std::string Field(const CsvRow& row, int column) {
    return column >= 0 && static_cast<std::size_t>(column) < row.fields.size() ? row.fields[column]
                                                                               : std::string();
}

CsvImportError ReadRow(const CsvRow& row, const Columns& columns, const TextCodec& codec,
                       TargetEntry& entry, PcAddresses& kept) {
    const std::string name = Undefused(Field(row, columns.name));
    if (name.empty()) {
        return CSV_ERR_NAME_EMPTY;
    }
    if (!ParseMacAnyForm(entry.mac, Trimmed(Field(row, columns.mac)))) {
        return CSV_ERR_MAC;
    }
    // A NUL would cut the name at the next start, as the data file keeps it.
    if (name.find('\0') != std::string::npos || !codec.Utf8ToAnsi(name, entry.name)) {
        return CSV_ERR_CODE_PAGE;
    }
    kept.address = CleanAddressText(Undefused(Field(row, columns.address)));
    kept.destination = CleanAddressText(Undefused(Field(row, columns.destination)));
    if (!ParsePortField(Field(row, columns.port), kept.port)) {
        return CSV_ERR_PORT;
    }
    return CSV_OK;
}

} // namespace

std::string FormatTargetCsv(const TargetList& list, const TextCodec& codec,
                            const AddressBook& addresses) {
    const auto keptOf = [&addresses](const TargetEntry& entry) {
        const auto found = addresses.find(entry.mac);
        return found == addresses.end() ? PcAddresses() : found->second;
    };
    bool anyAddress = false;
    bool anyDestination = false;
    for (const TargetEntry& entry : list) {
        const PcAddresses kept = keptOf(entry);
        anyAddress = anyAddress || !kept.address.empty();
        anyDestination = anyDestination || !kept.destination.empty() || kept.port != 0;
    }
    std::string csv = std::string("\xEF\xBB\xBF") + "Name,MAC" + (anyAddress ? ",Address" : "") +
                      (anyDestination ? ",Destination,Port" : "") + "\r\n";
    for (const TargetEntry& entry : list) {
        csv += CsvField(Defused(codec.AnsiToUtf8(entry.name))) + ',' + entry.FormatMacText();
        const PcAddresses kept = keptOf(entry);
        if (anyAddress) {
            csv += ',' + CsvField(Defused(kept.address));
        }
        if (anyDestination) {
            csv += ',' + CsvField(Defused(kept.destination)) + ',' +
                   (kept.port != 0 ? std::to_string(kept.port) : std::string());
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
    Columns columns;
    if (first < rows.size()) {
        const CsvRow& header = rows[first];
        const int named = ColumnOf(header, {"name", "名前", "名称"});
        const int mac = ColumnOf(header, {"mac", "macaddress", "macアドレス"});
        if (named != -1 || mac != -1) {
            if (named == -1 || mac == -1) {
                result.error = CSV_ERR_COLUMNS;
                result.line = header.line;
                for (const std::string& heading : header.fields) {
                    result.headings += (result.headings.empty() ? "" : ", ") + heading;
                }
                return result;
            }
            ++first;
            columns.name = named;
            columns.mac = mac;
            columns.address = ColumnOf(header, {"address", "アドレス"});
            columns.destination = ColumnOf(header, {"destination", "送信先"});
            columns.port = ColumnOf(header, {"port", "ポート"});
        }
    }
    for (std::size_t i = first; i < rows.size(); ++i) {
        if (IsBlank(rows[i])) {
            continue;
        }
        TargetEntry entry;
        PcAddresses kept;
        result.error = ReadRow(rows[i], columns, codec, entry, kept);
        if (result.error != CSV_OK) {
            result.line = rows[i].line;
            result.entries.Clear();
            result.kept.clear();
            return result;
        }
        result.entries.Append(std::move(entry));
        result.kept.push_back(std::move(kept));
    }
    return result;
}

} // namespace kivrel
