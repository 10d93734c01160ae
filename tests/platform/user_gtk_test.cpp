// The GTK backend. On a real X server (Xvfb in the test run): the demo host opens a GTK window,
// input is injected through the X server with xdotool, the result is read back from the
// window's title and a screenshot of the screen is kept. And an input method's text typed.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/user/user.h"
#include "support/pdf.h"

namespace {

namespace fs = std::filesystem;

// A command's output without its line end.
std::string Shell(const std::string& cmd) {
  std::string out = ktfolio::testing::CommandOutput(cmd);
  return out.substr(0, out.find_last_not_of("\r\n") + 1);
}

bool Have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) == 0; }

TEST(GtkBackend, DemoWindowTakesRealClicksAndKeys) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
  if (!Have("xdotool") || !Have("import")) GTEST_SKIP() << "xdotool or ImageMagick missing";
  fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
  fs::path demo = bin / "window_demo";
  if (!fs::exists(demo)) GTEST_SKIP() << "window_demo not built";

  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) { execl(demo.c_str(), demo.c_str(), "--quit-after", "20000", static_cast<char*>(nullptr)); _exit(127); }
  std::string wid = Shell("timeout 10 xdotool search --sync --onlyvisible --name 'ktfolio window demo' | head -1");
  ASSERT_FALSE(wid.empty()) << "the demo window never appeared";
  // The title the program sets once its windows are up, and after each change.
  std::string title;
  auto titleHas = [&](const std::string& part) {
    for (int i = 0; i < 100; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
      if ((title = Shell("xdotool getwindowname " + wid)).find(part) != std::string::npos) return true;
    return false;
  };
  ASSERT_TRUE(titleHas("clicks=0")) << "the demo never set its title: " << title;

  // click the subclassed button, then click into the edit box and type
  Shell("xdotool mousemove --window " + wid + " 60 70 click 1");
  EXPECT_TRUE(titleHas("clicks=1")) << title;
  Shell("xdotool mousemove --window " + wid + " 100 20 click 1");
  Shell("xdotool type --delay 20 'Xvfb ok!'");
  Shell("xdotool key BackSpace");
  Shell("xdotool mousemove --window " + wid + " 80 74");  // rest on the button: it lights
  EXPECT_TRUE(titleHas("text=Xvfb ok |")) << title;

  // the lit button face, read back from the screen (window at 100,100) once it shows
  fs::path shot = bin / "window_demo_xvfb.png";
  std::string px;
  for (int i = 0; i < 30 && px.find("255,214,90") == std::string::npos; ++i) {
    fs::remove(shot);
    Shell("import -window root '" + shot.string() + "'");
    px = Shell("convert '" + shot.string() + "' -format '%[pixel:p{160,170}]' info:");
  }
  EXPECT_TRUE(fs::exists(shot) && fs::file_size(shot) > 0);
  EXPECT_NE(px.find("255,214,90"), std::string::npos) << px;

  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

// Typing through an input method on the GTK backend: what the method commits
// reaches the focused edit box as characters, after the keys typed before it.
// Runs in a child process, as switching to GTK is for the whole process.
using namespace ktfolio::win;

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
