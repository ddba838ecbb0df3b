// Comma-separated values as RFC 4180 writes them, and as spreadsheets and
// other tools write them more loosely: the text is bytes, UTF-8 or the ANSI
// code page, in which a comma, a quote or a line break never occurs inside a
// character.
#pragma once

#include <string>
#include <vector>

namespace kivrel {

// The field as it must be written: quoted, its quotes doubled, when it holds
// a comma, a quote or a line break.
std::string CsvField(const std::string& field);

struct CsvRow {
    unsigned long line = 0; // where the row starts, from 1
    std::vector<std::string> fields;
};

// Splits the text into rows at CRLF, LF or CR outside quotes. A quote opens
// a quoted field only at its start; elsewhere it is a character. False when
// the text ends inside a quoted field, openLine then telling where it opened.
bool SplitCsv(const std::string& text, std::vector<CsvRow>& rows, unsigned long& openLine);

} // namespace kivrel
