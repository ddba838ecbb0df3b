#include "targets/csv.h"

namespace kivrel {

std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

namespace {

bool Triggers(const std::string& cell, std::size_t at) {
    return at < cell.size() && std::string("=+-@\t\r").find(cell[at]) != std::string::npos;
}

// Whether the cell is apostrophes, at least `least` of them, then a trigger.
bool DefusedForm(const std::string& cell, std::size_t least) {
    const std::size_t at = cell.find_first_not_of('\'');
    return at != std::string::npos && at >= least && Triggers(cell, at);
}

} // namespace

std::string Defused(const std::string& cell) {
    return DefusedForm(cell, 0) ? '\'' + cell : cell;
}

std::string Undefused(const std::string& cell) {
    return DefusedForm(cell, 1) ? cell.substr(1) : cell;
}

char CsvSeparator(const std::string& text) {
    std::size_t counts[3] = {};
    const char kSeparators[] = ",;\t";
    bool inQuotes = false;
    // The first line that holds anything: blank lines may come before it.
    std::size_t i = text.find_first_not_of("\r\n");
    for (; i < text.size() && (inQuotes || (text[i] != '\r' && text[i] != '\n')); ++i) {
        inQuotes = text[i] == '"' ? !inQuotes : inQuotes;
        for (int k = 0; k < 3; ++k) {
            counts[k] += !inQuotes && text[i] == kSeparators[k] ? 1 : 0;
        }
    }
    int best = 0;
    for (int k = 1; k < 3; ++k) {
        best = counts[k] > counts[best] ? k : best;
    }
    return kSeparators[best];
}

bool SplitCsv(const std::string& text, char separator, std::vector<CsvRow>& rows,
              unsigned long& openLine) {
    CsvRow row;
    row.line = 1;
    std::string field;
    bool quoted = false;   // the field began with a quote
    bool inQuotes = false; // and it has not closed yet
    unsigned long line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (inQuotes && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            field += c;
            ++i;
        } else if (c == '"' && (inQuotes || (!quoted && field.empty()))) {
            inQuotes = !inQuotes;
            quoted = true;
            openLine = line;
        } else if (inQuotes || (c != separator && c != '\r' && c != '\n')) {
            field += c;
            line += (c == '\n' || (c == '\r' && !crlf)) ? 1 : 0;
        } else {
            row.fields.push_back(field);
            field.clear();
            quoted = false;
            if (c != separator) {
                i += crlf ? 1 : 0;
                rows.push_back(row);
                row.fields.clear();
                row.line = ++line;
            }
        }
    }
    if (inQuotes) {
        return false;
    }
    if (quoted || !field.empty() || !row.fields.empty()) {
        row.fields.push_back(field);
        rows.push_back(row);
    }
    return true;
}

} // namespace kivrel
