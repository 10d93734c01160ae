// Typing through an input method on the GTK backend: what the method commits
// reaches the focused edit box as characters, after the keys typed before it.
// Runs in a child process, as switching to GTK is for the whole process.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/user/user.h"

using namespace ktfolio::win;

namespace {

LRESULT PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProc(hwnd, msg, wp, lp); }

// Exits 0 when every step saw what it should; otherwise says what it saw.
void TypeThroughTheInputMethod() {
  if (!user::UseGtkBackend()) std::exit(3);
  WNDCLASSEX wc{.lpfnWndProc = PlainProc, .lpszClassName = "ImTestTop"};
  RegisterClassEx(&wc);
  HWND top = CreateWindowEx(0, "ImTestTop", "input method", WS_VISIBLE, 0, 0, 300, 100, nullptr, nullptr, nullptr,
                            nullptr);
  HWND edit = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 260, 24, top, nullptr, nullptr, nullptr);
  SetFocus(edit);
  user::PumpMessages();
  auto* im = static_cast<GtkIMContext*>(user::InputMethodOf(top));
  if (!im) std::exit(4);
  user::InjectText("ab");
  g_signal_emit_by_name(im, "commit", "\u4f60\u597d\U0001F44D");
  user::InjectText("c");
  user::PumpMessages();
  const std::string text = user::WindowText(edit);
  if (text != "ab\u4f60\u597d\U0001F44D" "c") {
    std::fprintf(stderr, "edit holds '%s'\n", text.c_str());
    std::exit(1);
  }
  DestroyWindow(top);
  std::exit(user::InputMethodOf(top) == nullptr ? 0 : 2);
}

TEST(InputMethodDeathTest, CommittedTextArrivesAsCharactersInOrder) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(TypeThroughTheInputMethod(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
