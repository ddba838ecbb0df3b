#include "win/text_size.h"

namespace win {

int ScaleByTextSize(int px, long messageFontHeight, unsigned fontDpi) {
    // A negative LOGFONT height is the characters' own, a positive one the cell's.
    const long long font = messageFontHeight < 0 ? -messageFontHeight : messageFontHeight;
    const long long standard = (kDefaultMessageFontPx * static_cast<long long>(fontDpi) + 48) / 96;
    if (standard <= 0 || font <= standard) {
        return px;
    }
    const long long most = (px * 9LL + 2) / 4;
    const long long grown = (px * font + standard / 2) / standard;
    return static_cast<int>(grown < most ? grown : most);
}

} // namespace win
