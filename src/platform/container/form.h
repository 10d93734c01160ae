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
  // Keeps a band of `pixels` at the top of the client area for the host's
  // own windows (a toolbar); sites fill what is below it.
  void ReserveTop(int pixels);
  void RemoveSite(int cookie);

  void Show();
  void Hide();
  bool Visible() const;
  void Resize(int width, int height);  // client size
  // Runs the message loop: everything pending, then `ms` more milliseconds.
  void Pump(int ms = 0);
  // Runs until the window is closed by its user (GTK) or Close() is called.
  void Run();
  // Run, asking `goOn` at least every `everyMs` milliseconds (a host checks
  // for its interrupts there, and may throw); it ends the run with false.
  void Run(int everyMs, const std::function<bool()>& goOn);
  // Asked by Run for each message before it is translated and dispatched;
  // true when the host took it (a shortcut key such as Ctrl+S).
  std::function<bool(win::MSG&)> PreTranslate;
  void Close();
  bool Closed() const { return closed_; }
  // Destroys the window and every window in it now, for a host done with the
  // form before the last reference goes; the form is then windowless and
  // every call does nothing. Remove the controls' sites first.
  void Release();

  // Input in client pixels of the form, delivered before returning.
  void Click(int x, int y, int button = 1);
  void DoubleClick(int x, int y);
  void MouseMove(int x, int y);
  void MouseDown(int x, int y, int button = 1);
  void MouseUp(int x, int y, int button = 1);
  void Key(int vk, bool shift = false, bool ctrl = false, bool alt = false);
  void Type(const std::string& text);

  // User-level automation of the standard controls by member name, done with
  // clicks and keys as a user would, so the controls raise what a user's
  // action raises. Each returns false, doing nothing, when there is no such
  // control (or entry), it is of another class, or it is disabled.
  // Choose: opens the drop-down list and clicks the entry whose text is `text`.
  [[nodiscard]] bool Choose(const std::string& name, const std::string& text);
  // Check: clicks the check box when it is not already in that state.
  [[nodiscard]] bool Check(const std::string& name, bool on);
  // SetText: clicks into the text box, selects all and types `text` over it.
  [[nodiscard]] bool SetText(const std::string& name, const std::string& text);
  // The first child window with that member name, depth first; null when none.
  win::HWND FindControl(const std::string& name) const;

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
    int checked = -1;                         // check boxes: 0 or 1; -1 for other windows
    bool isList = false;                      // drop-down lists: their entries and selection
    std::vector<std::string> items;
    bool hasSelection = false;
    long long selected = 0;                   // the selected entry's item data
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
  int reservedTop_ = 0;
  bool closed_ = false;
};

}  // namespace ktfolio
