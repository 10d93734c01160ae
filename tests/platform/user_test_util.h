// Shared helpers for the window-manager tests: a window class whose procedure
// records every message it gets.
#pragma once

#include <string>
#include <vector>

#include "platform/user/user.h"

namespace ktfolio::win::testing {

struct Seen {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

inline LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Log().push_back(Seen{hwnd, msg, wParam, lParam});
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// Registers (once) a recording class with the given style and background.
inline const char* RecordingClass(UINT style = 0) {
  static bool plain = false, dbl = false;
  WNDCLASSEX wc;
  wc.lpfnWndProc = RecordingProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
  if (style & CS_DBLCLKS) {
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = "TestRecorderDbl";
    if (!dbl) dbl = RegisterClassEx(&wc) != 0;
    return "TestRecorderDbl";
  }
  wc.lpszClassName = "TestRecorder";
  if (!plain) plain = RegisterClassEx(&wc) != 0;
  return "TestRecorder";
}

inline std::vector<UINT> MessagesOf(HWND hwnd, UINT from = 0, UINT to = 0xFFFFFFFF) {
  std::vector<UINT> out;
  for (auto& s : Log())
    if ((!hwnd || s.hwnd == hwnd) && s.msg >= from && s.msg <= to) out.push_back(s.msg);
  return out;
}

inline int Count(HWND hwnd, UINT msg) {
  int n = 0;
  for (auto& s : Log())
    if (s.hwnd == hwnd && s.msg == msg) ++n;
  return n;
}

inline const Seen* Last(HWND hwnd, UINT msg) {
  for (auto it = Log().rbegin(); it != Log().rend(); ++it)
    if (it->hwnd == hwnd && it->msg == msg) return &*it;
  return nullptr;
}

}  // namespace ktfolio::win::testing
