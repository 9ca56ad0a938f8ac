#include "memory_file.h"

#include <cstring>

MemoryFile MemoryFileOver(const uint8_t* bytes, int32_t size) {
  return MemoryFile{bytes, bytes, size, size};
}

int32_t ReadMemoryFile(MemoryFile* file, void* out, int32_t n) {
  int32_t count = n < file->remaining ? n : file->remaining;
  if (count <= 0) return 0;
  memcpy(out, file->cursor, static_cast<size_t>(count));
  file->cursor += count;
  file->remaining -= count;
  return count;
}

int TakeByte(MemoryFile* file) {
  if (file->remaining <= 0) return -1;
  --file->remaining;
  return *file->cursor++;
}
