// The public KtPrint4: each call goes to the control's implementation
// (KtPrint4Impl), which records its failures instead of throwing them.
#include <ktfolio/ktprint4.h>

#include <utility>

#include "control/ktprint4_impl.h"
#include "platform/spooler/spooler.h"

namespace ktfolio {

KtPrint4::KtPrint4() : impl_(std::make_unique<KtPrint4Impl>()) {}
KtPrint4::~KtPrint4() = default;

bool KtPrint4::AddRowItems(RowPlace place, const VariantArray* items) {
  return items ? impl_->AddRowTo(place, *items) : impl_->AddRowTo(place);
}

void KtPrint4::Advise(KtPrint4Events* sink) { impl_->Advise(sink); }
void KtPrint4::Unadvise(KtPrint4Events* sink) { impl_->Unadvise(sink); }
std::int32_t KtPrint4::ScaleMode() const { return impl_->ScaleMode(); }
void KtPrint4::ScaleMode(std::int32_t v) { impl_->ScaleMode(v); }
std::int32_t KtPrint4::PageSize() const { return impl_->PageSize(); }
void KtPrint4::PageSize(std::int32_t v) { impl_->PageSize(v); }
float KtPrint4::PaperWidth() const { return impl_->PaperWidth(); }
void KtPrint4::PaperWidth(float v) { impl_->PaperWidth(v); }
float KtPrint4::PaperLength() const { return impl_->PaperLength(); }
void KtPrint4::PaperLength(float v) { impl_->PaperLength(v); }
std::int32_t KtPrint4::Orientation() const { return impl_->Orientation(); }
void KtPrint4::Orientation(std::int32_t v) { impl_->Orientation(v); }
float KtPrint4::Marginleft() const { return impl_->Marginleft(); }
void KtPrint4::Marginleft(float v) { impl_->Marginleft(v); }
float KtPrint4::MarginRight() const { return impl_->MarginRight(); }
void KtPrint4::MarginRight(float v) { impl_->MarginRight(v); }
float KtPrint4::MarginTop() const { return impl_->MarginTop(); }
void KtPrint4::MarginTop(float v) { impl_->MarginTop(v); }
float KtPrint4::MarginBottom() const { return impl_->MarginBottom(); }
void KtPrint4::MarginBottom(float v) { impl_->MarginBottom(v); }
float KtPrint4::MarginHeader() const { return impl_->MarginHeader(); }
void KtPrint4::MarginHeader(float v) { impl_->MarginHeader(v); }
float KtPrint4::MarginFooter() const { return impl_->MarginFooter(); }
void KtPrint4::MarginFooter(float v) { impl_->MarginFooter(v); }
float KtPrint4::ColSpacing() const { return impl_->ColSpacing(); }
void KtPrint4::ColSpacing(float v) { impl_->ColSpacing(v); }
float KtPrint4::RowSpacing() const { return impl_->RowSpacing(); }
void KtPrint4::RowSpacing(float v) { impl_->RowSpacing(v); }
float KtPrint4::dRowIndentTop() const { return impl_->dRowIndentTop(); }
void KtPrint4::dRowIndentTop(float v) { impl_->dRowIndentTop(v); }
float KtPrint4::dRowIndentBottom() const { return impl_->dRowIndentBottom(); }
void KtPrint4::dRowIndentBottom(float v) { impl_->dRowIndentBottom(v); }
float KtPrint4::dRowHeight() const { return impl_->dRowHeight(); }
void KtPrint4::dRowHeight(float v) { impl_->dRowHeight(v); }
float KtPrint4::dColIndentFirst() const { return impl_->dColIndentFirst(); }
void KtPrint4::dColIndentFirst(float v) { impl_->dColIndentFirst(v); }
float KtPrint4::dColIndentLeft() const { return impl_->dColIndentLeft(); }
void KtPrint4::dColIndentLeft(float v) { impl_->dColIndentLeft(v); }
float KtPrint4::dColIndentRight() const { return impl_->dColIndentRight(); }
void KtPrint4::dColIndentRight(float v) { impl_->dColIndentRight(v); }
bool KtPrint4::dFitHeightToText() const { return impl_->dFitHeightToText(); }
void KtPrint4::dFitHeightToText(bool v) { impl_->dFitHeightToText(v); }
std::int32_t KtPrint4::dColEditType() const { return impl_->dColEditType(); }
void KtPrint4::dColEditType(std::int32_t v) { impl_->dColEditType(v); }
FontPtr KtPrint4::Font() const { return impl_->Font(); }
void KtPrint4::Font(FontPtr f) { impl_->Font(std::move(f)); }
std::uint32_t KtPrint4::dFontColor() const { return impl_->dFontColor(); }
void KtPrint4::dFontColor(std::uint32_t v) { impl_->dFontColor(v); }
std::uint32_t KtPrint4::dColShadowColor() const { return impl_->dColShadowColor(); }
void KtPrint4::dColShadowColor(std::uint32_t v) { impl_->dColShadowColor(v); }
std::uint32_t KtPrint4::dColShadowHeavyColor() const { return impl_->dColShadowHeavyColor(); }
void KtPrint4::dColShadowHeavyColor(std::uint32_t v) { impl_->dColShadowHeavyColor(v); }
std::uint32_t KtPrint4::dColPenColor() const { return impl_->dColPenColor(); }
void KtPrint4::dColPenColor(std::uint32_t v) { impl_->dColPenColor(v); }
std::uint32_t KtPrint4::dColBrushColor() const { return impl_->dColBrushColor(); }
void KtPrint4::dColBrushColor(std::uint32_t v) { impl_->dColBrushColor(v); }
std::int32_t KtPrint4::dFontStyle() const { return impl_->dFontStyle(); }
void KtPrint4::dFontStyle(std::int32_t v) { impl_->dFontStyle(v); }
std::int32_t KtPrint4::dColAlignPos() const { return impl_->dColAlignPos(); }
void KtPrint4::dColAlignPos(std::int32_t v) { impl_->dColAlignPos(v); }
std::int32_t KtPrint4::dColPenStyle() const { return impl_->dColPenStyle(); }
void KtPrint4::dColPenStyle(std::int32_t v) { impl_->dColPenStyle(v); }
std::int32_t KtPrint4::dColShadowSize() const { return impl_->dColShadowSize(); }
void KtPrint4::dColShadowSize(std::int32_t v) { impl_->dColShadowSize(v); }
std::int16_t KtPrint4::dColLineBottom() const { return impl_->dColLineBottom(); }
void KtPrint4::dColLineBottom(std::int16_t v) { impl_->dColLineBottom(v); }
std::int16_t KtPrint4::dColLineTop() const { return impl_->dColLineTop(); }
void KtPrint4::dColLineTop(std::int16_t v) { impl_->dColLineTop(v); }
std::int16_t KtPrint4::dColLineLeft() const { return impl_->dColLineLeft(); }
void KtPrint4::dColLineLeft(std::int16_t v) { impl_->dColLineLeft(v); }
std::int16_t KtPrint4::dColLineRight() const { return impl_->dColLineRight(); }
void KtPrint4::dColLineRight(std::int16_t v) { impl_->dColLineRight(v); }
bool KtPrint4::dColClipping() const { return impl_->dColClipping(); }
void KtPrint4::dColClipping(bool v) { impl_->dColClipping(v); }
bool KtPrint4::dColWordWrap() const { return impl_->dColWordWrap(); }
void KtPrint4::dColWordWrap(bool v) { impl_->dColWordWrap(v); }
bool KtPrint4::dColFillCell() const { return impl_->dColFillCell(); }
void KtPrint4::dColFillCell(bool v) { impl_->dColFillCell(v); }
std::int32_t KtPrint4::dColsLayoutType() const { return impl_->dColsLayoutType(); }
void KtPrint4::dColsLayoutType(std::int32_t v) { impl_->dColsLayoutType(v); }
std::int32_t KtPrint4::dColsPerRow() const { return impl_->dColsPerRow(); }
void KtPrint4::dColsPerRow(std::int32_t v) { impl_->dColsPerRow(v); }
bool KtPrint4::dInheritLastRow() const { return impl_->dInheritLastRow(); }
void KtPrint4::dInheritLastRow(bool v) { impl_->dInheritLastRow(v); }
std::int32_t KtPrint4::ColorResolution() const { return impl_->ColorResolution(); }
void KtPrint4::ColorResolution(std::int32_t v) { impl_->ColorResolution(v); }
std::int32_t KtPrint4::EditEnterAction() const { return impl_->EditEnterAction(); }
void KtPrint4::EditEnterAction(std::int32_t v) { impl_->EditEnterAction(v); }
std::string KtPrint4::PrinterName() const { return impl_->PrinterName(); }
void KtPrint4::PrinterName(std::string v) { impl_->PrinterName(std::move(v)); }
std::string KtPrint4::DocTitle() const { return impl_->DocTitle(); }
void KtPrint4::DocTitle(std::string v) { impl_->DocTitle(std::move(v)); }
std::string KtPrint4::DocAuthor() const { return impl_->DocAuthor(); }
void KtPrint4::DocAuthor(std::string v) { impl_->DocAuthor(std::move(v)); }
std::string KtPrint4::DocSubject() const { return impl_->DocSubject(); }
void KtPrint4::DocSubject(std::string v) { impl_->DocSubject(std::move(v)); }
std::string KtPrint4::DocKeywords() const { return impl_->DocKeywords(); }
void KtPrint4::DocKeywords(std::string v) { impl_->DocKeywords(std::move(v)); }
std::string KtPrint4::DocLanguage() const { return impl_->DocLanguage(); }
void KtPrint4::DocLanguage(std::string v) { impl_->DocLanguage(std::move(v)); }
bool KtPrint4::TaggedPdf() const { return impl_->TaggedPdf(); }
void KtPrint4::TaggedPdf(bool v) { impl_->TaggedPdf(v); }
std::int32_t KtPrint4::PdfJobs() const { return impl_->PdfJobs(); }
void KtPrint4::PdfJobs(std::int32_t v) { impl_->PdfJobs(v); }
std::string KtPrint4::sText() const { return impl_->sText(); }
void KtPrint4::sText(std::string v) { impl_->sText(std::move(v)); }
bool KtPrint4::ShowToolBar() const { return impl_->ShowToolBar(); }
void KtPrint4::ShowToolBar(bool v) { impl_->ShowToolBar(v); }
bool KtPrint4::ShowPrintDlg() const { return impl_->ShowPrintDlg(); }
void KtPrint4::ShowPrintDlg(bool v) { impl_->ShowPrintDlg(v); }
bool KtPrint4::ShowGuideLines() const { return impl_->ShowGuideLines(); }
void KtPrint4::ShowGuideLines(bool v) { impl_->ShowGuideLines(v); }
bool KtPrint4::AllowCellEditing() const { return impl_->AllowCellEditing(); }
void KtPrint4::AllowCellEditing(bool v) { impl_->AllowCellEditing(v); }
bool KtPrint4::AutoHighLightEditing() const { return impl_->AutoHighLightEditing(); }
void KtPrint4::AutoHighLightEditing(bool v) { impl_->AutoHighLightEditing(v); }
bool KtPrint4::MultiLineEditing() const { return impl_->MultiLineEditing(); }
void KtPrint4::MultiLineEditing(bool v) { impl_->MultiLineEditing(v); }
std::int32_t KtPrint4::ActiveArea() const { return impl_->ActiveArea(); }
void KtPrint4::ActiveArea(std::int32_t v) { impl_->ActiveArea(v); }
std::int32_t KtPrint4::ActiveRow() { return impl_->ActiveRow(); }
void KtPrint4::ActiveRow(std::int32_t v) { impl_->ActiveRow(v); }
std::int32_t KtPrint4::ActiveCol() { return impl_->ActiveCol(); }
void KtPrint4::ActiveCol(std::int32_t v) { impl_->ActiveCol(v); }
bool KtPrint4::DesigMode() const { return impl_->DesigMode(); }
void KtPrint4::DesigMode(bool v) { impl_->DesigMode(v); }
bool KtPrint4::RemoveRows(std::int32_t RowFrom, std::int32_t RowTo, std::int32_t PageArea) {
  return impl_->RemoveRows(RowFrom, RowTo, PageArea);
}
void KtPrint4::ClearAll() { impl_->ClearAll(); }
std::int32_t KtPrint4::LastRow() const { return impl_->LastRow(); }
std::int32_t KtPrint4::StartBodyRow() const { return impl_->StartBodyRow(); }
std::int32_t KtPrint4::EndBodyRow() const { return impl_->EndBodyRow(); }
bool KtPrint4::SetProperty(std::int32_t row, std::int32_t col, const std::string& pName, const Variant& Value,
                           std::int32_t PageArea) {
  return impl_->SetProperty(row, col, pName, Value, PageArea);
}
Variant KtPrint4::GetProperty(std::int32_t row, std::int32_t col, const std::string& pName, std::int32_t PageArea) {
  return impl_->GetProperty(row, col, pName, PageArea);
}
void KtPrint4::SetFrameControl(std::int32_t row, std::int32_t col, std::int32_t FrameCtlType,
                               std::int32_t FrameCtlFlags, float FrameCtlSize, std::int32_t parea) {
  impl_->SetFrameControl(row, col, FrameCtlType, FrameCtlFlags, FrameCtlSize, parea);
}
void KtPrint4::SetEdge(std::int32_t row, std::int32_t col, std::int32_t EdgeType, std::int32_t EdgeFlags,
                       std::int32_t parea) {
  impl_->SetEdge(row, col, EdgeType, EdgeFlags, parea);
}
bool KtPrint4::OutLineBlock(std::int16_t PenSize, std::int32_t fgLines, std::int32_t row, std::int32_t col,
                            bool fgUseDefaultPen, std::int32_t parea, std::int32_t Row2, std::int32_t Col2) {
  return impl_->OutLineBlock(PenSize, fgLines, row, col, fgUseDefaultPen, parea, Row2, Col2);
}
bool KtPrint4::SetPageBreak(std::int32_t row) { return impl_->SetPageBreak(row); }
void KtPrint4::SetGuideRow(std::int32_t row, std::int32_t parea) { impl_->SetGuideRow(row, parea); }
std::int32_t KtPrint4::ColumnAtPosition(std::int32_t row, float x, std::int32_t area) {
  return impl_->ColumnAtPosition(row, x, area);
}
void KtPrint4::RePaging(std::int16_t pFrom, bool ClearPageBreaks) { impl_->RePaging(pFrom, ClearPageBreaks); }
std::int16_t KtPrint4::Pages() { return impl_->Pages(); }
bool KtPrint4::ExportPng(const std::string& file, std::int16_t page, std::int16_t zoom, bool shadow) {
  return impl_->ExportPng(file, page, zoom, shadow);
}
bool KtPrint4::ExportPngDpi(const std::string& file, std::int16_t page, std::int32_t dpi, bool shadow) {
  return impl_->ExportPngDpi(file, page, dpi, shadow);
}
bool KtPrint4::ExportPdf(const std::string& file, std::int16_t fromPage, std::int16_t toPage) {
  return impl_->ExportPdf(file, fromPage, toPage);
}
void KtPrint4::PrintDoc(std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies) {
  impl_->PrintDoc(StartPage, EndPage, ShowDlg, Copies);
}
void KtPrint4::PrintDoc(std::int16_t StartPage, std::int16_t EndPage, const bool& ShowDlg, const std::int16_t& Copies) {
  impl_->PrintDoc(StartPage, EndPage, ShowDlg, Copies);
}
bool KtPrint4::SaveAsTemplate(const std::string& TemplateName) { return impl_->SaveAsTemplate(TemplateName); }
bool KtPrint4::LoadFromTemplate(const std::string& TemplateName) { return impl_->LoadFromTemplate(TemplateName); }
std::int32_t KtPrint4::TemplateCodePage() const { return impl_->TemplateCodePage(); }
void KtPrint4::TemplateCodePage(std::int32_t v) { impl_->TemplateCodePage(v); }
void KtPrint4::GetDsnArray(ByteArray& Dsn) { impl_->GetDsnArray(Dsn); }
void KtPrint4::SetDsnArray(const ByteArray& Dsn, bool fgOnlyDesign) { impl_->SetDsnArray(Dsn, fgOnlyDesign); }
void KtPrint4::GetProArray(ByteArray& Pro) { impl_->GetProArray(Pro); }
bool KtPrint4::GetLastError(std::int32_t& ErrorNumber, std::string& ErrorDescription, std::string& ErrorSource) const {
  return impl_->GetLastError(ErrorNumber, ErrorDescription, ErrorSource);
}
void KtPrint4::ClearError() { impl_->ClearError(); }
std::uint64_t KtPrint4::ErrorsRecorded() const { return impl_->ErrorsRecorded(); }


std::vector<std::string> PrinterNames() { return win::spooler::PrinterNames(); }
std::string PdfPrinterOutput() { return win::spooler::PdfPrinterOutput(); }
void SetPdfPrinterOutput(const std::string& file) { win::spooler::SetPdfPrinterOutput(file); }

}  // namespace ktfolio
