// kelvra-open.exe as a user runs it: errors on standard error with a
// non-zero exit, the viewer started when none runs, files shown.
#include <windows.h>

#include <gtest/gtest.h>

#include "window_test_support.h"

using namespace fitstest;
using namespace viewertest;

namespace {

std::string OpenTool() { return BuildFolder() + "\\viewer\\kelvra-open.exe"; }

struct ToolRun {
  DWORD exitCode = 99;
  std::string errors;
};

// Runs a program with the given command line and collects its standard error.
ToolRun RunTool(const std::string& program, const std::string& arguments) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {sizeof startup};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdError = writeEnd;
  startup.hStdOutput = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::string commandLine = "\"" + program + "\" " + arguments;
  PROCESS_INFORMATION process = {};
  ToolRun run;
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return run;
  }
  CloseHandle(writeEnd);
  WaitForSingleObject(process.hProcess, 30000);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  char buffer[512];
  DWORD available = 0, got = 0;
  while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
         ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    run.errors.append(buffer, got);
  }
  CloseHandle(readEnd);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return run;
}

HWND FindViewer() {
  HWND found = FindWindowA("lumora_app_class", nullptr);
  return found;
}

void CloseViewer() {
  HWND viewer = FindViewer();
  if (viewer == nullptr) return;
  DWORD pid = 0;
  GetWindowThreadProcessId(viewer, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  if (process != nullptr) {
    WaitForSingleObject(process, 20000);
    CloseHandle(process);
  }
}

TEST(KelvraOpen, RefusesWhatItCannotSend) {
  std::string longPath = "C:\\";
  for (int i = 0; i < 20; ++i) longPath += "folder-name\\";
  struct Row { const char* name; std::string arguments; DWORD exitCode; const char* message; } rows[] = {
    {"no argument", "", 2, "usage: kelvra-open FILE"},
    {"missing file", "C:\\no\\such\\file.fits", 1, "no such file"},
    {"a folder", "C:\\windows", 1, "no such file"},
    {"255 characters", longPath + "image1.fits1", 1, "path too long"},
    {"longer than any path", longPath + longPath.substr(3) + "image.fits", 1, "path too long"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ToolRun run = RunTool(OpenTool(), row.arguments);
    EXPECT_EQ(run.exitCode, row.exitCode);
    EXPECT_NE(run.errors.find(row.message), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << "one line: " << run.errors;
  }
  EXPECT_EQ(FindViewer(), nullptr) << "nothing was started";
}

TEST(KelvraOpen, SaysSoWhenTheViewerCannotBeStarted) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string lonely = std::string(folder) + "kelvra-open-alone.exe";
  ASSERT_TRUE(CopyFileA(OpenTool().c_str(), lonely.c_str(), FALSE));
  std::string image = TempFile("alone.fits", File(ImageCards(8, 1, 1), Samples8({1})));
  ToolRun run = RunTool(lonely, "\"" + image + "\"");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.errors.find("Kelvra.exe could not be started"), std::string::npos) << run.errors;
  DeleteFileA(lonely.c_str());
}

TEST(KelvraOpen, StartsTheViewerAndShowsEachFile) {
  DeletePlacement();
  CloseViewer();
  std::string first = TempFile("open one.fits", File(ImageCards(16, 40, 30), Samples16(std::vector<int>(1200, 9))));
  std::string second = TempFile("open two.fits", File(ImageCards(8, 20, 10), Samples8(std::vector<int>(200, 9))));

  ToolRun run = RunTool(OpenTool(), "\"" + first + "\"");
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  HWND viewer = FindViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return WindowTitle(viewer) == "Kelvra - open one.fits - 40 X 30 : 16 BPP"; }))
      << WindowTitle(viewer);

  run = RunTool(OpenTool(), "\"" + second + "\"");
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  EXPECT_EQ(FindViewer(), viewer) << "the running viewer took it";
  EXPECT_TRUE(WaitUntil([&] { return WindowTitle(viewer) == "Kelvra - open two.fits - 20 X 10 : 8 BPP"; }))
      << WindowTitle(viewer);
  CloseViewer();
}

}  // namespace
