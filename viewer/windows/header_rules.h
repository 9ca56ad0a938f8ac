// Which part of the header text the header window shows: whole columns and
// whole lines, never scrolled past the last record.
#pragma once
#include <cstdint>

struct HeaderRows {
  int32_t first, end;  // records first .. end - 1
};

// First text column for a horizontal position in pixels.
int32_t HeaderFirstColumn(int32_t position, int32_t cxChar, int32_t charsClient);
// Records to draw for a vertical position in pixels.
HeaderRows HeaderVisibleRows(int32_t position, int32_t cyChar, int32_t linesClient, uint32_t records);
// One line: 80 - column characters of the record from `column`, blank
// padded, terminated at index 79 (so at most 79 characters show).
void HeaderLine(const char* record, int32_t column, char* line);
