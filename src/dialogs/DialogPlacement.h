#pragma once

// Where a window opens over the window it belongs to. Each function works on
// one axis: call it once with lefts and widths, once with tops and heights.
// The centring division truncates toward zero, as it always has, so an odd
// difference leaves the extra pixel on the same side every time.
namespace DialogPlacement {

// Centred over the owner, pulled back inside the work area (whose far edge is
// `workAreaExtent`) and never at a negative position.
int CentreInsideWorkArea(int ownerStart, int ownerExtent, int extent, int workAreaExtent);

// Centred over the owner and never at a negative position; nothing keeps it
// from running over the far edge of the screen.
int CentreNotNegative(int ownerStart, int ownerExtent, int extent);

} // namespace DialogPlacement
