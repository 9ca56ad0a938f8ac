// The pixel read-out: which image pixel lies under the pointer, and its text.
#pragma once
#include <cstddef>
#include <cstdint>

// One axis of the main window: pointer coordinate (unsigned 16-bit, so
// positions left of or above the client are large), client size, the
// scroll bar's maximum and position, the zoomed size and the zoom.
struct ReadoutAxis {
  int32_t pointer, client, barMax, barPos, zoomed, zoomRatio, bitmapSize;
};

// The image column (or row) under the pointer, or -1 outside the image.
int32_t PixelUnderPointer(const ReadoutAxis& axis);

// Read-out text. `format` is one of the four format strings; colour takes
// three values, a single plane one. Decimal formats take the values as
// they are; hexadecimal ones their integer part, held to the 32-bit range.
// The text is never cut inside a value: the buffer must hold 160 characters.
constexpr size_t kReadoutLength = 160;
void FormatReadout(const char* format, bool hex, bool colour, int32_t x, int32_t y, const double* values,
                   char* text);
// Text for sample sizes without a decoder (64 bits): the position alone.
void FormatPositionOnly(int32_t x, int32_t y, char* text);
