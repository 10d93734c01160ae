// Our external designer, registered as "FolioDsn.clsFolioDsn": start shows
// the template in design mode in a preview with a small bar (Add Row, Remove
// Row, Save, Cancel) and waits for the user. Remove Row takes the row last
// clicked (the last body row when none was). Save hands back the edited
// template, Cancel the one it was given. Cells are edited in place with the
// preview's own double-click editing (DesignEditing), and the template keeps
// its own editing flags.
#include "control/ktprint4_dispatch.h"
#include "pages/design_editing.h"
#include "viewer/toolbar.h"
#include "pages/folio_dsn_testing.h"
#include "pages/pages_impl.h"
#include "platform/automation/components.h"
#include "platform/user/user.h"

namespace ktfolio::pages {

using namespace win;

namespace {

constexpr const char* kBarClass = "ktfolioDesignerBar";
constexpr int kBarHeight = 36;
constexpr int kFormWidth = 900, kFormHeight = 640;

std::function<void(Form&)>& ShownHook() {
  static std::function<void(Form&)> hook;
  return hook;
}

// The bar tells its owner which button was clicked.
using BarHandler = std::function<void(HWND)>;

LRESULT BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* handler = reinterpret_cast<BarHandler*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && handler) {
    (*handler)(reinterpret_cast<HWND>(lParam));
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND MakeBar(Form& form, BarHandler* handler) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEX wc;
    wc.lpfnWndProc = BarProc;
    wc.lpszClassName = kBarClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    registered = RegisterClassEx(&wc) != 0;
  }
  HWND bar = CreateWindowEx(0, kBarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, form.ClientWidth(), kBarHeight, form.hwnd(),
                            nullptr, nullptr, nullptr);
  SetWindowLongPtr(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
  return bar;
}

HWND BarButton(HWND bar, const char* name, const char* caption, int x, int w) {
  HWND b = CreateWindowEx(0, "Button", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 5, w, 26, bar, nullptr,
                          nullptr, nullptr);
  SetMemberName(b, name);
  return b;
}

// The cell the user last clicked: Remove Row takes its row.
struct Picked : KtPrint4Events {
  std::int32_t row = 0;
  std::int32_t area = Body;
  void ClickCell(std::int32_t r, std::int32_t col, std::int32_t parea, std::int16_t button) override {
    row = r;
    area = parea;
  }
};

// One design session over a template: the window, the document and the answer.
class Session {
 public:
  explicit Session(const ByteArray& dsn) : form_(std::make_shared<Form>(kFormWidth, kFormHeight, "FolioDsn")) {
    form_->DisplayName("KtPrint41");
    document_ = std::make_unique<KtPrint4Dispatch>(form_);
    KtPrint4Impl& c = document_->Control();
    PlaceOnForm(c, *form_);
    form_->ReserveTop(kBarHeight);
    c.SetDsnArray(dsn, false);
    editing_ = std::make_unique<DesignEditing>(c);
    c.Advise(&picked_);
    handler_ = [this](HWND button) { Clicked(button); };
    HWND bar = MakeBar(*form_, &handler_);
    SetMemberName(bar, "DesignerBar");
    add_ = BarButton(bar, "cmdAddRow", "Add Row", 8, 90);
    remove_ = BarButton(bar, "cmdRemoveRow", "Remove Row", 104, 100);
    save_ = BarButton(bar, "cmdSave", "Save", kFormWidth - 188, 86);
    cancel_ = BarButton(bar, "cmdCancel", "Cancel", kFormWidth - 96, 86);
  }

  ~Session() { document_->Control().Unadvise(&picked_); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Shows the window until Save or Cancel; true when saved, `dsn` then the edited template.
  bool Run(ByteArray& dsn) {
    form_->Show();
    if (ShownHook()) ShownHook()(*form_);
    if (!form_->Closed()) form_->Run();
    if (saved_) editing_->Template(dsn);
    return saved_;
  }

 private:
  void Clicked(HWND button) {
    KtPrint4Impl& c = document_->Control();
    if (button == add_) {
      c.AddRow(VariantArray{Variant("")});
      c.Refresh();
    } else if (button == remove_) {
      // The clicked row, or the last body row when none was clicked.
      std::int32_t row = picked_.row, area = picked_.area;
      if (row < 1) {
        row = c.LastRow();
        area = Body;
      }
      picked_.row = 0;
      if (row >= 1 && c.RemoveRows(row, row, area)) c.Refresh();
    } else if (button == save_ || button == cancel_) {
      saved_ = button == save_;
      form_->Close();
    }
  }

  std::shared_ptr<Form> form_;
  std::unique_ptr<KtPrint4Dispatch> document_;
  std::unique_ptr<DesignEditing> editing_;
  BarHandler handler_;
  Picked picked_;
  HWND add_ = nullptr, remove_ = nullptr, save_ = nullptr, cancel_ = nullptr;
  bool saved_ = false;
};

// Without a display nobody could press Save or Cancel and the window would
// wait for ever: it does not open (unless a test hook stands in for the
// user), and the template goes back as it came, as after Cancel. A script
// that wants to design registers a designer of its own under our name.
bool NobodyToAnswer() { return !user::UsingGtkBackend() && !ShownHook(); }

class FolioDsn : public Dispatch {
 public:
  FolioDsn() {
    DispParam dsn = In("Dsn");
    dsn.byRef = true;
    DispParam settings = In("Settings", DispType::String);
    settings.byRef = true;
    AddProcedure("start", {dsn, settings, Opt("FromFolioDesigner", DispType::Boolean, false)}, [](VariantArray& a) {
      if (NobodyToAnswer()) return;
      ByteArray bytes = a[0].ToBytes();
      Session session(bytes);
      if (session.Run(bytes)) a[0] = Variant(bytes);
    });
  }
  std::string TypeName() const override { return "clsFolioDsn"; }
};

}  // namespace

void SetFolioDsnShownHook(std::function<void(Form&)> hook) { ShownHook() = std::move(hook); }

void RegisterBuiltinDesigner() {
  static bool once = false;
  if (once) return;
  once = true;
  if (!ComponentRegistered(kFolioDsnProgId))
    RegisterComponent(kFolioDsnProgId, [] { return std::make_shared<FolioDsn>(); });
}

}  // namespace ktfolio::pages
