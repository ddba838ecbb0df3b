#include "win/text_size.h"

namespace win {
namespace {

// Sizes stated at 96 DPI, the message font's default among them.
constexpr long long kBaseDpi = 96;

} // namespace

int ScaleByTextSize(int px, long messageFontHeight, unsigned fontDpi) {
    // A negative LOGFONT height is the characters' own, a positive one the cell's.
    const long long font = messageFontHeight < 0 ? -messageFontHeight : messageFontHeight;
    const long long standard = (kDefaultMessageFontPx * fontDpi + kBaseDpi / 2) / kBaseDpi;
    if (standard <= 0 || font <= standard) {
        return px;
    }
    const long long most = (px * 9LL + 2) / 4; // 225 %, the setting's largest
    const long long grown = (px * font + standard / 2) / standard;
    return static_cast<int>(grown < most ? grown : most);
}

} // namespace win
