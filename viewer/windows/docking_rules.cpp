#include "docking_rules.h"

DockPlacement DockHeader(int32_t mainTop, int32_t mainBottom, int32_t screenHeight, int32_t h, int isBelow) {
  const int32_t below = screenHeight - mainBottom;
  const int32_t above = mainTop;
  if (above <= 0 && below <= 0) return {true, 0, 0, isBelow};
  const DockPlacement fullBelow{false, mainBottom, mainBottom + h, 1};
  const DockPlacement fullAbove{false, mainTop - h, mainTop, 0};
  const DockPlacement cutBelow{false, mainBottom, screenHeight, 1};
  const DockPlacement cutAbove{false, 0, mainTop, 0};
  if (isBelow) {
    if (h <= below) return fullBelow;
    if (above >= h) return fullAbove;
    return below > above ? cutBelow : cutAbove;
  }
  if (above >= h) return fullAbove;
  if (below >= h) return fullBelow;
  return above >= below ? cutAbove : cutBelow;
}
