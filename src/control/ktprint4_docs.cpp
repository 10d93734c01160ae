// One line of description for each published member and event of KtPrint4.
// Signatures and types come from the dispatch table itself; this only adds the
// words that help texts (Python's help(), the type stubs) show beside them.
#include "control/ktprint4_dispatch.h"

namespace ktfolio {

namespace {

struct Description {
  const char* name;
  const char* doc;
};

constexpr Description kDescriptions[] = {
    // Page setup.
    {"ScaleMode", "The unit of every measure the control takes and returns (ctsPrinterScale)."},
    {"PageSize", "The paper size (ctsPrinterPaperSize); s_USER keeps PaperWidth and PaperLength."},
    {"PaperWidth", "The width of the paper, in ScaleMode units."},
    {"PaperLength", "The length of the paper, in ScaleMode units."},
    {"Orientation", "Portrait or landscape (ctsOrientation)."},
    {"Marginleft", "The left margin, in ScaleMode units."},
    {"MarginRight", "The right margin, in ScaleMode units."},
    {"MarginTop", "The top margin, in ScaleMode units."},
    {"MarginBottom", "The bottom margin, in ScaleMode units."},
    {"MarginHeader", "The distance from the top of the paper to the header rows."},
    {"MarginFooter", "The distance from the bottom of the paper to the footer rows."},
    // Defaults for new rows and cells.
    {"ColSpacing", "The space between the cells of a row."},
    {"RowSpacing", "The space between rows."},
    {"dRowIndentTop", "The space above the text of a new row."},
    {"dRowIndentBottom", "The space below the text of a new row."},
    {"dRowHeight", "The height of a new row when it does not fit its text."},
    {"dColIndentFirst", "The indent of the first line of a new cell's text."},
    {"dColIndentLeft", "The left indent of a new cell's text."},
    {"dColIndentRight", "The right indent of a new cell's text."},
    {"dFitHeightToText", "True to size new rows to their text."},
    {"dColEditType", "How the end user may edit new cells."},
    {"Font", "The font of new cells (a StdFont, shared with the control)."},
    {"dFontColor", "The text colour of new cells."},
    {"dColShadowColor", "The shadow colour of new cells."},
    {"dColShadowHeavyColor", "The heavy shadow colour of new cells."},
    {"dColPenColor", "The border colour of new cells."},
    {"dColBrushColor", "The fill colour of new cells."},
    {"dFontStyle", "The font style of new cells (ppStyleConstants)."},
    {"dColAlignPos", "The alignment of new cells' text (ppPositionConstants)."},
    {"dColPenStyle", "The border pen style of new cells (ctsPenStyle)."},
    {"dColShadowSize", "The shadow size of new cells."},
    {"dColLineBottom", "The bottom border width of new cells."},
    {"dColLineTop", "The top border width of new cells."},
    {"dColLineLeft", "The left border width of new cells."},
    {"dColLineRight", "The right border width of new cells."},
    {"dColClipping", "True to clip new cells' text to the cell."},
    {"dColWordWrap", "True to wrap new cells' text between words."},
    {"dColFillCell", "True to fill new cells with the brush colour."},
    {"dColsLayoutType", "How the cells of a new row share its width (ctsColsLayoutType)."},
    {"dColsPerRow", "The number of cells of a new row given no items."},
    {"dInheritLastRow", "True to model a new row on the last row of its area."},
    // Presentation.
    {"ColorResolution", "The colour depth of the preview (ctsColorResolution)."},
    {"EditEnterAction", "What the Enter key does while a cell is edited (ppEnterActionConstants)."},
    {"PrinterName", "The printer PrintDoc sends the document to: a CUPS queue, or PDF for the built-in one."},
    {"sText", "A free text kept with the rows of the active area."},
    {"DocTitle", "The title a written PDF gives itself (shown by viewers); without one, the print job's name."},
    {"DocAuthor", "The author a written PDF names."},
    {"DocSubject", "The subject a written PDF names."},
    {"DocKeywords", "The keywords a written PDF carries."},
    {"DocLanguage", "The language of the document's text, a BCP 47 tag such as en-US (default: the locale's)."},
    {"TaggedPdf", "True (the default) to give printed PDFs a structure tree for screen readers: headings, tables, paragraphs, figures; the running header and footer as artifacts. Documents of more than 20 000 body rows are written untagged."},
    {"PdfJobs", "How many processes draw the pages of a long untagged PDF: 0 (the default) one for each core, 1 the calling process alone; whatever the count, the same document gives the same file."},
    {"TemplateCodePage", "The code page templates are written in: 1252 (Windows-1252, the default) or 65001 (UTF-8 with a byte-order mark)."},
    {"ShowToolBar", "True to show the preview's toolbar."},
    {"ShowPrintDlg", "True to show the print dialog before printing."},
    {"ShowGuideLines", "True to draw the guide lines in the preview."},
    {"StartBodyRow", "The first body row of the centre rows, after the start rows."},
    {"EndBodyRow", "The last body row of the centre rows, before the end rows."},
    // Editing selection.
    {"AllowCellEditing", "True to let the end user edit cell texts in place."},
    {"AutoHighLightEditing", "True to select a cell's whole text when editing starts."},
    {"MultiLineEditing", "True to edit cell texts on several lines."},
    {"ActiveArea", "The page area (ctsPageArea) that ActiveRow, ActiveCol and sText refer to."},
    {"ActiveRow", "The current row of the active area."},
    {"ActiveCol", "The current cell of the active area."},
    // Row building.
    {"LastRow", "The number of body rows."},
    {"Pages", "The number of pages, paginating first if the document changed."},
    {"AddRow", "Appends a body row of the given cell items; True on success."},
    {"AddStartDocRow", "Appends a row to the start block, before the centre rows; True on success."},
    {"AddEndDocRow", "Appends a row to the end block, after the centre rows; True on success."},
    {"AddHeaderRow", "Appends a header row, repeated at the top of every page; True on success."},
    {"AddFooterRow", "Appends a footer row, repeated at the bottom of every page; True on success."},
    {"SetTextRow", "Replaces the texts of a row's cells with the given items; True on success."},
    {"RemoveRows", "Removes rows RowFrom to RowTo of a page area; True on success."},
    {"ClearAll", "Removes every row of every area."},
    // Cells and rows by name.
    {"SetProperty", "Sets an attribute of a cell (col -1: every cell of the row) by name; True on success."},
    {"GetProperty", "Reads an attribute of a cell by name; False when there is no such cell."},
    {"SetFrameControl", "Draws a cell as a frame control (ppFrameControlConstants, ppFrameControlFlags)."},
    {"SetEdge", "Draws a cell's border as a 3-D edge (ppDEConstants, ppDEFlags)."},
    {"OutLineBlock", "Draws lines around or inside a block of cells (ppOutLineConstants); True on success."},
    {"SetPageBreak", "Starts a new page at a body row; True on success."},
    {"SetGuideRow", "Makes a row the guide row of its area."},
    // Pagination and errors.
    {"RePaging", "Paginates again from page pFrom, optionally dropping forced page breaks."},
    {"ClearError", "Forgets the recorded error."},
    {"GetLastError", "True when an error is recorded, with its number, description and source."},
    {"Preview", "Shows a page of the document in the preview (1 to the page count)."},
    {"SetZoom", "Sets the preview's zoom: -1 fits the width, 0 the page, 10 to 250 is a percentage."},
    {"Refresh", "Repaints the preview."},
    {"RefreshStatus", "Updates the toolbar's page and zoom labels and its page buttons."},
    {"ExportPng", "Writes one page as a PNG file, as the preview shows it at a zoom of 10 to 250 percent."},
    {"ExportPngDpi", "Writes one page as a PNG file at 10 to 600 dpi, by default without the preview's shadow."},
    {"ExportPdf", "Writes a range of pages to a PDF file through the print path at 600 dpi."},
    {"PrintDoc", "Prints a range of pages on PrinterName, optionally after the print dialog; failures are recorded."},
    // Templates and design.
    {"SaveAsTemplate", "Writes the whole design to a template file (replaced only once complete); True on success."},
    {"LoadFromTemplate", "Replaces the document with a template file's; True on success."},
    {"GetDsnArray", "The whole design as template text (Windows-1252 bytes, CR LF lines)."},
    {"SetDsnArray", "Replaces the document with template text; fgOnlyDesign keeps the settings."},
    {"GetProArray", "The settings section of the template text alone."},
    {"DesigMode", "Set True while a designer edits the document; it shows the guide lines."},
    {"a_Designer", "The entry of the external designer in a property browser; holds nothing."},
    // Events.
    {"NewPage", "A page is about to be laid out; a handler may change its number and first row."},
    {"EnterCell", "The end user is about to edit a cell; set Cancel to refuse."},
    {"LeaveCell", "The end user is leaving an edited cell; set Cancel to stay."},
    {"ClickCell", "The end user clicked a cell with a mouse button."},
    {"BeforeButtonClick", "A toolbar button was clicked; set Cancel to stop its action."},
};

}  // namespace

void KtPrint4Dispatch::Document() {
  for (const Description& d : kDescriptions) Describe(d.name, d.doc);
}

}  // namespace ktfolio
