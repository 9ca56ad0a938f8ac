#include <windows.h>

#include "viewer_windows.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  TheInstance = instance;
  return 0;
}
