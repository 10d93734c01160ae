// The "Designer" page: page setup and behaviour of a KtPrint4 (scale mode,
// paper, margins, orientation, printer, colours, Enter action, switches), and
// the button that opens the external designer on its document.
#include <algorithm>
#include <cstring>

#include "controls/ktboton.h"
#include "model/enums.h"
#include "pages/pages_impl.h"
#include "platform/automation/components.h"
#include "platform/spooler/spooler.h"

namespace ktfolio::pages {

using namespace win;

namespace {

struct PaperEntry {
  std::string text;
  std::int32_t value;
};

// The paper names sorted as the list shows them, each with two leading blanks.
std::vector<PaperEntry> PaperEntries() {
  std::vector<PaperEntry> out;
  for (const EnumMember& m : PublishedEnumMembers()) {
    if (std::strcmp(m.type, "ctsPrinterPaperSize") != 0) continue;
    std::string text = std::string("  ") + m.name;
    if (m.value == s_A5) text += " = 11";
    if (m.value == s_ENV_B6) text += " = 35   ' 176 x 125 mm";
    out.push_back({text, m.value});
  }
  std::sort(out.begin(), out.end(), [](const PaperEntry& a, const PaperEntry& b) { return a.text < b.text; });
  return out;
}

class DesignerPage : public PropertyPage {
 public:
  explicit DesignerPage(Form& form) : PropertyPage(form, "Designer") { Build(); }

 private:
  struct CheckFor {
    HWND box;
    const char* property;
  };

  void Build();
  void BuildLists();
  void BuildBoxes();
  void BuildChecks();
  void OnSelectionChanged() override;
  void OnApply() override;
  void OnCommand(HWND control, WORD code) override;
  void LoadControls();
  void LoadLengths();
  void ShowPageSizeFrame();
  void RunDesigner();
  std::string PageSetting(const std::string& key) const;
  Dispatch& Control() const { return First(); }

  HWND cboScaleMode_ = nullptr, cboPageSize_ = nullptr, cboOrientation_ = nullptr, cboPrinters_ = nullptr;
  HWND cboColorResolution_ = nullptr, cboEnterAction_ = nullptr;
  HWND fraPageSizes_ = nullptr;
  std::unique_ptr<KtBoton> designerButton_;
  std::vector<std::pair<HWND, const char*>> lengths_;  // text box -> property
  std::vector<CheckFor> checks_;
  ByteArray dsn_;
};

void DesignerPage::Build() {
  BuildLists();
  BuildBoxes();
  BuildChecks();
  designerButton_ = std::make_unique<KtBoton>(hwnd(), "cmdButton", Host());
  designerButton_->Caption("   Designer");
  SetMemberName(designerButton_->hwnd(), "cmdButton");
  MoveWindow(designerButton_->hwnd(), 420, 214, 150, 30, TRUE);
  designerButton_->Click = [this] { RunDesigner(); };
}

void DesignerPage::BuildLists() {
  const int labelX = 12, listX = 130, listW = 160;
  auto row = [&](int i) { return 14 + i * 30; };
  Label("Scale Mode", labelX, row(0), 110);
  cboScaleMode_ = List("cboScaleMode", listX, row(0), listW,
                       {{" eTwip", eTwip}, {" eInch", eInch}, {" eMillimetre", eMillimetre},
                        {" eCentimetre", eCentimetre}});
  Label("Paper Size", labelX, row(1), 110);
  cboPageSize_ = List("cboPageSize", listX, row(1), listW, {});
  for (const PaperEntry& e : PaperEntries()) {
    const LRESULT i = SendMessage(cboPageSize_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text.c_str()));
    SendMessage(cboPageSize_, CB_SETITEMDATA, static_cast<WPARAM>(i), e.value);
  }
  Label("Orientation", labelX, row(2), 110);
  cboOrientation_ = List("cboOrientation", listX, row(2), listW, {{"Portrait = 0", Portrait}, {"Landscape = 1", Landscape}});
  Label("Printer Name", labelX, row(3), 110);
  cboPrinters_ = List("cboPrinters", listX, row(3), listW, {}, CBS_DROPDOWN);
  Label("Color Resolution", labelX, row(4), 110);
  cboColorResolution_ = List("cboColorResolution", listX, row(4), listW,
                             {{"cr_BlackWhite", cr_BlackWhite}, {"cr_16_Colors", cr_16_Colors},
                              {"cr_256_Colors", cr_256_Colors}, {"cr_65536_Colors", cr_65536_Colors},
                              {"cr_16M_Colors", cr_16M_Colors}});
  Label("Edit Enter action", labelX, row(5), 110);
  cboEnterAction_ = List("cboEnterAction", listX, row(5), listW,
                         {{"ppEnterNone", ppEnterNone}, {"ppEnterNext", ppEnterNext},
                          {"ppEnterPrevious", ppEnterPrevious}, {"ppEnterAddCRLF", ppEnterAddCRLF}});
}

void DesignerPage::BuildBoxes() {
  Frame("FraMargins", "Margins", 310, 6, 280, 118);
  struct Box {
    const char* name;
    const char* label;
    const char* property;
  };
  const Box margins[] = {{"txtMarginHeader", "Margin Header:", "MarginHeader"},
                         {"txtMarginFooter", "Margin Footer:", "MarginFooter"},
                         {"txtMarginLeft", "Margin Left:", "Marginleft"},
                         {"txtMarginTop", "Margin Top:", "MarginTop"},
                         {"txtMarginBottom", "Margin bottom:", "MarginBottom"},
                         {"txtMarginRight", "Margin Right:", "MarginRight"}};
  for (int i = 0; i < 6; ++i) {
    const int x = 320 + (i % 2) * 136, y = 28 + (i / 2) * 30;
    Label(margins[i].label, x, y, 82);
    lengths_.emplace_back(TextBox(margins[i].name, x + 84, y, 46), margins[i].property);
  }
  fraPageSizes_ = Frame("FraPageSizes", "Page Sizes", 310, 130, 280, 58);
  Label("Width:", 320, 154, 50);
  lengths_.emplace_back(TextBox("txtPaperWidth", 372, 154, 70), "PaperWidth");
  Label("Length:", 456, 154, 50);
  lengths_.emplace_back(TextBox("txtPaperLength", 508, 154, 70), "PaperLength");
}

void DesignerPage::BuildChecks() {
  const struct {
    const char* name;
    const char* caption;
    const char* property;
  } boxes[] = {{"chkPropAllowCellEditing", "Allow Cell Editing", "AllowCellEditing"},
               {"chkAutoHighLight", "AutoHighLight Editing", "AutoHighLightEditing"},
               {"chkMultiLineEditing", "MultiLine Editing", "MultiLineEditing"},
               {"chkPropFitHeightToText", "Fit Height To Text", "dFitHeightToText"},
               {"chkInheritLastRow", "Inherit Last Row", "dInheritLastRow"},
               {"chkPropShowGuideLines", "Show Guide Lines", "ShowGuideLines"},
               {"chkPropShowPrintDlg", "Show Print Dialog", "ShowPrintDlg"},
               {"chkPropShowToolBar", "Show ToolBar", "ShowToolBar"}};
  for (int i = 0; i < 8; ++i)
    checks_.push_back({Check(boxes[i].name, boxes[i].caption, 12 + (i / 4) * 200, 200 + (i % 4) * 24, 190),
                       boxes[i].property});
}

// ---- loading --------------------------------------------------------------------------

void DesignerPage::OnSelectionChanged() {
  if (FirstControl()) dsn_ = GetDsnArray(Control());
  LoadControls();
}

void DesignerPage::LoadControls() {
  Loading loading(*this);
  Dispatch& c = Control();
  const std::pair<HWND, const char*> lists[] = {{cboColorResolution_, "ColorResolution"},
                                                {cboEnterAction_, "EditEnterAction"},
                                                {cboOrientation_, "Orientation"},
                                                {cboPageSize_, "PageSize"},
                                                {cboScaleMode_, "ScaleMode"}};
  for (const auto& [list, property] : lists) SelectValue(list, c.Get(property).ToLong());
  for (const CheckFor& check : checks_) SetChecked(check.box, c.Get(check.property).ToBool());
  if (SendMessage(cboPrinters_, CB_GETCOUNT, 0, 0) == 0)
    for (const std::string& name : spooler::PrinterNames())
      SendMessage(cboPrinters_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SetText(cboPrinters_, c.Get("PrinterName").ToString());
  LoadLengths();
  ShowPageSizeFrame();
}

void DesignerPage::LoadLengths() {
  Loading loading(*this);
  for (const auto& [box, property] : lengths_) SetText(box, Control().Get(property).ToString());
}

void DesignerPage::ShowPageSizeFrame() { EnableFrame(fraPageSizes_, ListValue(cboPageSize_) == s_USER); }

// ---- the user's clicks -------------------------------------------------------------------

void DesignerPage::OnCommand(HWND control, WORD code) {
  if (control == cboPageSize_ && code == CBN_SELCHANGE) {
    ShowPageSizeFrame();
    Control().Put("PageSize", Variant(ListValue(cboPageSize_)));
    LoadLengths();
  } else if (control == cboScaleMode_ && code == CBN_SELCHANGE) {
    // The boxes then show the control's lengths in the new unit.
    Control().Put("ScaleMode", Variant(ListValue(cboScaleMode_)));
    LoadLengths();
  }
}

std::string DesignerPage::PageSetting(const std::string& key) const {
  const std::pair<HWND, const char*> lists[] = {{cboScaleMode_, "ScaleMode"},
                                                {cboColorResolution_, "ColorResolution"},
                                                {cboEnterAction_, "EditEnterAction"},
                                                {cboOrientation_, "Orientation"},
                                                {cboPageSize_, "PageSize"}};
  for (const auto& [list, property] : lists)
    if (key == property) return std::to_string(ListValue(list));
  for (const CheckFor& check : checks_)
    if (key == check.property) return Checked(check.box) ? "-1" : "0";
  for (const auto& [box, property] : lengths_)
    if (key == property) return Text(box);
  return ListText(cboPrinters_);  // PrinterName
}

void DesignerPage::RunDesigner() {
  const std::string settings = SettingsText([this](const std::string& key) { return PageSetting(key); });
  try {
    dsn_ = GetDsnArray(Control());
    RunExternalDesigner(dsn_, settings, false);
  } catch (const Error& e) {
    ReportFailure(e);
    return;
  }
  Changed(true);
  LoadControls();
}

// ---- applying ---------------------------------------------------------------------------------

void DesignerPage::OnApply() {
  Dispatch& c = Control();
  auto list = [&](const char* property, HWND box) { c.Put(property, Variant(ListValue(box))); };
  auto check = [&](const char* property) {
    for (const CheckFor& k : checks_)
      if (std::strcmp(k.property, property) == 0) c.Put(property, Variant(Checked(k.box)));
  };
  auto length = [&](const char* property) {
    for (const auto& [box, p] : lengths_)
      if (std::strcmp(p, property) == 0) c.Put(property, Variant(Variant(Text(box)).ToSingle()));
  };
  list("ScaleMode", cboScaleMode_);
  check("AllowCellEditing");
  check("AutoHighLightEditing");
  list("ColorResolution", cboColorResolution_);
  check("dFitHeightToText");
  check("dInheritLastRow");
  list("EditEnterAction", cboEnterAction_);
  for (const char* margin : {"MarginBottom", "MarginFooter", "MarginHeader", "Marginleft", "MarginRight", "MarginTop"})
    length(margin);
  check("MultiLineEditing");
  list("Orientation", cboOrientation_);
  list("PageSize", cboPageSize_);
  length("PaperLength");
  length("PaperWidth");
  c.Put("PrinterName", Variant(ListText(cboPrinters_)));
  check("ShowGuideLines");
  check("ShowPrintDlg");
  check("ShowToolBar");
  SetDsnArray(c, dsn_, true);
  VariantArray none;
  c.Invoke("Refresh", none);
}

}  // namespace

std::unique_ptr<PropertyPage> MakeDesignerPage(Form& form) { return std::make_unique<DesignerPage>(form); }

}  // namespace ktfolio::pages
