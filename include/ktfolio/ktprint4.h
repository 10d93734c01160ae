// KtPrint4, the print-document control as a host program uses it: a document
// of rows of text cells (header and footer bands repeated on every page,
// start, body and end rows), styled by attribute name, paginated with real
// font metrics, written as PNG pages or a PDF, printed through the spooler,
// saved and loaded as template text.
//
// Failures are never thrown: each call that fails records its error (number,
// description, source), which GetLastError reads back; the last one recorded
// wins. Lengths are in the unit of ScaleMode, colours are OLE colours
// (0x00BBGGRR, or a system colour 0x800000nn). The class hides its
// implementation, so the library's internals can change without a host
// being rebuilt.
#pragma once

#include <ktfolio/constants.h>
#include <ktfolio/events.h>
#include <ktfolio/export.h>
#include <ktfolio/font.h>
#include <ktfolio/variant.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace ktfolio {

class KtPrint4Impl;

class KTFOLIO_API KtPrint4 {
 public:
  // A new control with its initial property values.
  KtPrint4();
  ~KtPrint4();
  KtPrint4(const KtPrint4&) = delete;
  KtPrint4& operator=(const KtPrint4&) = delete;

  // ---- events --------------------------------------------------------------
  // `sink` receives the events until Unadvise; the host keeps it alive.
  void Advise(KtPrint4Events* sink);
  void Unadvise(KtPrint4Events* sink);

  // ---- page setup ----------------------------------------------------------
  std::int32_t ScaleMode() const;  // ctsPrinterScale
  void ScaleMode(std::int32_t v);
  std::int32_t PageSize() const;  // ctsPrinterPaperSize
  void PageSize(std::int32_t v);
  float PaperWidth() const;
  void PaperWidth(float v);
  float PaperLength() const;
  void PaperLength(float v);
  std::int32_t Orientation() const;  // ctsOrientation
  void Orientation(std::int32_t v);
  float Marginleft() const;
  void Marginleft(float v);
  float MarginRight() const;
  void MarginRight(float v);
  float MarginTop() const;
  void MarginTop(float v);
  float MarginBottom() const;
  void MarginBottom(float v);
  float MarginHeader() const;
  void MarginHeader(float v);
  float MarginFooter() const;
  void MarginFooter(float v);

  // ---- defaults for new rows and cells ---------------------------------------
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
  bool dFitHeightToText() const;
  void dFitHeightToText(bool v);
  std::int32_t dColEditType() const;
  void dColEditType(std::int32_t v);
  // The default font, shared: changing the object changes the control's font.
  FontPtr Font() const;
  void Font(FontPtr f);
  std::uint32_t dFontColor() const;
  void dFontColor(std::uint32_t v);
  std::uint32_t dColShadowColor() const;
  void dColShadowColor(std::uint32_t v);
  std::uint32_t dColShadowHeavyColor() const;
  void dColShadowHeavyColor(std::uint32_t v);
  std::uint32_t dColPenColor() const;
  void dColPenColor(std::uint32_t v);
  std::uint32_t dColBrushColor() const;
  void dColBrushColor(std::uint32_t v);
  std::int32_t dFontStyle() const;  // ppStyleConstants
  void dFontStyle(std::int32_t v);
  std::int32_t dColAlignPos() const;  // ppPositionConstants
  void dColAlignPos(std::int32_t v);
  std::int32_t dColPenStyle() const;  // ctsPenStyle
  void dColPenStyle(std::int32_t v);
  std::int32_t dColShadowSize() const;
  void dColShadowSize(std::int32_t v);
  std::int16_t dColLineBottom() const;
  void dColLineBottom(std::int16_t v);
  std::int16_t dColLineTop() const;
  void dColLineTop(std::int16_t v);
  std::int16_t dColLineLeft() const;
  void dColLineLeft(std::int16_t v);
  std::int16_t dColLineRight() const;
  void dColLineRight(std::int16_t v);
  bool dColClipping() const;
  void dColClipping(bool v);
  bool dColWordWrap() const;
  void dColWordWrap(bool v);
  bool dColFillCell() const;
  void dColFillCell(bool v);
  std::int32_t dColsLayoutType() const;  // ctsColsLayoutType
  void dColsLayoutType(std::int32_t v);
  std::int32_t dColsPerRow() const;
  void dColsPerRow(std::int32_t v);
  bool dInheritLastRow() const;
  void dInheritLastRow(bool v);

  // ---- presentation and editing --------------------------------------------
  std::int32_t ColorResolution() const;  // ctsColorResolution
  void ColorResolution(std::int32_t v);
  std::int32_t EditEnterAction() const;  // ppEnterActionConstants
  void EditEnterAction(std::int32_t v);
  std::string PrinterName() const;
  void PrinterName(std::string v);
  std::string sText() const;
  void sText(std::string v);
  bool ShowToolBar() const;
  void ShowToolBar(bool v);
  bool ShowPrintDlg() const;
  void ShowPrintDlg(bool v);
  bool ShowGuideLines() const;
  void ShowGuideLines(bool v);
  bool AllowCellEditing() const;
  void AllowCellEditing(bool v);
  bool AutoHighLightEditing() const;
  void AutoHighLightEditing(bool v);
  bool MultiLineEditing() const;
  void MultiLineEditing(bool v);
  std::int32_t ActiveArea() const;  // ctsPageArea
  void ActiveArea(std::int32_t v);
  std::int32_t ActiveRow();
  void ActiveRow(std::int32_t v);
  std::int32_t ActiveCol();
  void ActiveCol(std::int32_t v);
  // What a written PDF says of itself (Info dictionary and XMP metadata): its
  // title (shown by viewers; without one, the print job's name), author, subject,
  // keywords, and the language of its text as a BCP 47 tag ("en-US"; a new
  // control takes the locale's, anything else records 380).
  std::string DocTitle() const;
  void DocTitle(std::string v);
  std::string DocAuthor() const;
  void DocAuthor(std::string v);
  std::string DocSubject() const;
  void DocSubject(std::string v);
  std::string DocKeywords() const;
  void DocKeywords(std::string v);
  std::string DocLanguage() const;
  void DocLanguage(std::string v);
  // Printed PDFs carry a structure tree for screen readers (the default).
  bool TaggedPdf() const;
  void TaggedPdf(bool v);
  // How many processes draw the pages of a long untagged PDF: 0 (the default)
  // one for each core, 1 this one alone. For a host listening to NewPage, and
  // for a tagged document, the pages are drawn here, in order.
  std::int32_t PdfJobs() const;
  void PdfJobs(std::int32_t v);
  // Design mode: templates are neither saved nor loaded while it is on.
  bool DesigMode() const;
  void DesigMode(bool v);

  // ---- rows --------------------------------------------------------------
  using RowPlace = ktfolio::RowPlace;
  // Adds a row at `place`, one cell per item: AddRowTo(RowPlace::Body, "a", 2, true).
  // No items make a row of dColsPerRow empty cells; one VariantArray is the
  // item list itself. A cell's text may start with "#width#" (in twips).
  // False, with the error recorded, when the row cannot be added.
  template <typename... Items>
  bool AddRowTo(RowPlace place, Items&&... items) {
    if constexpr (sizeof...(Items) == 0) {
      return AddRowItems(place, nullptr);
    } else if constexpr (sizeof...(Items) == 1 &&
                         (std::is_same_v<std::remove_cvref_t<Items>, VariantArray> && ...)) {
      return AddRowItems(place, &items...);
    } else {
      const VariantArray list{Variant(std::forward<Items>(items))...};
      return AddRowItems(place, &list);
    }
  }
  template <typename... Items>
  bool AddRow(Items&&... items) { return AddRowTo(RowPlace::Body, std::forward<Items>(items)...); }
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
  // The body's row count; the body markers of the start and end sections.
  std::int32_t LastRow() const;
  std::int32_t StartBodyRow() const;
  std::int32_t EndBodyRow() const;

  // ---- cells and rows by attribute name ("Text", "FontBold", "RowHeight"...) ----
  // A row attribute ignores `col`; -1 as the row or the column means every one.
  // An unknown name records 60108 and returns false (or an empty Variant).
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

  // ---- pagination ----------------------------------------------------------
  void RePaging(std::int16_t pFrom = 1, bool ClearPageBreaks = false);
  std::int16_t Pages();

  // ---- output --------------------------------------------------------------
  // Page `page` as a PNG, as the preview shows it at `zoom` percent (10..250),
  // with the page's drop shadow unless `shadow` is false.
  [[nodiscard]] bool ExportPng(const std::string& file, std::int16_t page, std::int16_t zoom = 100,
                               bool shadow = true);
  // The same at `dpi` dots per inch (10..600), by default the page alone, as paper.
  [[nodiscard]] bool ExportPngDpi(const std::string& file, std::int16_t page, std::int32_t dpi,
                                  bool shadow = false);
  // Pages fromPage..toPage through the print path, one PDF page per page.
  [[nodiscard]] bool ExportPdf(const std::string& file, std::int16_t fromPage, std::int16_t toPage);
  // Prints StartPage..EndPage on PrinterName (a CUPS queue, or "PDF"), first
  // showing the print dialog when ShowDlg; the dialog may change both arguments.
  void PrintDoc(std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies);
  void PrintDoc(std::int16_t StartPage, std::int16_t EndPage, const bool& ShowDlg = false,
                const std::int16_t& Copies = 1);

  // ---- templates -----------------------------------------------------------
  // Files of template text. A failed save leaves an existing file as it was;
  // a failed load leaves the document as it was.
  [[nodiscard]] bool SaveAsTemplate(const std::string& TemplateName);
  [[nodiscard]] bool LoadFromTemplate(const std::string& TemplateName);
  // The code page templates are written in: 1252 (Windows-1252, the default;
  // characters it lacks are written as '?') or 65001 (UTF-8 with a byte-order
  // mark, which loading recognises whatever this says). Other values record 380.
  std::int32_t TemplateCodePage() const;
  void TemplateCodePage(std::int32_t v);
  // The whole document as template text (CR LF lines, in TemplateCodePage), and back.
  void GetDsnArray(ByteArray& Dsn);
  void SetDsnArray(const ByteArray& Dsn, bool fgOnlyDesign = false);
  // The settings section alone.
  void GetProArray(ByteArray& Pro);

  // ---- errors --------------------------------------------------------------
  // The last error recorded: false when none was since ClearError.
  bool GetLastError(std::int32_t& ErrorNumber, std::string& ErrorDescription, std::string& ErrorSource) const;
  void ClearError();
  // How many failures were recorded so far: compare before and after a call
  // to tell whether it failed, without clearing the record.
  std::uint64_t ErrorsRecorded() const;

 private:
  bool AddRowItems(RowPlace place, const VariantArray* items);
  std::unique_ptr<KtPrint4Impl> impl_;
};

// Every printer a job can go to: the built-in "PDF" printer first, then the CUPS queues.
KTFOLIO_API std::vector<std::string> PrinterNames();
// The file the built-in "PDF" printer writes its next job to, and setting it.
KTFOLIO_API std::string PdfPrinterOutput();
KTFOLIO_API void SetPdfPrinterOutput(const std::string& file);

}  // namespace ktfolio
