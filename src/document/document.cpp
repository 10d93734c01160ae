// The document: start-up, settings and their side effects, the error record.
#include "document/document.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "model/units.h"

namespace ktfolio {

using namespace win;

namespace {

struct PaperEntry {
  std::int32_t size;
  bool inches;
  double w, l;
};

const PaperEntry kPapers[] = {
    {1, true, 8.5, 11},      {2, true, 8.5, 11},       {18, true, 8.5, 11},     {3, true, 11, 17},
    {17, true, 11, 17},      {4, true, 17, 11},        {5, true, 8.5, 14},      {6, true, 5.5, 8.5},
    {7, true, 7.25, 10.5},   {8, false, 297, 420},     {9, false, 210, 297},    {10, false, 210, 297},
    {11, false, 148, 210},   {12, false, 250, 354},    {13, false, 182, 257},   {14, true, 8.5, 13},
    {15, false, 215, 275},   {16, true, 10, 14},       {19, true, 3.875, 8.875}, {20, true, 4.125, 9.5},
    {21, true, 4.5, 10.375}, {22, true, 4.75, 11},     {23, true, 5, 11.5},     {27, false, 110, 220},
    {28, false, 162, 229},   {29, false, 324, 458},    {30, false, 229, 324},   {31, false, 114, 162},
    {32, false, 114, 229},   {33, false, 250, 353},    {42, false, 250, 353},   {34, false, 176, 250},
    {35, false, 176, 125},   {36, false, 110, 230},    {37, true, 3.875, 7.5},  {38, true, 3.625, 6.5},
    {39, true, 14.875, 11},  {40, true, 8.5, 12},      {41, true, 8.5, 13},     {43, false, 100, 148},
    {44, true, 9, 11},       {45, true, 10, 11},       {47, false, 220, 220},   {50, true, 9.5, 12},
    {51, true, 9.5, 15},     {52, true, 11.69, 18},    {53, true, 9.27, 12.69}, {54, true, 11, 8.5},
    {55, false, 297, 210},   {56, true, 12, 9.5},      {57, false, 227, 356},   {58, false, 305, 487},
    {59, true, 8.5, 12.69},  {60, false, 210, 330},    {61, false, 210, 148},   {62, false, 257, 182},
    {63, false, 322, 445},   {64, false, 174, 235},    {65, false, 201, 276},   {66, false, 420, 594},
    {67, false, 420, 297},   {68, false, 445, 322},
};

}  // namespace

bool PaperSizeTwips(std::int32_t pageSize, float& width, float& height) {
  for (const auto& p : kPapers) {
    if (p.size != pageSize) continue;
    const std::int32_t unit = p.inches ? eInch : eMillimetre;
    width = ToTwips(unit, static_cast<float>(p.w));
    height = ToTwips(unit, static_cast<float>(p.l));
    return true;
  }
  return false;
}

Document::Document(Container* container) : container_(container) {
  if (!container_) {
    ownContainer_ = std::make_unique<Container>();
    container_ = ownContainer_.get();
  }
  // Instance start-up.
  pages_ = 1;
  needsRepaging_ = false;
  printerSetupChanged_ = true;
  zoom_ = 100;
  currentPage_ = 0;
  pageCount_ = 0;
  InitScreenMeasures();
  for (auto& r : rows_) r = std::make_unique<KtRows>();

  // Initial properties of a new control: the start-up values of every setting,
  // the font and text colour from the container's ambient properties.
  defaults_ = tpDefaults{};
  FontPtr ambient = container_->AmbientFont();
  font_ = ambient ? ambient->Clone() : MakeFont("Arial", 10);
  defaults_.dFontColor = container_->AmbientForeColor();
  for (auto& r : rows_) {
    r->ActiveRow(0);
    r->ActiveCol(0);
  }
  body().sText("");
  MarginsToTwips();
}

void Document::MarginsToTwips() {
  pageInfo_.LeftM = ToTwips(scaleMode_, marginLeft_);
  pageInfo_.RightM = ToTwips(scaleMode_, marginRight_);
  pageInfo_.TopM = ToTwips(scaleMode_, marginTop_);
  pageInfo_.BottomM = ToTwips(scaleMode_, marginBottom_);
  pageInfo_.HeaderM = ToTwips(scaleMode_, marginHeader_);
  pageInfo_.FooterM = ToTwips(scaleMode_, marginFooter_);
  ComputePageInfo();
}

Document::~Document() {
  for (auto& r : rows_)
    if (r) r->Clear();
  if (measureDC_) DeleteDC(measureDC_);
}

void Document::Advise(KtPrint4Events* sink) {
  if (sink && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
}
void Document::Unadvise(KtPrint4Events* sink) { std::erase(sinks_, sink); }

void Document::RaiseNewPage(std::int32_t& page, std::int32_t& row, std::int32_t& firstOrLast) {
  // A handler may unadvise itself; walk a copy.
  const std::vector<KtPrint4Events*> sinks = sinks_;
  const EventScope scope(*this, "NewPage");
  for (KtPrint4Events* s : sinks) s->NewPage(page, row, firstOrLast);
}

bool Document::NewPageHeard() const {
  return std::any_of(sinks_.begin(), sinks_.end(), [](const KtPrint4Events* s) { return s->HearsNewPage(); });
}

void Document::Notify(const std::string& name) { container_->PropertyChanged(name); }

// Number 5: nothing in the control's message table says "not now", and the
// call itself is what is wrong at that moment.
Error Document::RowsHeldError(const char* operation) const {
  return Error(ErrorCode::kInvalidProcedureCall, operation,
               std::string("Invalid procedure call or argument: ") + operation +
                   " cannot remove rows while the control is raising its " + eventName_ + " event");
}

bool Document::RefusedInsideEvent(const char* operation) {
  if (!InsideEvent()) return false;
  const Error e = RowsHeldError(operation);
  RecordError(e.number(), e.source(), e.description());
  return true;
}

HDC Document::MeasureDC() {
  if (!measureDC_) measureDC_ = CreateCompatibleDC(nullptr);
  return measureDC_;
}

KtRows* Document::Rows(std::int32_t area) {
  if (area < Body || area > Footer) return nullptr;
  return rows_[area].get();
}

KtRows& Document::RowsOrThrow(std::int32_t area) {
  KtRows* r = Rows(area);
  if (!r) throw ObjectNotSetError();
  return *r;
}

// ---- error record -----------------------------------------------------------------

// Each recording replaces all three fields, so of several errors raised in
// one operation the last one recorded is the one a host reads.
void Document::RecordError(std::int32_t number, const std::string& source, const std::string& description) {
  std::string message = GetErrorMessage(number);
  ++errorsRecorded_;
  error_.ErrorNumber = number;
  error_.ErrorSource = source;
  error_.ErrorDescription = message.empty() ? description : message;
}

bool Document::GetLastError(std::int32_t& number, std::string& description, std::string& source) const {
  if (error_.ErrorNumber == 0) return false;
  number = error_.ErrorNumber;
  description = error_.ErrorDescription;
  source = error_.ErrorSource;
  return true;
}

// ---- page setup ----------------------------------------------------------------------

void Document::ComputePageInfo() {
  // Run on every pagination, so on every row added: lengths already in twips
  // (the scale mode of most documents) are taken as they are.
  const auto twips = [mode = scaleMode_](float v) { return mode == eTwip ? v : ToTwips(mode, v); };
  const bool portrait = orientation_ == Portrait;
  const float w = twips(paperWidth_), l = twips(paperLength_);
  pageInfo_.Width = portrait ? w : l;
  pageInfo_.Height = portrait ? l : w;
  pageInfo_.LeftM = twips(marginLeft_);
  pageInfo_.RightM = twips(marginRight_);
  pageInfo_.TopM = twips(marginTop_);
  pageInfo_.BottomM = twips(marginBottom_);
  pageInfo_.AvailWidth = pageInfo_.Width - pageInfo_.LeftM - pageInfo_.RightM;
  pageInfo_.AvailHeight = pageInfo_.Height - pageInfo_.TopM - pageInfo_.BottomM;
}

void Document::ScaleMode(std::int32_t v) {
  if (v == scaleMode_) return;
  scaleMode_ = v;
  const bool portrait = orientation_ == Portrait;
  marginBottom_ = FromTwips(v, pageInfo_.BottomM);
  marginTop_ = FromTwips(v, pageInfo_.TopM);
  marginLeft_ = FromTwips(v, pageInfo_.LeftM);
  marginRight_ = FromTwips(v, pageInfo_.RightM);
  paperLength_ = FromTwips(v, portrait ? pageInfo_.Height : pageInfo_.Width);
  paperWidth_ = FromTwips(v, portrait ? pageInfo_.Width : pageInfo_.Height);
  marginHeader_ = FromTwips(v, pageInfo_.HeaderM);
  marginFooter_ = FromTwips(v, pageInfo_.FooterM);
  Notify("");
}

void Document::PageSize(std::int32_t v) {
  if (v == pageSize_) return;
  pageSize_ = v;
  needsRepaging_ = true;
  float w, l;
  if (PaperSizeTwips(v, w, l)) {
    pageInfo_.Width = w;
    pageInfo_.Height = l;
    paperWidth_ = FromTwips(scaleMode_, w);
    paperLength_ = FromTwips(scaleMode_, l);
  }
  ComputePageInfo();
  Notify("PageSize");
  printerSetupChanged_ = true;
}

void Document::PaperWidth(float v) {
  if (pageSize_ != s_USER || v == paperWidth_ || !AcceptLength(v)) return;
  needsRepaging_ = true;
  paperWidth_ = v;
  (orientation_ == Portrait ? pageInfo_.Width : pageInfo_.Height) = ToTwips(scaleMode_, v);
  ComputePageInfo();
  Notify("");
  printerSetupChanged_ = true;
}

void Document::PaperLength(float v) {
  if (pageSize_ != s_USER || v == paperLength_ || !AcceptLength(v)) return;
  needsRepaging_ = true;
  paperLength_ = v;
  (orientation_ == Portrait ? pageInfo_.Height : pageInfo_.Width) = ToTwips(scaleMode_, v);
  ComputePageInfo();
  Notify("");
  printerSetupChanged_ = true;
}

void Document::Orientation(std::int32_t v) {
  if (v == orientation_) return;
  orientation_ = v;
  ComputePageInfo();
  Notify("Orientation");
  printerSetupChanged_ = true;
  Notify("");
}

// A length from the host, in the scale mode, has to be a number in twips too;
// otherwise the conversion's error is recorded and nothing is stored.
bool Document::AcceptLength(float v) {
  try {
    CheckedFinite(v);
    CheckedFinite(ToTwips(scaleMode_, v));
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

void Document::SetMargin(float& stored, float& twips, float v, const char* notifyName) {
  if (v == stored || !AcceptLength(v)) return;
  needsRepaging_ = true;
  stored = v;
  twips = ToTwips(scaleMode_, v);
  if (notifyName) Notify(notifyName);
}

void Document::Marginleft(float v) { SetMargin(marginLeft_, pageInfo_.LeftM, v, ""); }
void Document::MarginRight(float v) { SetMargin(marginRight_, pageInfo_.RightM, v, ""); }
void Document::MarginTop(float v) { SetMargin(marginTop_, pageInfo_.TopM, v, ""); }
void Document::MarginBottom(float v) { SetMargin(marginBottom_, pageInfo_.BottomM, v, "MarginBottom"); }
void Document::MarginFooter(float v) { SetMargin(marginFooter_, pageInfo_.FooterM, v, "MarginFooter"); }
void Document::MarginHeader(float v) { SetMargin(marginHeader_, pageInfo_.HeaderM, v, nullptr); }

// ---- defaults -------------------------------------------------------------------------

void Document::SetTwipsDefault(float& twips, float v, const char* notifyName, bool repage) {
  if (!AcceptLength(v)) return;
  if (repage) needsRepaging_ = true;
  twips = ToTwips(scaleMode_, v);
  Notify(notifyName);
}

float Document::ColSpacing() const { return FromTwips(scaleMode_, defaults_.dColSpacing); }
void Document::ColSpacing(float v) { SetTwipsDefault(defaults_.dColSpacing, v, "dColSpacing", true); }
float Document::RowSpacing() const { return FromTwips(scaleMode_, defaults_.dRowSpacing); }
void Document::RowSpacing(float v) { SetTwipsDefault(defaults_.dRowSpacing, v, "dRowSpacing", true); }
float Document::dRowIndentTop() const { return FromTwips(scaleMode_, defaults_.dRowIndentTop); }
void Document::dRowIndentTop(float v) { SetTwipsDefault(defaults_.dRowIndentTop, v, "dRowIndentTop", true); }
float Document::dRowIndentBottom() const { return FromTwips(scaleMode_, defaults_.dRowIndentBottom); }
void Document::dRowIndentBottom(float v) {
  SetTwipsDefault(defaults_.dRowIndentBottom, v, "dRowIndentBottom", false);
}
float Document::dRowHeight() const { return FromTwips(scaleMode_, defaults_.dRowHeight); }
void Document::dRowHeight(float v) { SetTwipsDefault(defaults_.dRowHeight, v, "dRowHeight", false); }
float Document::dColIndentFirst() const { return FromTwips(scaleMode_, defaults_.dColIndentFirst); }
void Document::dColIndentFirst(float v) { SetTwipsDefault(defaults_.dColIndentFirst, v, "dColIndentFirst", false); }
float Document::dColIndentLeft() const { return FromTwips(scaleMode_, defaults_.dColIndentLeft); }
void Document::dColIndentLeft(float v) { SetTwipsDefault(defaults_.dColIndentLeft, v, "dColIndentLeft", false); }
float Document::dColIndentRight() const { return FromTwips(scaleMode_, defaults_.dColIndentRight); }
void Document::dColIndentRight(float v) { SetTwipsDefault(defaults_.dColIndentRight, v, "dColIndentRight", false); }

void Document::Font(FontPtr f) {
  if (!f) return;
  try {
    CheckedFontSize(f->Size);
  } catch (const std::exception& e) {
    RecordCaught(e);
    return;
  }
  font_ = std::move(f);
  defaults_.dFontBold = font_->Bold;
  defaults_.dFontItalic = font_->Italic;
  defaults_.dFontName = font_->Name;
  defaults_.dFontSize = font_->Size;
  defaults_.dFontStrikeThru = font_->Strikethrough;
  defaults_.dFontUnderline = font_->Underline;
  Notify("Font");
}

#define KT_STORE_NOTIFY(type, name)   \
  void Document::name(type v) {       \
    defaults_.name = v;               \
    Notify(#name);                    \
  }
KT_STORE_NOTIFY(bool, dFitHeightToText)
KT_STORE_NOTIFY(std::int32_t, dColEditType)
KT_STORE_NOTIFY(std::uint32_t, dFontColor)
KT_STORE_NOTIFY(std::uint32_t, dColShadowColor)
KT_STORE_NOTIFY(std::uint32_t, dColShadowHeavyColor)
KT_STORE_NOTIFY(std::uint32_t, dColPenColor)
KT_STORE_NOTIFY(std::uint32_t, dColBrushColor)
KT_STORE_NOTIFY(std::int32_t, dFontStyle)
KT_STORE_NOTIFY(std::int32_t, dColAlignPos)
KT_STORE_NOTIFY(std::int32_t, dColShadowSize)
KT_STORE_NOTIFY(std::int16_t, dColLineBottom)
KT_STORE_NOTIFY(std::int16_t, dColLineTop)
KT_STORE_NOTIFY(std::int16_t, dColLineLeft)
KT_STORE_NOTIFY(std::int16_t, dColLineRight)
KT_STORE_NOTIFY(bool, dColClipping)
KT_STORE_NOTIFY(bool, dColWordWrap)
KT_STORE_NOTIFY(bool, dColFillCell)
KT_STORE_NOTIFY(std::int32_t, dColsLayoutType)
KT_STORE_NOTIFY(std::int32_t, dColsPerRow)
KT_STORE_NOTIFY(bool, dInheritLastRow)
#undef KT_STORE_NOTIFY

// Template text holds a cell's pen style in 16 bits: a default beyond them
// would be saved and then refused by the reader, losing every row after it.
void Document::dColPenStyle(std::int32_t v) {
  if (v < INT16_MIN || v > INT16_MAX) {
    RecordCaught(Overflow());
    return;
  }
  defaults_.dColPenStyle = v;
  Notify("dColPenStyle");
}

// ---- presentation ---------------------------------------------------------------------------

void Document::ColorResolution(std::int32_t v) {
  if (v == colorResolution_) return;
  colorResolution_ = v;
  Notify("ColorResolution");
}

void Document::EditEnterAction(std::int32_t v) {
  if (v == editEnterAction_) return;
  editEnterAction_ = v;
  Notify("EditEnterAction");
}

void Document::DocTitle(std::string v) {
  meta_.title = std::move(v);
  Notify("DocTitle");
}

void Document::DocAuthor(std::string v) {
  meta_.author = std::move(v);
  Notify("DocAuthor");
}

void Document::DocSubject(std::string v) {
  meta_.subject = std::move(v);
  Notify("DocSubject");
}

void Document::DocKeywords(std::string v) {
  meta_.keywords = std::move(v);
  Notify("DocKeywords");
}

void Document::TaggedPdf(bool v) {
  meta_.tagged = v;
  Notify("TaggedPdf");
}

void Document::PdfJobs(std::int32_t v) {
  if (v < 0) {
    RecordError(ToInt(ErrorCode::kInvalidPropertyValue), "PdfJobs",
                "Invalid property value: " + std::to_string(v) + " processes (0 is one a core)");
    return;
  }
  pdfJobs_ = v;
  Notify("PdfJobs");
}

void Document::DocLanguage(std::string v) {
  if (!IsLanguageTag(v)) {
    RecordError(ToInt(ErrorCode::kInvalidPropertyValue), "DocLanguage",
                "Invalid property value: '" + v + "' is not a language tag such as en-US");
    return;
  }
  meta_.language = std::move(v);
  Notify("DocLanguage");
}

bool IsLanguageTag(std::string_view tag) {
  std::size_t start = 0;
  for (int part = 0;; ++part) {
    const std::size_t end = std::min(tag.find('-', start), tag.size());
    const std::string_view sub = tag.substr(start, end - start);
    const bool letters = std::all_of(sub.begin(), sub.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
    const bool alnum = std::all_of(sub.begin(), sub.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
    if (sub.empty() || sub.size() > 8 || !alnum || (part == 0 && (!letters || sub.size() < 2))) return false;
    if (end == tag.size()) return true;
    start = end + 1;
  }
}

std::string DefaultDocLanguage() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    // "pt_BR.UTF-8@euro": the language and region before the code set and modifier.
    std::string tag(value, std::strcspn(value, ".@"));
    std::replace(tag.begin(), tag.end(), '_', '-');
    return IsLanguageTag(tag) && tag != "C" && tag != "POSIX" ? tag : "en-US";
  }
  return "en-US";
}

void Document::PrinterName(std::string v) {
  printerName_ = std::move(v);
  Notify("PrinterName");
}

std::string Document::sText() const {
  if (activeArea_ < Body || activeArea_ > Footer) return {};
  return rows_[activeArea_]->sText();
}

void Document::sText(std::string v) {
  if (KtRows* r = Rows(activeArea_)) r->sText(std::move(v));
}

void Document::ShowToolBar(bool v) {
  if (v == showToolBar_) return;
  showToolBar_ = v;
  ToolbarVisibilityChanged();
  Notify("ShowToolBar");
}

void Document::ShowPrintDlg(bool v) {
  showPrintDlg_ = v;
  Notify("ShowPrintDlg");
}

void Document::ShowGuideLines(bool v) {
  showGuideLines_ = v;
  Notify("ShowGuideLines");
}

void Document::AllowCellEditing(bool v) {
  allowCellEditing_ = v;
  Notify("AllowCellEditing");
}

void Document::AutoHighLightEditing(bool v) {
  autoHighLightEditing_ = v;
  Notify("AutoHighLightEditing");
}

void Document::MultiLineEditing(bool v) {
  multiLineEditing_ = v;
  MultiLineEditingChanged(v);
  Notify("MultiLineEditing");
}

std::int32_t Document::ActiveRow() {
  KtRows* r = Rows(activeArea_);
  return r ? r->ActiveRow() : 0;
}
void Document::ActiveRow(std::int32_t v) {
  if (KtRows* r = Rows(activeArea_)) r->ActiveRow(v);
}
std::int32_t Document::ActiveCol() {
  KtRows* r = Rows(activeArea_);
  return r ? r->ActiveCol() : 0;
}
void Document::ActiveCol(std::int32_t v) {
  if (KtRows* r = Rows(activeArea_)) r->ActiveCol(v);
}

bool Document::RaiseBeforeButtonClick(std::int16_t index, const std::string& key) {
  bool cancel = false;
  const std::vector<KtPrint4Events*> sinks = sinks_;
  for (KtPrint4Events* s : sinks) s->BeforeButtonClick(index, key, cancel);
  return cancel;
}

bool Document::RaiseEnterCell(std::int32_t row, std::int32_t col, std::int32_t area) {
  bool cancel = false;
  const std::vector<KtPrint4Events*> sinks = sinks_;
  const EventScope scope(*this, "EnterCell");
  for (KtPrint4Events* s : sinks) s->EnterCell(row, col, area, cancel);
  return cancel;
}

bool Document::RaiseLeaveCell(std::int32_t row, std::int32_t col, std::int32_t area) {
  bool cancel = false;
  const std::vector<KtPrint4Events*> sinks = sinks_;
  const EventScope scope(*this, "LeaveCell");
  for (KtPrint4Events* s : sinks) s->LeaveCell(row, col, area, cancel);
  return cancel;
}

void Document::RaiseClickCell(std::int32_t row, std::int32_t col, std::int32_t area, std::int16_t button) {
  const std::vector<KtPrint4Events*> sinks = sinks_;
  const EventScope scope(*this, "ClickCell");
  for (KtPrint4Events* s : sinks) s->ClickCell(row, col, area, button);
}

}  // namespace ktfolio
