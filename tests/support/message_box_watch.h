// Windows tests: watches for a message box with a given caption on a thread
// of its own, records its text and closes it, so that code which shows a
// modal box can be tested without a user.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace wintest {

class MessageBoxWatch {
 public:
  explicit MessageBoxWatch(std::string caption, DWORD timeoutMs = 10000)
      : caption_(std::move(caption)), thread_([this, timeoutMs] { Watch(timeoutMs); }) {}
  ~MessageBoxWatch() {
    stop_ = true;
    thread_.join();
  }
  // Waits for the watcher to finish; true when a box was seen and closed.
  bool Closed() {
    while (!done_) Sleep(10);
    return seen_;
  }
  const std::string& Text() const { return text_; }

 private:
  void Watch(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!stop_ && GetTickCount() - start < timeoutMs) {
      HWND box = FindWindowA("#32770", caption_.c_str());
      if (box != nullptr) {
        char text[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's static text
        text_ = text;
        seen_ = true;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        break;
      }
      Sleep(20);
    }
    done_ = true;
  }

  std::string caption_;
  std::string text_;
  std::atomic<bool> stop_{false}, done_{false}, seen_{false};
  std::thread thread_;
};

}  // namespace wintest
