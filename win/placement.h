// Where a dialog goes over the window it belongs to, decided without windows.
#pragma once

namespace win {

struct Box {
    long left, top, right, bottom;
};

struct Point {
    long x, y;
};

// The top-left corner of a window of that size centred over around, then
// moved wholly into area, the work area of the monitor that shows its owner
// (its left and top edges win when it is larger).
Point CentreWithin(long width, long height, const Box& around, const Box& area);

} // namespace win
