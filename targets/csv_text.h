// Which text a CSV file's bytes hold. Spreadsheets write UTF-8 with a byte
// order mark, UTF-16 with one ("Unicode text"), or the ANSI code page with
// none; other tools UTF-8 without one.
#pragma once

#include "targets/text_codec.h"

#include <string>

namespace kivrel {

// The file's text in UTF-8, its encoding decided once for the whole file: a
// byte order mark (UTF-8, UTF-16 LE or BE); else UTF-8 when every byte is
// and the code page holds every character of it; else the ANSI code page. A
// short name in the code page whose bytes happen to be UTF-8 (ﾃｽ is C3 BD)
// is thus read as the code page's, since ý has no place in it.
std::string CsvText(const std::string& bytes, const TextCodec& codec);

} // namespace kivrel
