// The code page the extractor converts file names with: the calling
// thread's ANSI code page. Systems before Windows 2000 have no CP_THREAD_ACP
// and name it in the thread locale instead.
#pragma once

// True when the system understands CP_THREAD_ACP (Windows NT 5 and later).
bool HasThreadCodePage(unsigned long platformId, unsigned long majorVersion);

// The code page named by the thread locale's default-ANSI-code-page text
// (up to 6 decimal digits), or the system's when it names none or 0.
unsigned CodePageFromLocaleText(const char* text, unsigned systemCodePage);
