// KtPrint4: the print-document control. A host composes a document of header,
// footer, start, body and end rows of text cells, styles cells by attribute
// name and paginates it. Failures are never thrown to the host: they land in
// the last-error record (GetLastError).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "control/errors.h"
#include "control/events.h"
#include "model/enums.h"
#include "model/host.h"
#include "model/records.h"
#include "model/rows.h"
#include "platform/automation/font.h"
#include "platform/automation/variant.h"
#include "platform/container/container.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace ktfolio {

class PropertyBag;

// Page numbers are 16-bit.
inline constexpr std::int32_t kMaxPages = 32767;

class KtPrint4 : public DocumentHost {
 public:
  // A new control in `container` (a private default container when null):
  // instance start-up, then the initial property values.
  explicit KtPrint4(Container* container = nullptr);
  ~KtPrint4() override;
  KtPrint4(const KtPrint4&) = delete;
  KtPrint4& operator=(const KtPrint4&) = delete;

  Container& Site() { return *container_; }

  // ---- events -----------------------------------------------------------------
  void Advise(KtPrint4Events* sink);
  void Unadvise(KtPrint4Events* sink);
  // Marks the control as inside a host's event handler while it lives (the
  // Raise* members set one). A page loop or the cell editor holds rows across
  // the handler, so operations that free rows are refused meanwhile.
  class EventScope {
   public:
    EventScope(KtPrint4& control, const char* event) : c_(control), outer_(control.eventName_) {
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
    KtPrint4& c_;
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
  bool AddRow(const VariantArray& Items);
  bool AddStartDocRow(const VariantArray& Items);
  bool AddEndDocRow(const VariantArray& Items);
  bool AddHeaderRow(const VariantArray& Items);
  bool AddFooterRow(const VariantArray& Items);
  // Items absent: a row of dColsPerRow empty cells.
  bool AddRow() { return AddBodyRow(Kind::Center, nullptr); }
  bool AddStartDocRow() { return AddBodyRow(Kind::Start, nullptr); }
  bool AddEndDocRow() { return AddBodyRow(Kind::End, nullptr); }
  bool AddHeaderRow() { return AddBandRow(Header, nullptr); }
  bool AddFooterRow() { return AddBandRow(Footer, nullptr); }
  // Convenience: items as arguments, AddRow("a", 2, true). A lone array is the item list itself.
  template <typename A, typename... Rest>
    requires(sizeof...(Rest) > 0 || !std::is_same_v<std::remove_cvref_t<A>, VariantArray>)
  bool AddRow(A&& a, Rest&&... rest) {
    const VariantArray items{Variant(std::forward<A>(a)), Variant(std::forward<Rest>(rest))...};
    return AddRow(items);
  }
  template <typename A, typename... Rest>
    requires(sizeof...(Rest) > 0 || !std::is_same_v<std::remove_cvref_t<A>, VariantArray>)
  bool AddStartDocRow(A&& a, Rest&&... rest) {
    const VariantArray items{Variant(std::forward<A>(a)), Variant(std::forward<Rest>(rest))...};
    return AddStartDocRow(items);
  }
  template <typename A, typename... Rest>
    requires(sizeof...(Rest) > 0 || !std::is_same_v<std::remove_cvref_t<A>, VariantArray>)
  bool AddEndDocRow(A&& a, Rest&&... rest) {
    const VariantArray items{Variant(std::forward<A>(a)), Variant(std::forward<Rest>(rest))...};
    return AddEndDocRow(items);
  }
  template <typename A, typename... Rest>
    requires(sizeof...(Rest) > 0 || !std::is_same_v<std::remove_cvref_t<A>, VariantArray>)
  bool AddHeaderRow(A&& a, Rest&&... rest) {
    const VariantArray items{Variant(std::forward<A>(a)), Variant(std::forward<Rest>(rest))...};
    return AddHeaderRow(items);
  }
  template <typename A, typename... Rest>
    requires(sizeof...(Rest) > 0 || !std::is_same_v<std::remove_cvref_t<A>, VariantArray>)
  bool AddFooterRow(A&& a, Rest&&... rest) {
    const VariantArray items{Variant(std::forward<A>(a)), Variant(std::forward<Rest>(rest))...};
    return AddFooterRow(items);
  }
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

  // ---- output (drawn by src/render) ----------------------------------------------------
  // Writes page `page` as a PNG, as the preview's page surface shows it at
  // `zoom` percent (10..250): page colour, drop shadow, content (without
  // `shadow`, the page alone). The PNG records its resolution, zoom percent of
  // the screen's. Returns false and records the error on a bad page or zoom or
  // an unwritable file; the document is left unchanged either way.
  [[nodiscard]] bool ExportPng(const std::string& file, std::int16_t page, std::int16_t zoom = 100,
                               bool shadow = true);
  // The same at a resolution of `dpi` dots per inch (10..600), by default the
  // page alone, as paper: A4 at 300 dpi is 2480 x 3508 pixels.
  [[nodiscard]] bool ExportPngDpi(const std::string& file, std::int16_t page, std::int32_t dpi, bool shadow = false);
  // Writes pages fromPage..toPage through the print path at 600 dpi to a PDF
  // file, one PDF page per page, sized to the paper. Same failure rules; a
  // range that prints no page (an empty body) writes no file and records 60107.
  [[nodiscard]] bool ExportPdf(const std::string& file, std::int16_t fromPage, std::int16_t toPage);

  // ---- printing (src/printing/print_doc.cpp) ------------------------------------------------
  // Prints pages StartPage..EndPage on PrinterName through the spooler, first
  // showing the print dialog when ShowDlg (which may change printer, pages,
  // copies and orientation). The range is not checked against Pages(): a range
  // without pages makes an empty job, which prints nothing. Failures are
  // recorded, never thrown. ShowDlg and Copies are by reference: Copies comes
  // back as the dialog left it.
  void PrintDoc(std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies);
  // The same for values that cannot be written back (literals, other types):
  // variables of the exact types bind to the form above instead.
  void PrintDoc(std::int16_t StartPage, std::int16_t EndPage, const bool& ShowDlg = false,
                const std::int16_t& Copies = 1) {
    bool show = ShowDlg;
    std::int16_t copies = Copies;
    PrintDoc(StartPage, EndPage, show, copies);
  }
  // The toolbar's caption while pages print ("Printing Page 3 ", "" at the
  // end) and its refresh after the print dialog. Both only act while the
  // control is shown.
  void PrintingCaption(const std::string& caption);
  void RefreshToolbarAfterPrintDialog();

  // ---- preview on screen (viewer/preview.cpp) -----------------------------------
  // Shows page iPage (1..the page count taken when shown) in the viewport;
  // out of range records 60107 and changes nothing.
  void Preview(std::int16_t iPage);
  // -1 fits the page width, 0 the whole page, 10..250 is a percentage; any other
  // value records 60110. ZoomValue is left as given. Fitting needs the
  // viewport: a control without a window keeps its zoom.
  void SetZoom(std::int16_t& ZoomValue);
  void Refresh();
  // Page buttons, page label and zoom label of the toolbar, while shown.
  void RefreshStatus();
  std::int16_t PreviewPage() const;
  void PreviewPage(std::int16_t page);
  // The page count as taken when the control was shown and after every
  // pagination since: what bounds Preview and the page buttons.
  std::int16_t PageCountCopy() const { return pageCountCopy_; }
  bool Shown() const;

  // A windowed control: creates the control's window as a child of `parent`,
  // with its viewport. Once only; the windows live until the control ends.
  void CreateControlWindow(win::HWND parent);
  win::HWND hWnd() const;      // nullptr for a control without a window
  win::HWND ViewportWindow() const;
  // The container's show, hide and resize of a windowed control.
  void ContainerShow();
  void ContainerHide();
  void ContainerResize();

  // What the toolbar hands the control: its windows (their captions and
  // enabled states are the status) and a refresh of its buttons. `keepAlive`
  // owns the toolbar; the control releases it before its own windows.
  struct ToolbarParts {
    win::HWND frame = nullptr;
    std::array<win::HWND, 7> cmdTool{};
    win::HWND zoomLabel = nullptr;  // PlaceHolder1
    win::HWND pageLabel = nullptr;  // PlaceHolder2
    std::int32_t height = 0;
    std::function<void()> refreshButtons;
    std::shared_ptr<void> keepAlive;
  };
  void AttachToolbar(ToolbarParts parts);
  // The toolbar frame's caption ("Printing Page 3 " while the print loop runs).
  void ToolbarCaption(const std::string& text);
  // Raises BeforeButtonClick to every sink; true when one of them cancelled.
  bool RaiseBeforeButtonClick(std::int16_t index, const std::string& key);

  // What the preview hands the in-cell editor (edit/): double-clicks with the
  // pointer in viewport pixels and the page offset, the cell a click hit (or
  // none) before ClickCell is raised, the double-click message the editor posts
  // to the control's window to run a pending move, and MultiLineEditing
  // changes. `keepAlive` owns the editor; it goes before the control's windows.
  struct CellEditorHooks {
    std::function<void(std::int32_t x, std::int32_t y, std::int32_t offsetX, std::int32_t offsetY)> doubleClick;
    std::function<void(bool hit, std::int32_t area, std::int32_t row, std::int32_t col)> click;
    std::function<void()> moveMessage;
    std::function<void(bool multiLine)> multiLine;
    std::shared_ptr<void> keepAlive;
  };
  void AttachCellEditor(CellEditorHooks hooks);
  // The control window's own double-click message (posted by the editor).
  void ControlDoubleClickMessage();
  // Raise EnterCell / LeaveCell to every sink; true when one of them cancelled.
  bool RaiseEnterCell(std::int32_t row, std::int32_t col, std::int32_t area);
  bool RaiseLeaveCell(std::int32_t row, std::int32_t col, std::int32_t area);

  // ---- errors ----------------------------------------------------------------------------------
  void ClearError() { error_.ErrorNumber = 0; }
  bool GetLastError(std::int32_t& ErrorNumber, std::string& ErrorDescription, std::string& ErrorSource) const;
  void RecordError(std::int32_t number, const std::string& source, const std::string& description) override;
  using DocumentHost::RecordError;
  // How many failures were recorded so far: a host tells whether one call
  // failed by comparing it before and after, without clearing the record.
  std::uint64_t ErrorsRecorded() const { return errorsRecorded_; }

  // ---- templates and property persistence (defined in persist/) -------------------------------
  // Template files, at run time only (the container's UserMode): false with the
  // failure recorded, or false doing nothing in design mode. A failed save
  // leaves an existing file as it was.
  [[nodiscard]] bool SaveAsTemplate(const std::string& TemplateName);
  [[nodiscard]] bool LoadFromTemplate(const std::string& TemplateName);
  // The whole document as template text (Windows-1252 bytes, CR LF lines).
  void GetDsnArray(ByteArray& Dsn);
  // Replaces every row from template text; with fgOnlyDesign only the body
  // markers StartBodyRow/EndBodyRow of the settings are taken.
  void SetDsnArray(const ByteArray& Dsn, bool fgOnlyDesign = false);
  // The settings section alone.
  void GetProArray(ByteArray& Pro);
  bool DesigMode() const { return designMode_; }
  void DesigMode(bool v);
  Variant a_Designer() const { return Variant(); }
  void a_Designer(const Variant&) {}
  // The container's property bag: a new control's defaults, reading saved
  // properties (then the stored design, if any), writing them. Reading throws
  // Error when a stored value does not convert to its key's type.
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag);
  // The design buffer: the last template text written or loaded.
  const ByteArray& DesignBuffer() const { return designBuffer_; }
  // Library-internal: tells the container that a property changed, for the
  // property pages that set one by name and must also have the form saved.
  void NotifyPropertyChanged(const std::string& name) { Notify(name); }
  // Library-internal: writes the defaults record as it is (twips, no notification).
  void StoreDefaults(const tpDefaults& d) { defaults_ = d; }

  // ---- library-internal accessors -----------------------------------------------------------------
  tpPageInfo PageInfo() const override { return pageInfo_; }
  tpDefaults Defaults() const override { return defaults_; }
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

 private:
  enum class Kind { Center, Start, End };
  bool AddBodyRow(Kind kind, const VariantArray* items);
  bool AddBandRow(std::int32_t area, const VariantArray* items);
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
  void SetTwipsDefault(float& twips, float v, const char* notifyName, bool repage);

  std::unique_ptr<Container> ownContainer_;
  Container* container_;
  std::vector<KtPrint4Events*> sinks_;
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
  // The on-screen preview's state and windows (viewer/preview.cpp); shared_ptr
  // so this header needs no definition of it.
  struct PreviewState;
  PreviewState& PreviewData() const;
  void PaintPreview(win::HDC dc);
  void ClickPreview(std::int32_t x, std::int32_t y, std::int32_t offsetX, std::int32_t offsetY);
  void CellEditorMultiLine(bool v);
  mutable std::shared_ptr<PreviewState> preview_;

  // Persistence (persist/).
  // False with the failure recorded; a failure names `file` when one is given.
  bool RunTemplateReader(bool fgOnlyDesign, const std::string& file = {});
  void ExchangeProperties(const PropertyBag* in, PropertyBag* out);  // one of the two
  ByteArray designBuffer_;
  ByteArray settingsBuffer_;
  bool designMode_ = false;
};

// The portrait paper of a paper size, in twips; false for sizes not in the table.
bool PaperSizeTwips(std::int32_t pageSize, float& width, float& height);

}  // namespace ktfolio
