// The "Defaults" page: the cell and row defaults of a KtPrint4 (the d*
// properties that new rows and cells take) and its Font, with colours and the
// font chosen through the common dialogs.
#include <cmath>
#include <cstring>

#include "control/ktprint4_dispatch.h"
#include "pages/pages_impl.h"
#include "printing/print_job.h"
#include "winsupport/common_dialog.h"

namespace ktfolio::pages {

using namespace win;

namespace {

// Colour dialog: start from the colour, open fully, any colour.
constexpr std::int32_t kColorFlags = 259;
static_assert(kColorFlags == 0x103);
// Font dialog: screen and printer fonts, effects, only existing fonts, start from the given font.
constexpr std::int32_t kFontFlags = 1 + 256 + 65536 + 2 + 64;
static_assert(kFontFlags == 65859);

class DefaultsPage : public PropertyPage {
 public:
  explicit DefaultsPage(Form& form) : PropertyPage(form, "Defaults") { Build(); }

 private:
  struct Field {
    HWND box;
    const char* property;
  };
  struct ColorButton {
    HWND button;
    HWND swatch;
    const char* property;
  };

  void Build();
  void BuildColumns();
  void BuildFont();
  // A text box with its label, filed under the property it edits.
  struct LabelledField {
    const char* label;
    const char* name;
    const char* property;
  };
  HWND Labelled(const LabelledField& field, int x, int y, int labelW, int boxW);
  void OnSelectionChanged() override;
  void OnApply() override;
  void OnCommand(HWND control, WORD code) override;
  void ChooseColor(const ColorButton& b);
  void ChooseFont();
  std::shared_ptr<FontDispatch> ControlFont(Dispatch& control) const;
  void ShowFontChecks(bool bold, bool italic, bool underline, bool strike);

  void Text(const char* property, const Variant& v) { SetText(fields_.at(property), v.ToString()); }
  std::string Text(const char* property) const { return PropertyPage::Text(fields_.at(property)); }

  std::map<std::string, HWND> fields_;  // text boxes by property
  std::vector<ColorButton> colors_;
  HWND cbodColPenStyle_ = nullptr, CboAlignPos_ = nullptr, cboTextStyle_ = nullptr, CboLayoutType_ = nullptr;
  HWND chkdcolFillCell_ = nullptr, chkdColWordWrap_ = nullptr, ChkdColClipping_ = nullptr;
  HWND chkdInheritLastRow_ = nullptr;
  HWND cmdFont_ = nullptr, lbldFontName_ = nullptr, lbldFontSize_ = nullptr;
  HWND chkdFontBold_ = nullptr, chkdFontItalic_ = nullptr, chkdFontUnderline_ = nullptr, chkdFontStrikethru_ = nullptr;
  DispatchPtr held_;                     // the control, held from the first selection of a KtPrint4
  std::shared_ptr<FontDispatch> font_;  // the held font
};

HWND DefaultsPage::Labelled(const LabelledField& field, int x, int y, int labelW, int boxW) {
  Label(field.label, x, y, labelW);
  HWND box = TextBox(field.name, x + labelW + 2, y, boxW);
  fields_[field.property] = box;
  return box;
}

void DefaultsPage::Build() {
  Frame("FraRows", "Rows", 8, 6, 200, 80);
  Labelled({"Indent Top:", "txtdRowIndentTop", "dRowIndentTop"}, 18, 26, 90, 80);
  Labelled({"Indent Bottom:", "txtdRowIndentBottom", "dRowIndentBottom"}, 18, 54, 90, 80);
  Frame("FraLayout", "Layout", 8, 92, 200, 110);
  Label("Type:", 18, 114, 90);
  CboLayoutType_ = List("CboLayoutType", 110, 112, 88, {{"Manual", 0}, {"Uniform", 1}});
  Labelled({"Cols Per Row:", "txtdColsPerRow", "dColsPerRow"}, 18, 144, 90, 80);
  chkdInheritLastRow_ = Check("chkdInheritLastRow", "Inherit Last Row", 18, 174, 180);
  BuildFont();
  BuildColumns();
}

void DefaultsPage::BuildFont() {
  Frame("Frafont", "Font", 8, 208, 200, 176);
  cmdFont_ = Button("cmdFont", "Select Font", 18, 228, 100, 26);
  lbldFontName_ = Label("", 18, 260, 180);
  SetMemberName(lbldFontName_, "lbldFontName");
  lbldFontSize_ = Label("", 18, 280, 180);
  SetMemberName(lbldFontSize_, "lbldFontSize");
  chkdFontBold_ = Check("chkdFontBold", "Bold", 18, 306, 85);
  chkdFontItalic_ = Check("chkdFontItalic", "Italic", 108, 306, 90);
  chkdFontUnderline_ = Check("chkdFontUnderline", "UnderLine", 18, 332, 85);
  chkdFontStrikethru_ = Check("chkdFontStrikethru", "Strikethru", 108, 332, 90);
}

void DefaultsPage::BuildColumns() {
  Frame("FraColumns", "Columns", 216, 6, 416, 378);
  Label("Cell Borders:", 226, 26, 120);
  const LabelledField borders[] = {{"Top:", "txtdColLineTop", "dColLineTop"},
                 {"Bottom:", "txtdColLineBottom", "dColLineBottom"},
                 {"Left:", "txtdColLineLeft", "dColLineLeft"},
                 {"Right:", "txtdColLineRight", "dColLineRight"}};
  for (int i = 0; i < 4; ++i) Labelled(borders[i], 226 + i * 100, 48, 48, 44);
  Label("Pen Style:", 226, 82, 90);
  cbodColPenStyle_ = List("cbodColPenStyle", 318, 80, 150,
                          {{"Solid", 0}, {"Dash", 1}, {"Dot", 2}, {"Dash-Dot", 3}, {"Dash-Dot-Dot", 4}, {"Null", 5},
                           {"Inside Frame", 6}, {"User Style", 7}, {"Alternate", 8}, {"Style Mask", 15}});
  chkdcolFillCell_ = Check("chkdcolFillCell", "Fill Cell", 226, 112, 110);
  chkdColWordWrap_ = Check("chkdColWordWrap", "Word Wrap", 346, 112, 110);
  ChkdColClipping_ = Check("ChkdColClipping", "Clipping", 466, 112, 110);
  Labelled({"Shadow Size:", "txtShadowSize", "dColShadowSize"}, 226, 142, 90, 60);
  Label("Text Pos.:", 400, 144, 70);
  CboAlignPos_ = List("CboAlignPos", 472, 142, 150,
                      {{"Left Top", 0}, {"Center Top", 1}, {"Right Top", 2}, {"Justify Top", 3}, {"Left Center", 4},
                       {"Center Center", 5}, {"Right Center", 6}, {"Justify Center", 7}, {"Left Bottom", 8},
                       {"Center  Bottom", 9}, {"Right  Bottom", 10}, {"Justify  Bottom", 11}});
  Labelled({"Indent First:", "txtdColIndentFirst", "dColIndentFirst"}, 226, 176, 90, 60);
  Labelled({"Indent Right:", "txtdColIndentRight", "dColIndentRight"}, 226, 206, 90, 60);
  Labelled({"Indent Left:", "txtdColIndentLeft", "dColIndentLeft"}, 226, 236, 90, 60);
  Label("Colors:", 400, 176, 70);
  const struct {
    const char* name;
    const char* caption;
    const char* swatch;
    const char* property;
  } buttons[] = {{"cmdBrushColor", "Brush", "lblBrushColor", "dColBrushColor"},
                 {"cmdPenColor", "Pen", "lblPenColor", "dColPenColor"},
                 {"cmdShadowHeavyColor", "Shadow Heavy", "lblShadowHeavyColor", "dColShadowHeavyColor"},
                 {"cmdShadowColor", "Shadow", "lblShadowColor", "dColShadowColor"},
                 {"cmdTextColor", "Text", "lblTextColor", "dFontColor"}};
  for (int i = 0; i < 5; ++i) {
    const int y = 198 + i * 30;
    colors_.push_back({Button(buttons[i].name, buttons[i].caption, 472, y, 104, 26),
                       Swatch(buttons[i].swatch, 582, y + 3, 40, 20), buttons[i].property});
  }
  Label("Text Style:", 226, 300, 90);
  cboTextStyle_ = List("cboTextStyle", 318, 298, 150,
                       {{"Flat", 0}, {"Raised", 1}, {"Raised Heavy", 2}, {"Inset", 3}, {"Inset Heavy", 4}});
}

// ---- loading ---------------------------------------------------------------------------------

std::shared_ptr<FontDispatch> DefaultsPage::ControlFont(Dispatch& control) const {
  auto font = std::dynamic_pointer_cast<FontDispatch>(control.GetObject("Font"));
  if (!font) throw Error(ErrorCode::kTypeMismatch, kLibraryName, "Type mismatch: Font is not a font object");
  return font;
}

void DefaultsPage::ShowFontChecks(bool bold, bool italic, bool underline, bool strike) {
  SetChecked(chkdFontBold_, bold);
  SetChecked(chkdFontItalic_, italic);
  SetChecked(chkdFontUnderline_, underline);
  SetChecked(chkdFontStrikethru_, strike);
}

void DefaultsPage::OnSelectionChanged() {
  if (FirstControl() && !held_) held_ = Selection().front();
  Dispatch& c = First();
  auto listPosition = [&](HWND list, const char* property) {
    SendMessage(list, CB_SETCURSEL, static_cast<WPARAM>(c.Get(property).ToLong()), 0);
  };
  Text("dColsPerRow", c.Get("dColsPerRow"));
  SetChecked(chkdInheritLastRow_, (c.Get("dInheritLastRow").ToLong() & 1) != 0);
  listPosition(CboLayoutType_, "dColsLayoutType");
  listPosition(cboTextStyle_, "dFontStyle");
  listPosition(CboAlignPos_, "dColAlignPos");
  for (const char* p : {"dColIndentFirst", "dColIndentRight", "dColIndentLeft"}) Text(p, c.Get(p));
  for (const char* p : {"dFontColor", "dColShadowColor", "dColShadowHeavyColor", "dColPenColor", "dColBrushColor"})
    for (const ColorButton& b : colors_)
      if (std::strcmp(b.property, p) == 0) SwatchColor(b.swatch, static_cast<std::uint32_t>(c.Get(p).ToLong()));
  for (const char* p : {"dRowIndentTop", "dRowIndentBottom"}) Text(p, c.Get(p));

  // The held control's font; with none held, the selection's reading fails the platform's way.
  font_ = ControlFont(held_ ? *held_ : c);
  const StdFont& f = *font_->Font();
  SetText(lbldFontName_, f.Name);
  SetText(lbldFontSize_, "Size: " + Variant(f.Size).ToString());
  ShowFontChecks(f.Bold, f.Italic, f.Underline, f.Strikethrough);

  Text("dColShadowSize", c.Get("dColShadowSize"));
  SetChecked(ChkdColClipping_, (c.Get("dColClipping").ToLong() & 1) != 0);
  SetChecked(chkdColWordWrap_, (c.Get("dColWordWrap").ToLong() & 1) != 0);
  if (!SelectValue(cbodColPenStyle_, c.Get("dColPenStyle").ToLong())) SendMessage(cbodColPenStyle_, CB_SETCURSEL, 0, 0);
  SetChecked(chkdcolFillCell_, (c.Get("dColFillCell").ToLong() & 1) != 0);
  for (const char* p : {"dColLineLeft", "dColLineRight", "dColLineTop", "dColLineBottom"}) Text(p, c.Get(p));
}

// ---- applying -----------------------------------------------------------------------------------

void DefaultsPage::OnApply() {
  Dispatch& c = First();
  auto text = [&](const char* p) { c.Put(p, Variant(Text(p))); };
  auto check = [&](const char* p, HWND box) { c.Put(p, Variant(Checked(box))); };
  c.Put("dColsPerRow", Variant(static_cast<std::int32_t>(std::trunc(Val("0" + Text("dColsPerRow"))))));
  check("dInheritLastRow", chkdInheritLastRow_);
  c.Put("dColsLayoutType", Variant(ListValue(CboLayoutType_)));
  c.Put("dFontStyle", Variant(ListValue(cboTextStyle_)));
  c.Put("dColAlignPos", Variant(ListValue(CboAlignPos_)));
  text("dColIndentFirst");
  if (auto* held = dynamic_cast<KtPrint4Dispatch*>(held_.get()))
    held->Control().NotifyPropertyChanged("dColIndentFirst");
  text("dColIndentRight");
  text("dColIndentLeft");
  for (const char* p : {"dFontColor", "dColShadowColor", "dColShadowHeavyColor", "dColPenColor", "dColBrushColor"})
    for (const ColorButton& b : colors_)
      if (std::strcmp(b.property, p) == 0) c.Put(p, Variant(static_cast<std::int32_t>(SwatchColor(b.swatch))));
  text("dRowIndentTop");
  text("dRowIndentBottom");
  if (font_) {
    StdFont& f = *font_->Font();
    f.Bold = Checked(chkdFontBold_);
    f.Italic = Checked(chkdFontItalic_);
    f.Underline = Checked(chkdFontUnderline_);
    f.Strikethrough = Checked(chkdFontStrikethru_);
    c.PutObject("Font", font_);
  }
  text("dColShadowSize");
  check("dColClipping", ChkdColClipping_);
  check("dColWordWrap", chkdColWordWrap_);
  c.Put("dColPenStyle", Variant(ListValue(cbodColPenStyle_)));
  check("dColFillCell", chkdcolFillCell_);
  for (const char* p : {"dColLineLeft", "dColLineRight", "dColLineTop", "dColLineBottom"}) text(p);
}

// ---- the colour and font buttons ------------------------------------------------------------------

void DefaultsPage::OnCommand(HWND control, WORD code) {
  if (code != BN_CLICKED) return;
  if (control == cmdFont_) return ChooseFont();
  for (const ColorButton& b : colors_)
    if (control == b.button) return ChooseColor(b);
}

void DefaultsPage::ChooseColor(const ColorButton& b) {
  clsCommonDialog dlg;
  dlg.hwnd(reinterpret_cast<std::intptr_t>(hwnd()));
  dlg.flags(kColorFlags);
  dlg.Color(static_cast<std::uint32_t>(First().Get(b.property).ToLong()));
  dlg.ShowColor();
  if (dlg.APIReturn() != 1) return;
  SwatchColor(b.swatch, dlg.Color());
  Changed(true);
}

void DefaultsPage::ChooseFont() {
  clsCommonDialog dlg;
  dlg.hwnd(reinterpret_cast<std::intptr_t>(hwnd()));
  Dispatch& c = First();
  // The dialog lists the fonts of the control's printer, through its context.
  printing::PrintJob printer;
  if (!printer.OpenPrinterDC(c.Get("PrinterName").ToString())) printer.CleanUpPrint();
  dlg.hdc(reinterpret_cast<std::intptr_t>(printer.PrinterDC()));
  dlg.flags(1);
  font_ = ControlFont(c);
  StdFont& f = *font_->Font();
  dlg.FontName(f.Name);
  dlg.FontSize(static_cast<float>(std::lround(f.Size)));
  dlg.FontBold(f.Bold);
  dlg.FontItalic(f.Italic);
  dlg.FontStrikethru(f.Strikethrough);
  dlg.FontUnderline(f.Underline);
  dlg.flags(dlg.flags() + 256 + 65536 + 2 + 64);
  dlg.ShowFont();
  if (dlg.APIReturn() == 1) {
    f.Name = dlg.FontName();
    f.Size = dlg.FontSize();
    c.PutObject("Font", font_);  // at once, before any apply
    SetText(lbldFontName_, dlg.FontName());
    SetText(lbldFontSize_, "Size:" + Variant(dlg.FontSize()).ToString());
    ShowFontChecks(dlg.FontBold(), dlg.FontItalic(), dlg.FontUnderline(), dlg.FontStrikethru());
  }
  printer.CleanUpPrint();
}

}  // namespace

std::unique_ptr<PropertyPage> MakeDefaultsPage(Form& form) { return std::make_unique<DefaultsPage>(form); }

}  // namespace ktfolio::pages
