// KtPrint4Impl: the print-document control behind the public KtPrint4
// (include/ktfolio/ktprint4.h). It is the document (document/) together with
// what draws, prints, saves and shows it: exports (render/), PrintDoc
// (printing/), templates and the property bag (persist/), and the on-screen
// preview with its toolbar and cell editor (viewer/). The library's own
// hosts (the Python module, the command line, the property pages, the tests)
// use it directly.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "persist/codepage.h"
#include "viewer/viewed_document.h"

namespace ktfolio {

class PropertyBag;

class KtPrint4Impl : public ViewedDocument {
 public:
  // A new control in `container` (a private default container when null):
  // instance start-up, then the initial property values.
  explicit KtPrint4Impl(Container* container = nullptr);
  ~KtPrint4Impl() override;

  // ---- output (drawn by render/) ----------------------------------------------------
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

  // ---- printing (printing/) ------------------------------------------------
  // Prints pages StartPage..EndPage on PrinterName through the spooler, first
  // showing the print dialog when ShowDlg (which may change printer, pages,
  // copies and orientation). The range is not checked against Pages(): a range
  // without pages makes an empty job, which prints nothing. Failures are
  // recorded, never thrown. ShowDlg and Copies are by reference: Copies comes
  // back as the dialog left it.
  void PrintDoc(std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies) override;
  using ViewedDocument::PrintDoc;
  // The toolbar's caption while pages print ("Printing Page 3 ", "" at the
  // end) and its refresh after the print dialog. Both only act while the
  // control is shown.
  void PrintingCaption(const std::string& caption) override;
  void RefreshToolbarAfterPrintDialog() override;

  // ---- preview on screen (ktprint4_preview.cpp) -----------------------------------
  // Shows page iPage (1..the page count taken when shown) in the viewport;
  // out of range records 60107 and changes nothing.
  void Preview(std::int16_t iPage) override;
  // -1 fits the page width, 0 the whole page, 10..250 is a percentage; any other
  // value records 60110. ZoomValue is left as given. Fitting needs the
  // viewport: a control without a window keeps its zoom.
  void SetZoom(std::int16_t& ZoomValue) override;
  void Refresh() override;
  // Page buttons, page label and zoom label of the toolbar, while shown.
  void RefreshStatus();
  std::int16_t PreviewPage() const override;
  void PreviewPage(std::int16_t page) override;
  // The page count as taken when the control was shown and after every
  // pagination since: what bounds Preview and the page buttons.
  std::int16_t PageCountCopy() const { return pageCountCopy_; }
  bool Shown() const;

  // A windowed control: creates the control's window as a child of `parent`,
  // with its viewport. Once only; the windows live until the control ends.
  void CreateControlWindow(win::HWND parent) override;
  win::HWND hWnd() const override;      // nullptr for a control without a window
  win::HWND ViewportWindow() const override;
  // The container's show, hide and resize of a windowed control.
  void ContainerShow() override;
  void ContainerHide() override;
  void ContainerResize();

  void AttachToolbar(ToolbarParts parts) override;
  // The toolbar frame's caption ("Printing Page 3 " while the print loop runs).
  void ToolbarCaption(const std::string& text);

  void AttachCellEditor(CellEditorHooks hooks) override;
  // The control window's own double-click message (posted by the editor).
  void ControlDoubleClickMessage();

  // ---- templates and property persistence (through persist/) -------------------------------
  // Template files, at run time only (the container's UserMode): false with the
  // failure recorded, or false doing nothing in design mode. A failed save
  // leaves an existing file as it was.
  [[nodiscard]] bool SaveAsTemplate(const std::string& TemplateName);
  [[nodiscard]] bool LoadFromTemplate(const std::string& TemplateName);
  // The whole document as template text (CR LF lines, in TemplateCodePage).
  void GetDsnArray(ByteArray& Dsn);
  // Replaces every row from template text; with fgOnlyDesign only the body
  // markers StartBodyRow/EndBodyRow of the settings are taken.
  void SetDsnArray(const ByteArray& Dsn, bool fgOnlyDesign = false);
  // The settings section alone.
  void GetProArray(ByteArray& Pro);
  // The code page the three above write in: 1252 (Windows-1252, one byte per
  // character; what it lacks is written as '?') or 65001 (UTF-8 after a
  // byte-order mark). Reading recognises the mark whatever this says. Any
  // other value records error 380.
  std::int32_t TemplateCodePage() const { return templateCodePage_; }
  void TemplateCodePage(std::int32_t v);
  // The first character the last template written could not keep, and its line.
  const TemplateLoss& LastTemplateLoss() const { return templateLoss_; }
  using Document::DesigMode;
  void DesigMode(bool v);
  // The container's property bag: a new control's defaults, reading saved
  // properties (then the stored design, if any), writing them. Reading throws
  // Error when a stored value does not convert to its key's type.
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag);

 protected:
  void ToolbarVisibilityChanged() override;
  void MultiLineEditingChanged(bool multiLine) override;

 private:
  // The on-screen preview's state and windows (ktprint4_preview.cpp); shared_ptr
  // so this header needs no definition of it.
  struct PreviewState;
  PreviewState& PreviewData() const;
  void PaintPreview(win::HDC dc);
  void ClickPreview(std::int32_t x, std::int32_t y, std::int32_t offsetX, std::int32_t offsetY);
  void CellEditorMultiLine(bool v);
  mutable std::shared_ptr<PreviewState> preview_;
  std::int32_t templateCodePage_ = kCodePageWindows1252;
  TemplateLoss templateLoss_;

  // Persistence (ktprint4_templates.cpp, ktprint4_properties.cpp).
  // False with the failure recorded; a failure names `file` when one is given.
  bool RunTemplateReader(bool fgOnlyDesign, const std::string& file = {});
  void ExchangeProperties(const PropertyBag* in, PropertyBag* out);  // one of the two
};

}  // namespace ktfolio
