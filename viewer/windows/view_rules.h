// Arithmetic of the zoomed view: sizes, centring, scroll steps, the zoom
// menu's items and states. Pixel counts are zoomed (screen) pixels.
#pragma once
#include <cstdint>

// Bitmap size times ratio / 100, truncated; kept within 32 bits.
int32_t ZoomedSize(int32_t bitmapSize, int zoomRatio);

// Where a zoomed image of `size` starts in a client of `client` pixels:
// centred when it fits (may be negative when it does not).
inline int32_t CentredOrigin(int32_t client, int32_t size) { return client / 2 - size / 2; }

// One line of scrolling: one image pixel above 100 %, else one screen pixel.
inline int ScrollLineStep(int zoomRatio) { return zoomRatio > 100 ? zoomRatio / 100 : 1; }

// Scroll-bar request codes as the platform numbers them.
enum ScrollCode { kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kThumbPosition = 4, kThumbTrack = 5 };

struct ScrollBarState {
  int min, max, page, pos;
};

// The position a scroll request asks for, clamped to min..max.
int NextScrollPosition(const ScrollBarState& bar, int code, int thumb, int lineStep);

// Whole notches of a wheel delta (120 a notch), the remainder dropped.
inline int WheelNotches(int delta) { return delta / 120; }

// The zoom pop-up menu, top to bottom.
struct ZoomMenuItem {
  const char* text;  // nullptr: separator; the first item's text is string 11
  int id;
};
constexpr int kHexMenuId = 2;
constexpr int kFitMenuId = 3;
constexpr int kZoomMenuItems = 18;
extern const ZoomMenuItem kZoomMenu[kZoomMenuItems];

struct ZoomItemState {
  bool greyed;
  bool checked;
};
ZoomItemState ZoomMenuItemState(int id, int zoomRatio, int hexToolTip);
