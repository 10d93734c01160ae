// Win32-shaped graphics device interface over Cairo and Pango.
//
// Device contexts draw onto Cairo surfaces: an image surface for the screen and
// memory contexts, a PDF surface for printer contexts (spooler module). Text is
// measured from per-character advance widths of the selected font, as GDI does
// (no kerning), and shaped with Pango when drawn. Every object created here is
// tracked so tests can assert that drawing leaked nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace ktfolio::win {

// ---- handles -------------------------------------------------------------
// Typed handles: each kind is a distinct type, all convertible to HGDIOBJ.
struct HGDIOBJ__ {
  virtual ~HGDIOBJ__() = default;
};
struct HFONT__ : HGDIOBJ__ {};
struct HPEN__ : HGDIOBJ__ {};
struct HBRUSH__ : HGDIOBJ__ {};
struct HBITMAP__ : HGDIOBJ__ {};
struct HRGN__ : HGDIOBJ__ {};
struct HICON__ {
  virtual ~HICON__() = default;
};
struct HDC__ {
  virtual ~HDC__() = default;
};

using HGDIOBJ = HGDIOBJ__*;
using HFONT = HFONT__*;
using HPEN = HPEN__*;
using HBRUSH = HBRUSH__*;
using HBITMAP = HBITMAP__*;
using HRGN = HRGN__*;
using HDC = HDC__*;
using HICON = HICON__*;

// ---- records ---------------------------------------------------------------
constexpr int LF_FACESIZE = 32;

struct LOGFONT {
  LONG lfHeight = 0;  // < 0: character height in device units; > 0: cell height
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRIC {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 0;
  LONG tmDigitizedAspectY = 0;
  BYTE tmFirstChar = 0;
  BYTE tmLastChar = 0;
  BYTE tmDefaultChar = 0;
  BYTE tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // > 0: bottom-up rows; < 0: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

// Header plus room for a full 256-entry colour table, as callers allocate it.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
};

struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;   // AND mask (1 = transparent)
  HBITMAP hbmColor = nullptr;  // colour image
};

struct DOCINFO {
  int cbSize = sizeof(DOCINFO);
  const char* lpszDocName = nullptr;
  const char* lpszOutput = nullptr;
  const char* lpszDatatype = nullptr;
  DWORD fwType = 0;
};

// ---- constants -------------------------------------------------------------
// GetDeviceCaps indices
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

// DrawText flags
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;

// background modes
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// stock objects
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// pen styles
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_USERSTYLE = 7;
constexpr int PS_ALTERNATE = 8;

// font weights and character sets
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;

// raster operations
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// DIB formats
constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

// DrawEdge kinds and flags
constexpr UINT BDR_RAISEDOUTER = 0x1;
constexpr UINT BDR_SUNKENOUTER = 0x2;
constexpr UINT BDR_RAISEDINNER = 0x4;
constexpr UINT BDR_SUNKENINNER = 0x8;
constexpr UINT BDR_OUTER = 0x3;
constexpr UINT BDR_INNER = 0xC;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x1;
constexpr UINT BF_TOP = 0x2;
constexpr UINT BF_RIGHT = 0x4;
constexpr UINT BF_BOTTOM = 0x8;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_DIAGONAL = 0x10;
constexpr UINT BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT;
constexpr UINT BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT;
constexpr UINT BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT;
constexpr UINT BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_MIDDLE = 0x800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// DrawFrameControl kinds and states
constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFCS_CAPTIONCLOSE = 0x0;
constexpr UINT DFCS_CAPTIONMIN = 0x1;
constexpr UINT DFCS_CAPTIONMAX = 0x2;
constexpr UINT DFCS_CAPTIONRESTORE = 0x3;
constexpr UINT DFCS_CAPTIONHELP = 0x4;
constexpr UINT DFCS_MENUARROW = 0x0;
constexpr UINT DFCS_MENUCHECK = 0x1;
constexpr UINT DFCS_MENUBULLET = 0x2;
constexpr UINT DFCS_MENUARROWRIGHT = 0x4;
constexpr UINT DFCS_SCROLLUP = 0x0;
constexpr UINT DFCS_SCROLLDOWN = 0x1;
constexpr UINT DFCS_SCROLLLEFT = 0x2;
constexpr UINT DFCS_SCROLLRIGHT = 0x3;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x5;
constexpr UINT DFCS_SCROLLSIZEGRIP = 0x8;
constexpr UINT DFCS_SCROLLSIZEGRIPRIGHT = 0x10;
constexpr UINT DFCS_BUTTONCHECK = 0x0;
constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x1;
constexpr UINT DFCS_BUTTONRADIOMASK = 0x2;
constexpr UINT DFCS_BUTTONRADIO = 0x4;
constexpr UINT DFCS_BUTTON3STATE = 0x8;
constexpr UINT DFCS_BUTTONPUSH = 0x10;
constexpr UINT DFCS_INACTIVE = 0x100;
constexpr UINT DFCS_PUSHED = 0x200;
constexpr UINT DFCS_CHECKED = 0x400;
constexpr UINT DFCS_TRANSPARENT = 0x800;
constexpr UINT DFCS_HOT = 0x1000;
constexpr UINT DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

// DrawIconEx and DrawState
constexpr UINT DI_MASK = 0x1;
constexpr UINT DI_IMAGE = 0x2;
constexpr UINT DI_NORMAL = 0x3;
constexpr UINT DST_COMPLEX = 0x0;
constexpr UINT DST_TEXT = 0x1;
constexpr UINT DST_PREFIXTEXT = 0x2;
constexpr UINT DST_ICON = 0x3;
constexpr UINT DST_BITMAP = 0x4;
constexpr UINT DSS_NORMAL = 0x0;
constexpr UINT DSS_UNION = 0x10;
constexpr UINT DSS_DISABLED = 0x20;
constexpr UINT DSS_MONO = 0x80;
constexpr UINT DSS_RIGHT = 0x8000;

// print jobs
constexpr int SP_ERROR = -1;

// region results
constexpr int ERROR_REGION = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// system colour indices
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;

// GetObjectType results
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_MEMDC = 10;

// ---- device contexts ---------------------------------------------------------
// driver "DISPLAY" gives a screen context; other drivers are the spooler's.
HDC CreateDC(const char* driver, const char* device, const char* output, const void* devmode);
HDC CreateCompatibleDC(HDC hdc);  // nullptr: compatible with the screen
BOOL DeleteDC(HDC hdc);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int saved);  // saved < 0: relative to the newest state
int GetDeviceCaps(HDC hdc, int index);
DWORD GetObjectType(HGDIOBJ obj);

// ---- objects -------------------------------------------------------------------
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int index);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
int GetObject(HGDIOBJ obj, int size, void* out);  // BITMAP or LOGFONT

HFONT CreateFontIndirect(const LOGFONT* lf);
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
// The brush tiles a copy of the bitmap taken now; the bitmap stays the caller's.
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

// ---- state -------------------------------------------------------------------
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC hdc, POINT* org);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int GetClipBox(HDC hdc, RECT* rc);
// Only rgn == nullptr is supported: it removes the clip (SIMPLEREGION);
// anything else is ERROR_REGION, as there is no way to make regions here.
int SelectClipRgn(HDC hdc, HRGN rgn);

// ---- text --------------------------------------------------------------------
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm);
BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths);
BOOL GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size);
// Text is UTF-8; length -1 means NUL-terminated. Returns the text height.
int DrawText(HDC hdc, const char* text, int length, RECT* rc, UINT format);
BOOL TextOut(HDC hdc, int x, int y, const char* text, int length);

// ---- drawing -------------------------------------------------------------------
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL LineTo(HDC hdc, int x, int y);
// `count` polylines, the i-th of counts[i] points (at least 2) taken in turn
// from `points`, each segment drawn as LineTo draws it; the current position
// is neither used nor changed. FALSE, drawing nothing, for a polyline of fewer
// than 2 points.
BOOL PolyPolyline(HDC hdc, const POINT* points, const DWORD* counts, DWORD count);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Polygon(HDC hdc, const POINT* points, int count);
int FillRect(HDC hdc, const RECT* rc, HBRUSH brush);
COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop);
// SRCCOPY only; pixels are replicated or dropped (no smoothing), as GDI's
// default stretch mode does. Negative sizes mirror.
BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, int cx1, int cy1, DWORD rop);

// Device-independent bits. GetDIBits fills the header (bits null: header only)
// and, for 1/4/8 bits, the colour table; rows are DWORD-aligned, bottom-up for
// a positive biHeight. Returns the number of lines copied, 0 on failure.
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
// SRCCOPY only, nearest-pixel stretching; returns the lines drawn, 0 on failure.
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

// ---- classic 3-D controls ----------------------------------------------------------
// Classic Windows look drawn from the system colours (COLOR_3DHIGHLIGHT ...).
// BF_ADJUST shrinks *rc by what was drawn.
BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags);
// DFCS_ADJUSTRECT shrinks *rc to the glyph area.
BOOL DrawFrameControl(HDC hdc, RECT* rc, UINT type, UINT state);
// Dotted XOR rectangle: drawing it twice restores the pixels.
BOOL DrawFocusRect(HDC hdc, const RECT* rc);

// ---- icons ----------------------------------------------------------------------------
// Copies the colour and mask bitmaps (they stay the caller's). nullptr on failure.
HICON CreateIconIndirect(const ICONINFO* info);
BOOL DestroyIcon(HICON icon);
// cx, cy 0: the icon's own size. Mask pixels set leave the destination as it was.
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker, UINT flags);
using DRAWSTATEPROC = BOOL (*)(HDC, LPARAM, WPARAM, int, int);
// DST_ICON (lParam: HICON), DST_BITMAP (lParam: HBITMAP), DST_TEXT/DST_PREFIXTEXT
// (lParam: const char*, wParam: length or 0). DSS_DISABLED embosses in the 3-D
// highlight and shadow colours; DSS_MONO paints the shape with the brush.
BOOL DrawState(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM lParam, WPARAM wParam, int x, int y, int cx,
               int cy, UINT flags);

// ---- print jobs ---------------------------------------------------------------------------
// The document calls of a printer context. StartDoc returns a job id > 0 or
// SP_ERROR; the others return > 0 or SP_ERROR. Pages drawn between StartPage and
// EndPage become one page of the output.
int StartDoc(HDC hdc, const DOCINFO* info);
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);

// ---- colours -------------------------------------------------------------------
DWORD GetSysColor(int index);  // the fixed classic palette
HBRUSH GetSysColorBrush(int index);
// An OLE colour: 0x00BBGGRR, or 0x800000nn for system colour nn.
using OLE_COLOR = DWORD;
// No palettes exist here; the type lets OleTranslateColor keep its shape.
struct HPALETTE__ : HGDIOBJ__ {};
using HPALETTE = HPALETTE__*;
using HRESULT = LONG;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
// The COLORREF an OLE colour stands for: system colours through GetSysColor,
// RGB values (high byte 0 or PALETTERGB's 2) as they are. E_INVALIDARG, with
// *color untouched, for an unknown system index, a palette index (there is no
// palette) or any other high byte.
HRESULT OleTranslateColor(OLE_COLOR clr, HPALETTE palette, COLORREF* color);
// The colour every drawing of the controls uses: OleTranslateColor's, and for
// a value it refuses, the low 24 bits (an unknown system colour is black).
COLORREF OleTranslateColor(OLE_COLOR clr);

// ---- platform extensions (no Win32 counterpart) ----------------------------------
// Logical pixels per inch reported by screen contexts (96 unless a host says otherwise).
void SetScreenLogPixels(int dpiX, int dpiY);
// The family fontconfig actually chose for the font selected into hdc
// ("Liberation Sans" for "Arial" once fonts-liberation is installed).
std::string ResolvedFontFamily(HDC hdc);
// Writes a bitmap (or the bitmap selected into a memory DC) as a PNG file, the
// whole file or nothing (platform/fileio/fileio.h); false on failure, the
// cause then in fileio::LastFailure().
bool SaveBitmapPng(HBITMAP bitmap, const std::string& path);
// The same PNG in memory; empty when the handle is not a bitmap. With
// dotsPerInch > 0 it says so in a pHYs chunk (pixels per metre, rounded), so
// viewers and layout programs place the picture at its real size.
std::vector<std::uint8_t> EncodeBitmapPng(HBITMAP bitmap, double dotsPerInch = 0);

// A printer-class context that writes its document as a PDF file: device
// units are pixels at dpiX x dpiY, each page pageWidth x pageHeight device
// units (the paper, orientation applied). Text stays text in the PDF. The file
// is written between StartDoc and EndDoc, to a temporary name renamed over
// `path` only at EndDoc (AbortDoc, or a failure, leaves any earlier file as it
// was). nullptr for a bad size or resolution; an unwritable path makes
// StartDoc fail. Free it with DeleteDC.
// To keep pages cheap, plain solid lines and unclipped plain text are drawn
// in batches: each keeps its order with its own kind and with every other
// drawing call, but where a glyph and a line cross the line lies on top.
// The document reaches the file whole at EndDoc, finished with what Cairo
// does not write (PdfMetadata), so a full disk shows there.
HDC CreatePdfPrinterDC(const char* path, int dpiX, int dpiY, int pageWidth, int pageHeight);
// Takes bytes in order; false stops the writing as a failed write would.
using ByteSink = std::function<bool(const unsigned char* data, std::size_t size)>;
// The same context handing its document to `sink` piece by piece instead of
// writing a file: the whole document in pieces during EndDoc. A sink that
// refuses a piece fails EndDoc; the caller throws away what it took.
HDC CreatePdfStreamDC(ByteSink sink, int dpiX, int dpiY, int pageWidth, int pageHeight);

// What a PDF says of itself: the title, author, subject and keywords (Info
// dictionary and XMP metadata) and the language of its text (the catalog's
// /Lang, a BCP 47 tag). A viewer shows the title rather than the file name.
// Empty fields are left out; without a title the document's name (DOCINFO)
// stands for it. `tagged` lets the drawing code give the document a structure
// tree (pdf_tags.h); off, the structure tags do nothing.
struct PdfMetadata {
  std::string title;
  std::string author;
  std::string subject;
  std::string keywords;
  std::string language;
  bool tagged = true;
};
// For the documents a PDF printer context writes from its next StartDoc on.
// Each document also gets an outline with one entry per page ("Page 3").
// False for a context that writes no PDF.
bool SetPdfMetadata(HDC hdc, const PdfMetadata& metadata);
// A heading on the page being drawn, `y` device units from its top: a
// document with headings gets them as its outline instead, each level-n
// entry under the last entry of a higher level (1 is the highest). False for
// a context that writes no PDF or outside a page.
bool AddPdfHeading(HDC hdc, int level, const std::string& title, int y);

struct GdiObjectCounts {
  int dcs = 0;
  int fonts = 0;
  int pens = 0;
  int brushes = 0;
  int bitmaps = 0;
  int regions = 0;
  int icons = 0;
  int total() const { return dcs + fonts + pens + brushes + bitmaps + regions + icons; }
};
// Objects created and not yet deleted (stock objects excluded).
GdiObjectCounts GdiLiveObjects();

}  // namespace ktfolio::win
