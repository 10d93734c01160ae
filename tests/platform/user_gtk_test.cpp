// On a real X server (Xvfb in the test run): the demo host opens a GTK window,
// input is injected through the X server with xdotool, the result is read back
// from the window's title and a screenshot of the screen is kept.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

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

}  // namespace
