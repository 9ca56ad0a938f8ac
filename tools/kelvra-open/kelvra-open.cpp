// kelvra-open FILE: sends one FITS file to the running viewer as a load
// request, starting Kelvra.exe from this program's folder when no viewer
// answers. Exit code 0 when the viewer took the file.
//
// A windowed program, so that Explorer's "Open" flashes no console. Errors
// are one line on the standard error the caller gave, else on the console
// it was started from, else in a message box.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const DWORD kLoadRequestMagic = 0xFEB11966;
const size_t kPayloadLength = 271;   // 16-byte head record + 255-byte path
const size_t kNameOffset = 16;
const size_t kNameLength = 255;
const DWORD kStartWaitMs = 10000;    // for a viewer that is starting up
const DWORD kLoadTimeoutMs = 600000; // a load waits while the viewer shows a box

UINT HeaderMessage() {
  static UINT message = RegisterWindowMessageA("LOOKING_FOR_HEADER_APP_{FD4EA0C0-ECFC-11d5-B625-ED551C514423}");
  return message;
}

BOOL CALLBACK AskWindow(HWND window, LPARAM found) {
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutA(window, HeaderMessage(), 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 200, &answer) &&
      answer == HeaderMessage()) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindHeaderWindow() {
  HWND found = nullptr;
  EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool StartViewer() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  char* slash = strrchr(path, '\\');
  if (slash == nullptr || static_cast<size_t>(slash + 1 - path) + sizeof "Kelvra.exe" > MAX_PATH) return false;
  strcpy(slash + 1, "Kelvra.exe");
  // The viewer outlives this program: it gets none of our standard handles,
  // which may be pipes that a caller reads to their end.
  STARTUPINFOA startup = {sizeof startup};
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void Report(const char* line) {
  DWORD written = 0;
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error != nullptr && error != INVALID_HANDLE_VALUE && WriteFile(error, line, strlen(line), &written, nullptr)) {
    return;
  }
  // AttachConsole exists from Windows XP on.
  using AttachConsoleCall = BOOL(WINAPI*)(DWORD);
  auto attach = reinterpret_cast<AttachConsoleCall>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "AttachConsole")));
  if (attach != nullptr && attach(ATTACH_PARENT_PROCESS)) {
    HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
      WriteFile(console, line, strlen(line), &written, nullptr);
      CloseHandle(console);
      return;
    }
  }
  MessageBoxA(nullptr, line, "kelvra-open", MB_OK | MB_ICONEXCLAMATION);
}

int Fail(const char* what, const char* detail) {
  char line[MAX_PATH * 3];
  snprintf(line, sizeof line, "kelvra-open: %s: %s\n", what, detail);
  Report(line);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    Report("usage: kelvra-open FILE\n");
    return 2;
  }
  char path[MAX_PATH * 2];
  DWORD length = GetFullPathNameA(argv[1], sizeof path, path, nullptr);
  const char* tooLong = "path too long for the viewer (at most 254 characters)";
  if (length == 0 || length >= sizeof path) {
    return Fail(argv[1], strlen(argv[1]) >= kNameLength ? tooLong : "cannot make the path absolute");
  }
  if (length >= kNameLength) return Fail(path, tooLong);
  WIN32_FILE_ATTRIBUTE_DATA file;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &file) ||
      (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Fail(path, "no such file");
  }

  HWND viewer = FindHeaderWindow();
  if (viewer == nullptr) {
    if (!StartViewer()) return Fail(path, "Kelvra.exe could not be started");
    for (DWORD waited = 0; viewer == nullptr && waited < kStartWaitMs; waited += 100) {
      Sleep(100);
      viewer = FindHeaderWindow();
    }
    if (viewer == nullptr) return Fail(path, "the viewer did not appear");
  }

  char payload[kPayloadLength] = {};
  memcpy(payload, &file.nFileSizeLow, sizeof file.nFileSizeLow);
  memcpy(payload + kNameOffset, path, length + 1);
  COPYDATASTRUCT request = {kLoadRequestMagic, kPayloadLength, payload};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_ABORTIFHUNG,
                           kLoadTimeoutMs, &answer)) {
    return Fail(path, "the viewer did not answer");
  }
  if (answer != 1) return Fail(path, "the viewer refused the request");
  return 0;
}
