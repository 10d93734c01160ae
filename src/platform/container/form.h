// Form: a container with a top-level window, the host that controls are placed
// on. It shows, hides and resizes its controls through their sites, runs the
// message loop, takes injected input in its client pixels, lists its child
// windows by member name and captures itself as a PNG. The same code drives a
// headless window and, with the GTK backend, a real one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/container/container.h"
#include "platform/user/user.h"

namespace ktfolio {

// The member name of a window on a form ("VP", "cmdTool(5)"): whoever creates
// the window names it; the name goes with the window.
void SetMemberName(win::HWND hwnd, const std::string& name);
std::string MemberName(win::HWND hwnd);

class Form : public Container {
 public:
  // A hidden top-level window with a client area of width x height pixels.
  Form(int width, int height, const std::string& caption = "ktfolio");
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  win::HWND hwnd() const { return hwnd_; }
  int ClientWidth() const;
  int ClientHeight() const;

  // A control placed on the form: its window fills the client area, and it
  // hears the container's show, hide and resize. Returns a cookie for
  // RemoveSite; a site must be removed before its window goes away.
  struct Site {
    win::HWND hwnd = nullptr;
    std::function<void()> show;
    std::function<void()> hide;
    std::function<void()> resize;
  };
  int AddSite(Site site);
  void RemoveSite(int cookie);

  void Show();
  void Hide();
  bool Visible() const;
  void Resize(int width, int height);  // client size
  // Runs the message loop: everything pending, then `ms` more milliseconds.
  void Pump(int ms = 0);
  // Runs until the window is closed by its user (GTK) or Close() is called.
  void Run();
  // Asked by Run for each message before it is translated and dispatched;
  // true when the host took it (a shortcut key such as Ctrl+S).
  std::function<bool(win::MSG&)> PreTranslate;
  void Close();
  bool Closed() const { return closed_; }

  // Input in client pixels of the form, delivered before returning.
  void Click(int x, int y, int button = 1);
  void DoubleClick(int x, int y);
  void MouseMove(int x, int y);
  void MouseDown(int x, int y, int button = 1);
  void MouseUp(int x, int y, int button = 1);
  void Key(int vk, bool shift = false, bool ctrl = false, bool alt = false);
  void Type(const std::string& text);

  // The form's window as it is painted; false when the file cannot be written.
  [[nodiscard]] bool Screenshot(const std::string& path) const;

  // Every child window, depth first in z order.
  struct ChildInfo {
    std::string name;
    std::string cls;
    std::string text;
    bool enabled = true;
    bool visible = true;
    int x = 0, y = 0, width = 0, height = 0;  // form client pixels
  };
  std::vector<ChildInfo> Controls() const;

 private:
  static win::LRESULT WndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  void FitSites();
  template <typename F>
  void EachSite(F f);

  win::HWND hwnd_ = nullptr;
  std::vector<std::pair<int, Site>> sites_;
  int nextCookie_ = 1;
  bool closed_ = false;
};

}  // namespace ktfolio
