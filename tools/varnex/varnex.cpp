// Stand-in for Varnex.dll: records each ImageView call so that tests and the
// demo can see that the thumbnail extension reported its decode.
#define VARNEX_IMPLEMENTATION
#include "varnex.h"

#include <cstdio>

extern "C" int32_t WINAPI ImageView(int32_t code, const char* path, int32_t maximum, int32_t minimum) {
  char logPath[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("VARNEX_LOG", logPath, sizeof logPath);
  if (length == 0 || length >= sizeof logPath) return 1;
  HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 1;
  char line[1024];
  const int n = snprintf(line, sizeof line, "%ld\t%s\t%ld\t%ld\n", long(code), path != nullptr ? path : "",
                         long(maximum), long(minimum));
  if (n > 0) {
    DWORD written;
    WriteFile(log, line, static_cast<DWORD>(n < int(sizeof line) ? n : int(sizeof line) - 1), &written, nullptr);
  }
  CloseHandle(log);
  return 1;
}
