// The user's text size (Windows' "Make text bigger"). It grows the system's
// fonts, the message font among them, but not a font made at a fixed size:
// such a size follows it by the message font's height against its default.
#pragma once

namespace win {

// The message font's default: 9 points, 12 pixels at 96 DPI.
constexpr int kDefaultMessageFontPx = 12;

// px grown as the message font (its LOGFONT height at fontDpi) grew, within
// the 100 to 225 % that the setting offers: a smaller or unknown message font
// leaves px as it is.
int ScaleByTextSize(int px, long messageFontHeight, unsigned fontDpi);

} // namespace win
