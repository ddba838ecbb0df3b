#include "app/command_line.h"

namespace kivrel {

std::string CommandLineText(const char* commandLine, LeadBytePredicate isLeadByte) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            if (isLeadByte(*p) && p[1] != '\0') {
                ++p;
            }
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (*p > ' ') {
            ++p;
        }
    }
    while (*p != '\0' && *p <= ' ') {
        ++p;
    }
    return reinterpret_cast<const char*>(p);
}

std::string JoinArguments(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

} // namespace kivrel
