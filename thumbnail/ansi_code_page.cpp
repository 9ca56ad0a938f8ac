#include "ansi_code_page.h"

namespace {
constexpr unsigned long kPlatformNt = 2;  // VER_PLATFORM_WIN32_NT
}

bool HasThreadCodePage(unsigned long platformId, unsigned long majorVersion) {
  return platformId == kPlatformNt && majorVersion >= 5;
}

unsigned CodePageFromLocaleText(const char* text, unsigned systemCodePage) {
  unsigned codePage = 0;
  for (int i = 0; i < 6 && text[i] >= '0' && text[i] <= '9'; ++i) codePage = codePage * 10 + unsigned(text[i] - '0');
  return codePage != 0 ? codePage : systemCodePage;
}
