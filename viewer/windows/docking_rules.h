// Where the header window docks: as wide as the main window, below or above
// it, at its own height while that fits, else cut to the larger room.
#pragma once
#include <cstdint>

struct DockPlacement {
  bool hide;        // the main window spans the whole screen height
  int32_t top, bottom;
  int isBelow;      // the side it went to, preferred from then on
};

DockPlacement DockHeader(int32_t mainTop, int32_t mainBottom, int32_t screenHeight, int32_t headerHeight,
                         int isBelow);
