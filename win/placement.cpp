#include "win/placement.h"

namespace win {

Point CentreWithin(long width, long height, const Box& around, const Box& area) {
    long x = (around.left + around.right - width) / 2;
    long y = (around.top + around.bottom - height) / 2;
    x = x + width > area.right ? area.right - width : x;
    y = y + height > area.bottom ? area.bottom - height : y;
    x = x < area.left ? area.left : x;
    y = y < area.top ? area.top : y;
    return {x, y};
}

} // namespace win
