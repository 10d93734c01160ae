// The "FolioDesigner" page: as soon as it is shown it opens the external
// designer on the selected control's whole template, settings included, and
// presses the dialog's default button when the designer returns, so the
// edited template is applied at once.
#include "pages/pages_impl.h"

namespace ktfolio::pages {

using namespace win;

namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartDelayMs = 10;

class FolioDesignerPage : public PropertyPage {
 public:
  explicit FolioDesignerPage(Form& form) : PropertyPage(form, "FolioDesigner") {
    Label("The document opens in the designer; close the designer to apply its changes.", 16, 20, 440, 20);
  }

 private:
  void OnSelectionChanged() override {
    if (FirstControl()) dsn_ = GetDsnArray(First());
    // The designer opens from the loop, once the page has been shown.
    SetTimer(hwnd(), kStartTimer, kStartDelayMs, nullptr);
  }

  void OnTimer(UINT_PTR id) override {
    if (id != kStartTimer) return;
    KillTimer(hwnd(), kStartTimer);
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    RunDesigner();
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
  }

  void RunDesigner() {
    try {
      Dispatch& c = First();
      const std::string settings = DesignerSettingsOf(c);
      dsn_ = GetDsnArray(c);
      RunExternalDesigner(dsn_, settings, true);
    } catch (const Error& e) {
      ReportFailure(e);
      return;
    }
    Changed(true);
    // The dialog's default button applies the page and closes it.
    PostMessage(hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  }

  void OnApply() override {
    Dispatch& c = First();
    SetDsnArray(c, dsn_, false);
    VariantArray none;
    c.Invoke("Refresh", none);
  }

  ByteArray dsn_;
};

}  // namespace

std::unique_ptr<PropertyPage> MakeFolioDesignerPage(Form& form) { return std::make_unique<FolioDesignerPage>(form); }

}  // namespace ktfolio::pages

namespace ktfolio {

std::unique_ptr<PropertyPage> MakePropertyPage(const std::string& caption, Form& form) {
  if (caption == "Designer") return pages::MakeDesignerPage(form);
  if (caption == "Defaults") return pages::MakeDefaultsPage(form);
  if (caption == "FolioDesigner") return pages::MakeFolioDesignerPage(form);
  return nullptr;
}

}  // namespace ktfolio
