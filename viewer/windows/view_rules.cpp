#include "view_rules.h"

int32_t ZoomedSize(int32_t bitmapSize, int zoomRatio) {
  int64_t size = int64_t{bitmapSize} * zoomRatio / 100;
  return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
}

int NextScrollPosition(const ScrollBarState& bar, int code, int thumb, int lineStep) {
  int pos = bar.pos;
  switch (code) {
    case kLineUp: pos -= lineStep; break;
    case kLineDown: pos += lineStep; break;
    case kPageUp: pos -= bar.page; break;
    case kPageDown: pos += bar.page; break;
    case kThumbPosition:
    case kThumbTrack: pos = thumb; break;
    default: break;
  }
  if (pos < bar.min) pos = bar.min;
  if (pos > bar.max) pos = bar.max;
  return pos;
}

const ZoomMenuItem kZoomMenu[kZoomMenuItems] = {
  {"", kHexMenuId}, {nullptr, 0},   {"&Fit to Window", kFitMenuId},
  {"5%", 5},        {"&10%", 10},   {"&20%", 20},
  {"&30%", 30},     {"&40%", 40},   {"&50%", 50},
  {"&60%", 60},     {"&70%", 70},   {"&80%", 80},
  {"&90%", 90},     {"10&0%", 100}, {"200%", 200},
  {"300%", 300},    {"400%", 400},  {"500%", 500},
};

ZoomItemState ZoomMenuItemState(int id, int zoomRatio, int hexToolTip) {
  if (id == kHexMenuId) return {zoomRatio <= 99, hexToolTip != 0};
  // The fit item shares its id with the starting ratio 3, so it is checked
  // until the first image has been fitted.
  return {false, zoomRatio == id};
}
