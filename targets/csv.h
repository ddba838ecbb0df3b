// Comma-separated values as RFC 4180 writes them, and as spreadsheets and
// other tools write them more loosely: the text is bytes, UTF-8 or the ANSI
// code page, in which a separator, a quote or a line break never occurs
// inside a character.
#pragma once

#include <string>
#include <vector>

namespace kivrel {

// The field as it must be written: quoted, its quotes doubled, when it holds
// a comma, a quote or a line break.
std::string CsvField(const std::string& field);

// A spreadsheet runs a cell that begins with =, +, -, @, a tab or a CR as a
// formula (=HYPERLINK(...) when the file is opened): such a cell, and one
// that already looks defused, gets one more leading apostrophe, which
// Undefused takes off again, so that every text comes back as it went.
std::string Defused(const std::string& cell);
std::string Undefused(const std::string& cell);

// The separator a spreadsheet of another locale may write instead of the
// comma (a semicolon, or a tab for Unicode text): the one of the three that
// the first line holds most often outside quotes, the comma on a tie.
char CsvSeparator(const std::string& text);

struct CsvRow {
    unsigned long line = 0; // where the row starts, from 1
    std::vector<std::string> fields;
};

// Splits the text into rows at CRLF, LF or CR outside quotes, and the rows
// into fields at the separator. A quote opens a quoted field only at its
// start; elsewhere it is a character. False when the text ends inside a
// quoted field, openLine then telling where it opened.
bool SplitCsv(const std::string& text, char separator, std::vector<CsvRow>& rows,
              unsigned long& openLine);

} // namespace kivrel
