// The target list as a CSV file, for spreadsheets and other tools: a header
// row, then one row per PC in list order.
#pragma once

#include "targets/address_file.h"
#include "targets/target_list.h"
#include "targets/text_codec.h"

#include <string>
#include <vector>

namespace kivrel {

// UTF-8 with a byte order mark and CRLF line ends, so that a spreadsheet
// reads the names right: "Name,MAC", then each name and its MAC text; with a
// column "Address" when any of the PCs has one, and "Destination" and "Port"
// when any has either. Cells a spreadsheet would run as formulas are defused.
std::string FormatTargetCsv(const TargetList& list, const TextCodec& codec,
                            const AddressBook& addresses = AddressBook());

enum CsvImportError {
    CSV_OK,
    CSV_ERR_QUOTE,   // a quoted field is never closed
    CSV_ERR_COLUMNS, // a header row that names no name or no MAC column
    CSV_ERR_NAME_EMPTY,
    CSV_ERR_MAC,
    CSV_ERR_CODE_PAGE, // the name holds a character the ANSI code page has not
    CSV_ERR_PORT,      // a port that is not 1 to 65535
};

struct CsvImport {
    CsvImportError error = CSV_OK;
    unsigned long line = 0; // of the first fault
    TargetList entries;     // every row, or none when there is a fault
    // What each row keeps beside its entry, in the same order; a part is
    // empty where the file has no such column.
    std::vector<PcAddresses> kept;
    std::string headings; // the header's cells, for CSV_ERR_COLUMNS
};

// Reads the text CsvText finds, its fields separated by a comma, a semicolon
// or a tab as its first line says. A first row that names its columns (Name,
// 名前, 名称; MAC, MAC Address, MACアドレス; and, if it has them, Address,
// アドレス; Destination, 送信先; Port, ポート; in any case and order) says where
// they are, and other columns are ignored; without one the name comes first,
// then the MAC, in any of the forms ParseMacAnyForm takes. Blank rows are
// skipped; a text defused on export comes back as it was. A port is empty,
// or 1 to 65535.
CsvImport ParseTargetCsv(const std::string& bytes, const TextCodec& codec);

} // namespace kivrel
