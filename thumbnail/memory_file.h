// The thumbnail decoder reads the whole file into one block and then takes
// header cards and sample bytes from memory, front to back; there is no seek.
#pragma once
#include <cstdint>

struct MemoryFile {
  const uint8_t* base;    // first byte of the file copy
  const uint8_t* cursor;  // next byte to be read
  int32_t size;           // bytes in the copy
  int32_t remaining;      // bytes from the cursor to the end
};

// A reader over `size` bytes at `bytes`, positioned at the first.
MemoryFile MemoryFileOver(const uint8_t* bytes, int32_t size);

// Copies up to n bytes to `out` and returns how many were copied (0 once
// the data are exhausted).
int32_t ReadMemoryFile(MemoryFile* file, void* out, int32_t n);

// The next byte as 0-255, or -1 once the data are exhausted.
int TakeByte(MemoryFile* file);
