// PropertyPage: what the three design-time pages share. A page is a panel on a
// Form holding standard controls (labels, frames, drop-down lists, check
// boxes, text boxes, buttons) and the dialog's OK, Cancel and Apply buttons.
// It answers the property-page protocol: SelectionChanged loads it from the
// selected objects, ApplyChanges writes it back, and every user's click on a
// list or check box and every change of a text box sets the changed mark
// (which enables Apply). The selected objects are reached by name.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/dispatch.h"
#include "platform/container/form.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/user/user.h"

namespace ktfolio {

class KtPrint4Impl;

class PropertyPage {
 public:
  virtual ~PropertyPage();
  PropertyPage(const PropertyPage&) = delete;
  PropertyPage& operator=(const PropertyPage&) = delete;

  // The page's caption ("Designer", "Defaults", "FolioDesigner").
  const std::string& Caption() const { return caption_; }
  win::HWND hwnd() const { return panel_; }

  // The property-page protocol. Failures of the selected objects' members
  // (Error) reach the caller.
  void SelectionChanged(std::vector<DispatchPtr> objects);
  void ApplyChanges();
  bool Changed() const { return changed_; }
  void Changed(bool v);

  // The dialog's buttons: OK applies and closes, Cancel closes, Apply applies.
  // Closing hides the form. Enter anywhere on the page presses OK.
  void Ok();
  void Cancel();
  // The last failure the page reported to its user ("" when none), such as
  // an external designer that could not be created.
  const std::string& LastFailure() const { return lastFailure_; }
  // Called after the dialog closed (OK or Cancel).
  std::function<void()> Closed;

 protected:
  PropertyPage(Form& form, std::string caption);

  virtual void OnSelectionChanged() = 0;
  virtual void OnApply() = 0;
  // A notification from one of the page's controls, after the changed mark.
  virtual void OnCommand(win::HWND control, win::WORD code) {}
  // A timer of the page's window fired.
  virtual void OnTimer(win::UINT_PTR id) {}

  const std::vector<DispatchPtr>& Selection() const { return selection_; }
  // The first selected object; Error 91 when nothing is selected.
  Dispatch& First() const;
  // The first selected object as the library's control, or null.
  KtPrint4Impl* FirstControl() const;
  Form& Host() const { return form_; }
  // Tells the user in a message box, and keeps it for LastFailure.
  void ReportFailure(const Error& e);

  // ---- building the page (pixels of the panel) -------------------------------------
  struct Entry {
    const char* text;
    std::int32_t value;
  };
  win::HWND Label(const std::string& text, int x, int y, int w, int h = 20, win::DWORD align = win::SS_LEFT);
  win::HWND Frame(const std::string& name, const std::string& caption, int x, int y, int w, int h);
  win::HWND List(const std::string& name, int x, int y, int w, const std::vector<Entry>& entries,
                 win::DWORD style = win::CBS_DROPDOWNLIST);
  win::HWND Check(const std::string& name, const std::string& caption, int x, int y, int w);
  win::HWND TextBox(const std::string& name, int x, int y, int w);
  win::HWND Button(const std::string& name, const std::string& caption, int x, int y, int w, int h = 24);
  // A label whose background is a colour the page keeps (a colour swatch).
  win::HWND Swatch(const std::string& name, int x, int y, int w, int h);

  // ---- reading and writing the page's controls -------------------------------------------
  // Changes made while loading do not count as the user's.
  class Loading {
   public:
    explicit Loading(PropertyPage& p) : page_(p), was_(p.loading_) { p.loading_ = true; }
    ~Loading() { page_.loading_ = was_; }

   private:
    PropertyPage& page_;
    bool was_;
  };
  static std::int32_t ListValue(win::HWND list);  // the selected entry's item value; -1 with none
  // Selects the entry whose item value is `value`; false (selection unchanged) when none has it.
  static bool SelectValue(win::HWND list, std::int32_t value);
  static std::string ListText(win::HWND list);
  static bool Checked(win::HWND check);
  static void SetChecked(win::HWND check, bool on);
  static std::string Text(win::HWND window);
  void SetText(win::HWND window, const std::string& text);
  std::uint32_t SwatchColor(win::HWND swatch) const;
  void SwatchColor(win::HWND swatch, std::uint32_t color);
  // Enables a frame with every control inside its rectangle.
  void EnableFrame(win::HWND frame, bool enable);

  static constexpr int kButtonRowHeight = 40;

 private:
  static win::LRESULT PanelProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  win::LRESULT Handle(win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  // What a child control is: its class, member name, text and styles.
  struct ChildKind {
    const char* cls;
    std::string name;
    std::string text;
    win::DWORD style = 0;
    win::DWORD exStyle = 0;
  };
  win::HWND Child(const ChildKind& kind, int x, int y, int w, int h);
  void Command(win::HWND control, win::WORD code);
  void LayoutButtons();

  Form& form_;
  std::string caption_;
  win::HWND panel_ = nullptr;
  int site_ = 0;
  win::OwnedFont font_;
  win::HWND ok_ = nullptr, cancel_ = nullptr, apply_ = nullptr;
  std::vector<DispatchPtr> selection_;
  std::map<win::HWND, std::uint32_t> swatches_;
  std::map<win::HWND, win::OwnedBrush> swatchBrushes_;
  std::string lastFailure_;
  bool changed_ = false;
  bool loading_ = false;
  int nextId_ = 100;
};

namespace pages {
// Our external designer is registered under "FolioDsn.clsFolioDsn" the first
// time this runs (pages run it before they create the designer), unless a
// host registered a component there first.
void RegisterBuiltinDesigner();
// The settings text the designer is started with, read from a control by name.
std::string DesignerSettingsOf(Dispatch& control);
}  // namespace pages

// Makes one of the pages by its caption: "Designer", "Defaults" or
// "FolioDesigner"; nullptr for any other name.
std::unique_ptr<PropertyPage> MakePropertyPage(const std::string& caption, Form& form);

}  // namespace ktfolio
