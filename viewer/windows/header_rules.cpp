#include "header_rules.h"

#include <cstring>

int32_t HeaderFirstColumn(int32_t position, int32_t cxChar, int32_t charsClient) {
  int32_t c = cxChar > 0 ? position / cxChar : 0;
  if (charsClient + c >= 80) {
    c = 79 - charsClient;
    if (c < 0) c = 0;
  }
  return c;
}

HeaderRows HeaderVisibleRows(int32_t position, int32_t cyChar, int32_t linesClient, uint32_t records) {
  int32_t n = static_cast<int32_t>(records);
  int32_t first = cyChar > 0 ? position / cyChar : 0;
  int32_t end = first + linesClient;
  if (end >= n) {
    end = n;
    first = n - linesClient;
    if (first < 0) first = 0;
  }
  return {first, end};
}

void HeaderLine(const char* record, int32_t column, char* line) {
  memset(line, ' ', 80);
  memcpy(line, record + column, 80 - column);
  line[79] = '\0';
}
