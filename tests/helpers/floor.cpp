// floor.exe: the least a paste can cost, for the benchmarks. A bare window
// with one button; a click on it does what a paste needs and nothing else:
// SetForegroundWindow on the target, CF_TEXT on the clipboard, and the four
// keybd_event calls of Ctrl+V.
//
//   floor TARGET_HWND TEXT
//     prints "window HWND" and "button HWND", then "ready"; runs until closed.
#include <windows.h>

#include "HelperCommon.h"

namespace {

using namespace helpers;

HWND g_target = nullptr;
Bytes g_text;

void PasteIntoTarget() {
  SetForegroundWindow(g_target);
  if (!OpenClipboard(nullptr)) return;
  putText(g_text);
  CloseClipboard();
  keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event('V', 0, 0, 0);
  keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

LRESULT CALLBACK FloorProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED) {
    PasteIntoTarget();
    return 0;
  }
  return quitOnClose(h, m, w, l);
}

}  // namespace

int main(int argc, char** argv) {
  programName = "floor";
  need(argc, 3, "TARGET_HWND TEXT");
  g_target = liveWindow(argv[1]);
  g_text = textArg(argv[2]);

  HWND window = makeWindow("TavrinFloor", "Floor", FloorProc, WS_POPUP | WS_BORDER | WS_VISIBLE, WS_EX_TOPMOST,
                           {20, 900, 80, 40}, nullptr, COLOR_BTNFACE);
  HWND button = CreateWindowExA(0, "BUTTON", "Paste", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 68, 28, window,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!button) fail("cannot create the button");
  out("window %s\nbutton %s\nready\n", hwndText(window).c_str(), hwndText(button).c_str());
  pump();
  return 0;
}
