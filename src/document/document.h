// The document under the print-document control: settings, defaults for new
// rows and cells, header, footer, start, body and end rows of text cells,
// access by attribute name, pagination, the event sinks and the error record.
// What draws it, saves it or shows it takes it by reference; KtPrint4 (in
// control/) is the facade a host talks to. Failures are never thrown to the
// host: they land in the last-error record (GetLastError).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "document/design_text.h"
#include "document/errors.h"
#include <ktfolio/events.h>
#include "model/enums.h"
#include "model/host.h"
#include "model/records.h"
#include "model/rows.h"
#include "model/text_width.h"
#include "platform/automation/font.h"
#include "platform/automation/variant.h"
#include "platform/container/container.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace ktfolio {

// What a written document says of itself: title, author, subject, keywords, language.
using DocumentMetadata = win::PdfMetadata;

// The language of the process locale as a BCP 47 tag (LC_ALL, LC_MESSAGES or
// LANG "pt_BR.UTF-8" is "pt-BR"); "en-US" when the locale names none.
std::string DefaultDocLanguage();
// True for a well-formed BCP 47 tag: a primary language of 2 to 8 letters,
// then subtags of 1 to 8 letters or digits, separated by hyphens.
bool IsLanguageTag(std::string_view tag);

// Page numbers are 16-bit.
inline constexpr std::int32_t kMaxPages = 32767;

class Document : public DocumentHost {
 public:
  // A new document in `container` (a private default container when null):
  // instance start-up, then the initial property values.
  explicit Document(Container* container = nullptr);
  ~Document() override;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  Container& Site() { return *container_; }

  // ---- events -----------------------------------------------------------------
  void Advise(KtPrint4Events* sink);
  void Unadvise(KtPrint4Events* sink);
  // Marks the control as inside a host's event handler while it lives (the
  // Raise* members set one). A page loop or the cell editor holds rows across
  // the handler, so operations that free rows are refused meanwhile.
  class EventScope {
   public:
    EventScope(Document& control, const char* event) : c_(control), outer_(control.eventName_) {
      ++c_.eventDepth_;
      c_.eventName_ = event;
    }
    ~EventScope() {
      --c_.eventDepth_;
      c_.eventName_ = outer_;
    }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;

   private:
    Document& c_;
    const char* outer_;
  };
  bool InsideEvent() const { return eventDepth_ > 0; }
  // The error an operation that frees rows records (or throws) inside an event.
  Error RowsHeldError(const char* operation) const;

  // ---- page setup ---------------------------------------------------------------
  std::int32_t ScaleMode() const { return scaleMode_; }
  void ScaleMode(std::int32_t v);
  std::int32_t PageSize() const { return pageSize_; }
  void PageSize(std::int32_t v);
  float PaperWidth() const { return paperWidth_; }
  void PaperWidth(float v);
  float PaperLength() const { return paperLength_; }
  void PaperLength(float v);
  std::int32_t Orientation() const { return orientation_; }
  void Orientation(std::int32_t v);
  float Marginleft() const { return marginLeft_; }
  void Marginleft(float v);
  float MarginRight() const { return marginRight_; }
  void MarginRight(float v);
  float MarginTop() const { return marginTop_; }
  void MarginTop(float v);
  float MarginBottom() const { return marginBottom_; }
  void MarginBottom(float v);
  float MarginHeader() const { return marginHeader_; }
  void MarginHeader(float v);
  float MarginFooter() const { return marginFooter_; }
  void MarginFooter(float v);

  // ---- defaults for new rows and cells ---------------------------------------------
  float ColSpacing() const;
  void ColSpacing(float v);
  float RowSpacing() const;
  void RowSpacing(float v);
  float dRowIndentTop() const;
  void dRowIndentTop(float v);
  float dRowIndentBottom() const;
  void dRowIndentBottom(float v);
  float dRowHeight() const;
  void dRowHeight(float v);
  float dColIndentFirst() const;
  void dColIndentFirst(float v);
  float dColIndentLeft() const;
  void dColIndentLeft(float v);
  float dColIndentRight() const;
  void dColIndentRight(float v);
  bool dFitHeightToText() const { return defaults_.dFitHeightToText; }
  void dFitHeightToText(bool v);
  std::int32_t dColEditType() const { return defaults_.dColEditType; }
  void dColEditType(std::int32_t v);
  FontPtr Font() const { return font_; }
  void Font(FontPtr f);
  std::uint32_t dFontColor() const { return defaults_.dFontColor; }
  void dFontColor(std::uint32_t v);
  std::uint32_t dColShadowColor() const { return defaults_.dColShadowColor; }
  void dColShadowColor(std::uint32_t v);
  std::uint32_t dColShadowHeavyColor() const { return defaults_.dColShadowHeavyColor; }
  void dColShadowHeavyColor(std::uint32_t v);
  std::uint32_t dColPenColor() const { return defaults_.dColPenColor; }
  void dColPenColor(std::uint32_t v);
  std::uint32_t dColBrushColor() const { return defaults_.dColBrushColor; }
  void dColBrushColor(std::uint32_t v);
  std::int32_t dFontStyle() const { return defaults_.dFontStyle; }
  void dFontStyle(std::int32_t v);
  std::int32_t dColAlignPos() const { return defaults_.dColAlignPos; }
  void dColAlignPos(std::int32_t v);
  std::int32_t dColPenStyle() const { return defaults_.dColPenStyle; }
  void dColPenStyle(std::int32_t v);
  std::int32_t dColShadowSize() const { return defaults_.dColShadowSize; }
  void dColShadowSize(std::int32_t v);
  std::int16_t dColLineBottom() const { return defaults_.dColLineBottom; }
  void dColLineBottom(std::int16_t v);
  std::int16_t dColLineTop() const { return defaults_.dColLineTop; }
  void dColLineTop(std::int16_t v);
  std::int16_t dColLineLeft() const { return defaults_.dColLineLeft; }
  void dColLineLeft(std::int16_t v);
  std::int16_t dColLineRight() const { return defaults_.dColLineRight; }
  void dColLineRight(std::int16_t v);
  bool dColClipping() const { return defaults_.dColClipping; }
  void dColClipping(bool v);
  bool dColWordWrap() const { return defaults_.dColWordWrap; }
  void dColWordWrap(bool v);
  bool dColFillCell() const { return defaults_.dColFillCell; }
  void dColFillCell(bool v);
  std::int32_t dColsLayoutType() const { return defaults_.dColsLayoutType; }
  void dColsLayoutType(std::int32_t v);
  std::int32_t dColsPerRow() const { return defaults_.dColsPerRow; }
  void dColsPerRow(std::int32_t v);
  bool dInheritLastRow() const { return defaults_.dInheritLastRow; }
  void dInheritLastRow(bool v);

  // ---- presentation ---------------------------------------------------------------
  std::int32_t ColorResolution() const override { return colorResolution_; }
  void ColorResolution(std::int32_t v);
  std::int32_t EditEnterAction() const { return editEnterAction_; }
  void EditEnterAction(std::int32_t v);
  const std::string& PrinterName() const { return printerName_; }
  void PrinterName(std::string v);
  std::string sText() const;
  void sText(std::string v);
  bool ShowToolBar() const { return showToolBar_; }
  void ShowToolBar(bool v);
  bool ShowPrintDlg() const { return showPrintDlg_; }
  void ShowPrintDlg(bool v);
  bool ShowGuideLines() const override { return showGuideLines_; }
  void ShowGuideLines(bool v);
  std::int32_t StartBodyRow() const { return body().StartBodyRow(); }
  std::int32_t EndBodyRow() const { return body().EndBodyRow(); }

  // ---- what the written document says of itself (PDF metadata) ------------------------
  const std::string& DocTitle() const { return meta_.title; }
  void DocTitle(std::string v);
  const std::string& DocAuthor() const { return meta_.author; }
  void DocAuthor(std::string v);
  const std::string& DocSubject() const { return meta_.subject; }
  void DocSubject(std::string v);
  const std::string& DocKeywords() const { return meta_.keywords; }
  void DocKeywords(std::string v);
  // A BCP 47 language tag ("en-US", "de", "sr-Latn-RS"); anything else records
  // 380 and keeps the old one. A new document takes the process locale's.
  const std::string& DocLanguage() const { return meta_.language; }
  void DocLanguage(std::string v);
  // Printed documents carry a structure tree for screen readers (on by
  // default); it makes a long listing several times slower to write.
  bool TaggedPdf() const { return meta_.tagged; }
  void TaggedPdf(bool v);
  const DocumentMetadata& Metadata() const { return meta_; }
  // How many processes draw the pages of a long untagged PDF: 0 (the default)
  // one a core, 1 the caller's alone. A negative count records 380.
  std::int32_t PdfJobs() const { return pdfJobs_; }
  void PdfJobs(std::int32_t v);
  // Whether a host's handler may hear NewPage (the pages are then drawn in
  // order, by this process).
  bool NewPageHeard() const;

  // ---- editing selection ------------------------------------------------------------
  bool AllowCellEditing() const { return allowCellEditing_; }
  void AllowCellEditing(bool v);
  bool AutoHighLightEditing() const { return autoHighLightEditing_; }
  void AutoHighLightEditing(bool v);
  bool MultiLineEditing() const { return multiLineEditing_; }
  void MultiLineEditing(bool v);
  std::int32_t ActiveArea() const { return activeArea_; }
  void ActiveArea(std::int32_t v) { activeArea_ = v; }
  std::int32_t ActiveRow();
  void ActiveRow(std::int32_t v);
  std::int32_t ActiveCol();
  void ActiveCol(std::int32_t v);

  // ---- row building -------------------------------------------------------------------
  using RowPlace = ktfolio::RowPlace;
  // Adds a row at `place`. No items: a row of dColsPerRow empty cells; one
  // VariantArray: the item list itself; anything else: one cell per argument,
  // AddRow("a", 2, true).
  template <typename... Items>
  bool AddRowTo(RowPlace place, Items&&... items) {
    if constexpr (sizeof...(Items) == 0) {
      return AddRowItems(place, nullptr);
    } else if constexpr (sizeof...(Items) == 1 && (std::is_same_v<std::remove_cvref_t<Items>, VariantArray> && ...)) {
      return AddRowItems(place, &items...);
    } else {
      const VariantArray list{Variant(std::forward<Items>(items))...};
      return AddRowItems(place, &list);
    }
  }
  template <typename... Items>
  bool AddRow(Items&&... items) { return AddRowTo(RowPlace::Body, std::forward<Items>(items)...); }
  // A body row of texts as they are, each read as AddRow reads a string item
  // ("#2880#Total" included): what a binding holding plain strings passes
  // without making a variant of each. No texts: a row of empty cells.
  bool AddRowTexts(std::span<const std::string_view> texts);
  // The items of a row being added: variants, or texts.
  struct RowItems {
    const VariantArray* variants = nullptr;
    std::span<const std::string_view> texts;
    std::size_t size() const { return variants ? variants->size() : texts.size(); }
  };
  template <typename... Items>
  bool AddStartDocRow(Items&&... items) { return AddRowTo(RowPlace::StartDoc, std::forward<Items>(items)...); }
  template <typename... Items>
  bool AddEndDocRow(Items&&... items) { return AddRowTo(RowPlace::EndDoc, std::forward<Items>(items)...); }
  template <typename... Items>
  bool AddHeaderRow(Items&&... items) { return AddRowTo(RowPlace::Header, std::forward<Items>(items)...); }
  template <typename... Items>
  bool AddFooterRow(Items&&... items) { return AddRowTo(RowPlace::Footer, std::forward<Items>(items)...); }
  bool SetTextRow(std::int32_t row, std::int32_t parea, const VariantArray& Items);
  bool RemoveRows(std::int32_t RowFrom, std::int32_t RowTo, std::int32_t PageArea = Body);
  void ClearAll();
  std::int32_t LastRow() const { return body().count(); }

  // ---- cells and rows by name ------------------------------------------------------------
  bool SetProperty(std::int32_t row, std::int32_t col, const std::string& pName, const Variant& Value,
                   std::int32_t PageArea = Body);
  Variant GetProperty(std::int32_t row, std::int32_t col, const std::string& pName, std::int32_t PageArea = Body);
  void SetFrameControl(std::int32_t row, std::int32_t col, std::int32_t FrameCtlType, std::int32_t FrameCtlFlags,
                       float FrameCtlSize, std::int32_t parea = Body);
  void SetEdge(std::int32_t row, std::int32_t col, std::int32_t EdgeType, std::int32_t EdgeFlags,
               std::int32_t parea = Body);
  bool OutLineBlock(std::int16_t PenSize, std::int32_t fgLines, std::int32_t row, std::int32_t col,
                    bool fgUseDefaultPen = true, std::int32_t parea = Body, std::int32_t Row2 = 0,
                    std::int32_t Col2 = 0);
  bool SetPageBreak(std::int32_t row);
  void SetGuideRow(std::int32_t row, std::int32_t parea = Body);
  std::int32_t ColumnAtPosition(std::int32_t row, float x, std::int32_t area);

  // ---- pagination ---------------------------------------------------------------------------
  void RePaging(std::int16_t pFrom = 1, bool ClearPageBreaks = false);
  std::int16_t Pages();
  // False when the rows would need more than kMaxPages pages (nothing recorded).
  bool RePageFrom(std::int32_t row, bool ClearPageBreaks);
  void PlaceBandRows();
  bool NeedsRepaging() const { return needsRepaging_; }
  void NeedsRepaging(bool v) { needsRepaging_ = v; }
  bool RepageOnPaint() const { return repageOnPaint_; }
  void RepageOnPaint(bool v) { repageOnPaint_ = v; }
  // What a paint does first: the whole body when a setting marked it for
  // repagination, else from the page shown when a cell or row change did.
  void RepaginateForPaint(std::int16_t pageShown);
  bool PrinterSetupChanged() const { return printerSetupChanged_; }
  void PrinterSetupChanged(bool v) { printerSetupChanged_ = v; }
  void ComputePageInfo();

  // ---- errors ----------------------------------------------------------------------------------
  void ClearError() { error_.ErrorNumber = 0; }
  bool GetLastError(std::int32_t& ErrorNumber, std::string& ErrorDescription, std::string& ErrorSource) const;
  void RecordError(std::int32_t number, const std::string& source, const std::string& description) override;
  using DocumentHost::RecordError;
  // How many failures were recorded so far: a host tells whether one call
  // failed by comparing it before and after, without clearing the record.
  std::uint64_t ErrorsRecorded() const { return errorsRecorded_; }

  // The design buffer: the last template text written or loaded.
  ByteArray DesignBuffer() const { return designBuffer_.Bytes(); }
  bool DesigMode() const { return designMode_; }
  Variant a_Designer() const { return Variant(); }
  void a_Designer(const Variant&) {}
  // Library-internal: tells the container that a property changed, for the
  // property pages that set one by name and must also have the form saved.
  void NotifyPropertyChanged(const std::string& name) { Notify(name); }
  // Library-internal: writes the defaults record as it is (twips, no notification).
  void StoreDefaults(const tpDefaults& d) { defaults_ = d; }

  // ---- events raised by what shows the document -------------------------------------------------
  // Raise BeforeButtonClick, EnterCell and LeaveCell to every sink; true when one of them cancelled.
  bool RaiseBeforeButtonClick(std::int16_t index, const std::string& key);
  bool RaiseEnterCell(std::int32_t row, std::int32_t col, std::int32_t area);
  bool RaiseLeaveCell(std::int32_t row, std::int32_t col, std::int32_t area);
  void RaiseClickCell(std::int32_t row, std::int32_t col, std::int32_t area, std::int16_t button);
  // The caption of a shown control while pages print ("Printing Page 3 ", ""
  // at the end); a document that is not shown has none.
  virtual void PrintingCaption(const std::string& caption) {}
  // What a shown control refreshes after the print dialog.
  virtual void RefreshToolbarAfterPrintDialog() {}

  // ---- library-internal accessors -----------------------------------------------------------------
  tpPageInfo PageInfo() const override { return pageInfo_; }
  tpDefaults Defaults() const override { return defaults_; }
  bool InheritsLastRow() const override { return defaults_.dInheritLastRow; }
  std::int32_t CurrentPage() const override { return currentPage_; }
  void CurrentPage(std::int32_t p) { currentPage_ = p; }
  std::int32_t PageCount() const override { return pageCount_; }
  void PageCount(std::int32_t n) { pageCount_ = n; }
  // Raises NewPage to every sink; the loop goes on with what they leave in the arguments.
  void RaiseNewPage(std::int32_t& page, std::int32_t& row, std::int32_t& firstOrLast);
  double Zoom() const override { return zoom_; }
  void Zoom(double z) { zoom_ = z; }
  // The row collection of an area (created on first use); nullptr outside 0..2.
  KtRows* Rows(std::int32_t area);
  // Device context that rows are measured on (the preview surface's).
  win::HDC MeasureDC();

 protected:
  // What the control on screen does when these settings change; nothing here.
  virtual void ToolbarVisibilityChanged() {}
  virtual void MultiLineEditingChanged(bool multiLine) {}

 protected:
  enum class Kind { Center, Start, End };
  bool AddRowItems(RowPlace place, const VariantArray* items);
  bool AddBodyRow(Kind kind, const RowItems* items);
  bool AddBandRow(std::int32_t area, const RowItems* items);
  bool PlaceBodyRows(std::int32_t first, std::int16_t p, float y, bool clearPageBreaks);
  struct SavedBody;  // rowbuilding.cpp
  SavedBody SaveBody(std::int32_t from) const;
  void RestoreBody(const SavedBody& saved);
  bool AcceptLength(float v);
  KtRows& body() const { return *rows_[Body]; }
  KtRows& RowsOrThrow(std::int32_t area);
  void Notify(const std::string& name);
  // True, with RowsHeldError recorded, when called from inside an event handler.
  bool RefusedInsideEvent(const char* operation);
  void SetMargin(float& stored, float& twips, float v, const char* notifyName);
  // The page's margins in twips from the margins as set (in the scale mode), then the page info.
  void MarginsToTwips();
  void SetTwipsDefault(float& twips, float v, const char* notifyName, bool repage);

 protected:
  // The control's persistence and preview (control/) read and write these directly.
  std::unique_ptr<Container> ownContainer_;
  Container* container_;
  std::vector<KtPrint4Events*> sinks_;
  std::int32_t pdfJobs_ = 0;
  std::int32_t eventDepth_ = 0;
  const char* eventName_ = "";

  tpPageInfo pageInfo_;
  tpDefaults defaults_;
  std::int32_t scaleMode_ = eTwip;
  std::int32_t pageSize_ = s_A4;
  std::int32_t orientation_ = Portrait;
  float paperWidth_ = 11905, paperLength_ = 16837;
  float marginLeft_ = 1440, marginRight_ = 1440, marginTop_ = 1440, marginBottom_ = 1440;
  float marginHeader_ = 500, marginFooter_ = 1000;
  FontPtr font_;
  std::int32_t colorResolution_ = cr_256_Colors;
  std::int32_t editEnterAction_ = ppEnterAddCRLF;
  std::string printerName_;
  bool showToolBar_ = true, showPrintDlg_ = true, showGuideLines_ = false;
  DocumentMetadata meta_{"", "", "", "", DefaultDocLanguage()};
  bool allowCellEditing_ = false, autoHighLightEditing_ = false, multiLineEditing_ = false;
  std::int32_t activeArea_ = Body;

  std::array<std::unique_ptr<KtRows>, 3> rows_;
  std::int16_t pages_ = 1;
  std::int16_t pageCountCopy_ = 0;
  bool needsRepaging_ = false;
  bool repageOnPaint_ = false;
  bool printerSetupChanged_ = true;
  double zoom_ = 100;
  std::int32_t currentPage_ = 0;
  std::int32_t pageCount_ = 0;
  ErrorRecord error_;
  std::uint64_t errorsRecorded_ = 0;
  win::HDC measureDC_ = nullptr;
  ColumnWidths bodyWidths_;  // of the body row added last, for the next one
  // Persistence (control/, through persist/).
  DesignText designBuffer_;
  ByteArray settingsBuffer_;
  bool designMode_ = false;
};

// The portrait paper of a paper size, in twips; false for sizes not in the table.
bool PaperSizeTwips(std::int32_t pageSize, float& width, float& height);

}  // namespace ktfolio
