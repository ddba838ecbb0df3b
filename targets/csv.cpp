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

bool SplitCsv(const std::string& text, std::vector<CsvRow>& rows, unsigned long& openLine) {
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
        } else if (inQuotes || (c != ',' && c != '\r' && c != '\n')) {
            field += c;
            line += (c == '\n' || (c == '\r' && !crlf)) ? 1 : 0;
        } else {
            row.fields.push_back(field);
            field.clear();
            quoted = false;
            if (c != ',') {
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
