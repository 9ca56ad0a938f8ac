#include "scroll_bars.h"

#include "view_rules.h"

void SetScrollRangeAndPage(HWND window, int bar, int maximum, int page) {
  SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE};
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = static_cast<UINT>(page);
  SetScrollInfo(window, bar, &info, TRUE);
}

void ScrollBy(HWND window, int bar, int code, int thumb, int lineStep) {
  SCROLLINFO info = {sizeof info, SIF_ALL};
  GetScrollInfo(window, bar, &info);
  ScrollBarState state{info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos};
  int next = NextScrollPosition(state, code, thumb, lineStep);
  if (next == state.pos) return;
  SCROLLINFO position = {sizeof position, SIF_POS};
  position.nPos = next;
  SetScrollInfo(window, bar, &position, TRUE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}
