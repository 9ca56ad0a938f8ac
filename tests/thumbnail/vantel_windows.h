// Windows tests of the thumbnail extension: where the module and the test
// files are, child processes (regsvr32, kelvra-thumb), the registry as the
// shell reads it, and the pixels of a bitmap.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace thumbtest {

// The folder of the test program, with a trailing backslash.
inline std::string ExeFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

inline std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return std::string(full, length);
}

// The tree's vantel.dll and kelvra-thumb.exe, relative to tests/thumbnail.
inline std::string VantelPath() { return FullPath(ExeFolder() + "..\\..\\thumbnail\\vantel.dll"); }
inline std::string KelvraThumbPath() { return FullPath(ExeFolder() + "..\\..\\tools\\kelvra-thumb\\kelvra-thumb.exe"); }
// Files written by astropy (a CTest fixture).
inline std::string ReferencePath(const std::string& name) { return ExeFolder() + "reference\\" + name; }

inline std::string TempPath(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

inline std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], int(wide.size()));
  wide.resize(n > 0 ? n - 1 : 0);
  return wide;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

struct ProcessResult {
  DWORD exitCode = DWORD(-1);
  std::string output;  // standard output and standard error together
};

// Runs a command line to its end, collecting what it writes.
inline ProcessResult RunProcess(const std::string& commandLine) {
  ProcessResult result;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readPipe, writePipe;
  if (!CreatePipe(&readPipe, &writePipe, &inherit, 0)) return result;
  SetHandleInformation(readPipe, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = writePipe;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writePipe);
  if (started) {
    char buffer[4096];
    DWORD read;
    while (ReadFile(readPipe, buffer, sizeof buffer, &read, nullptr) && read > 0) result.output.append(buffer, read);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readPipe);
  return result;
}

inline DWORD Regsvr32(const std::string& options) {
  return RunProcess("regsvr32.exe /s " + options + "\"" + VantelPath() + "\"").exitCode;
}

// Registers vantel.dll with regsvr32 for the lifetime of the object and
// unregisters it after, so that later tests find the registry clean.
class Registration {
 public:
  Registration() : registered_(Regsvr32("") == 0) {}
  ~Registration() { Regsvr32("/u "); }
  bool Registered() const { return registered_; }

 private:
  bool registered_;
};

inline bool KeyExists(const std::string& key) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// A string value below HKEY_CLASSES_ROOT (valueName null: the default
// value); "<missing>" when there is none.
inline std::string RegistryString(const std::string& key, const char* valueName) {
  char data[1024];
  DWORD size = sizeof data, type = 0;
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "<missing>";
  LSTATUS status = RegQueryValueExA(handle, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return "<missing>";
  if (type != REG_SZ) return "<not a string>";
  return std::string(data, size > 0 ? size - 1 : 0);
}

// A bitmap's pixels as 0x00RRGGBB, top row first.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

inline Picture ReadBitmap(HBITMAP bitmap) {
  Picture picture;
  BITMAP description;
  if (GetObjectA(bitmap, sizeof description, &description) == 0) return picture;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = description.bmWidth;
  info.bmiHeader.biHeight = -description.bmHeight;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(size_t(description.bmWidth) * size_t(description.bmHeight));
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, bitmap, 0, description.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != description.bmHeight) return picture;
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  picture.width = description.bmWidth;
  picture.height = description.bmHeight;
  picture.pixels = std::move(pixels);
  return picture;
}

constexpr uint32_t kWhite = 0xFFFFFF;

inline std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%06X", value);
  return text;
}

}  // namespace thumbtest
