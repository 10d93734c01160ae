// The published enumerations with their published values. Unscoped on
// purpose: hosts write Body, s_A4 or ppLeftCenter as plain names.
#pragma once

#include <cstdint>

namespace ktfolio {

// Where a new row goes: the body's centre, its start or end section, or a band.
enum class RowPlace { Body, StartDoc, EndDoc, Header, Footer };

enum ctsPrinterScale : std::int32_t {
  eTwip = 1,
  eInch = 5,
  eMillimetre = 6,
  eCentimetre = 7,
};

enum ctsPageArea : std::int32_t {
  Body = 0,
  Header = 1,
  Footer = 2,
};

enum ctsOrientation : std::int32_t {
  Portrait = 0,
  Landscape = 1,
};

enum ctsColsLayoutType : std::int32_t {
  Manual = 0,
  Uniform = 1,
};

enum ctsFirstLast : std::int32_t {
  First = 0,
  Last = 1,
};

enum ctsColorResolution : std::int32_t {
  cr_BlackWhite = 1,
  cr_16_Colors = 4,
  cr_256_Colors = 8,
  cr_65536_Colors = 16,
  cr_16M_Colors = 24,
};

enum ctsPenStyle : std::int32_t {
  sPS_SOLID = 0,
  sPS_DASH = 1,
  sPS_DOT = 2,
  sPS_DASHDOT = 3,
  sPS_DASHDOTDOT = 4,
  sPS_NULL = 5,
  sPS_INSIDEFRAME = 6,
  sPS_USERSTYLE = 7,
  sPS_ALTERNATE = 8,
  sPS_STYLE_MASK = 15,
};

enum ctsPrinterPaperSize : std::int32_t {
  s_LETTER = 1,
  s_LETTERSMALL = 2,
  s_TABLOID = 3,
  s_LEDGER = 4,
  s_LEGAL = 5,
  s_STATEMENT = 6,
  s_EXECUTIVE = 7,
  s_A3 = 8,
  s_A4 = 9,
  s_A4_SMALL = 10,
  s_A5 = 11,
  s_B4 = 12,
  s_B5 = 13,
  s_FOLIO = 14,
  s_QUARTO = 15,
  s_10X14 = 16,
  s_11X17 = 17,
  s_NOTE = 18,
  s_ENV_9 = 19,
  s_ENV_10 = 20,
  s_ENV_11 = 21,
  s_ENV_12 = 22,
  s_ENV_14 = 23,
  s_ENV_DL = 27,
  s_ENV_C5 = 28,
  s_ENV_C3 = 29,
  s_ENV_C4 = 30,
  s_ENV_C6 = 31,
  s_ENV_C65 = 32,
  s_ENV_B4 = 33,
  s_ENV_B5 = 34,
  s_ENV_B6 = 35,
  s_ENV_ITALY = 36,
  s_ENV_MONARCH = 37,
  s_ENV_PERSONAL = 38,
  s_FANFOLD_US = 39,
  s_FANFOLD_STD_GERMAN = 40,
  s_FANFOLD_LGL_GERMAN = 41,
  s_ISO_B4 = 42,
  s_JAPANESE_POSTCARD = 43,
  s_9X11 = 44,
  s_10X11 = 45,
  s_15X11 = 46,
  s_ENV_INVITE = 47,
  s_LETTER_EXTRA = 50,
  s_LEGAL_EXTRA = 51,
  s_TABLOID_EXTRA = 52,
  s_A4_EXTRA = 53,
  s_LETTER_TRANSVERSE = 54,
  s_A4_TRANSVERSE = 55,
  s_LETTER_EXTRA_TRANSVERSE = 56,
  s_A_PLUS = 57,
  s_B_PLUS = 58,
  s_LETTER_PLUS = 59,
  s_A4_PLUS = 60,
  s_A5_TRANSVERSE = 61,
  s_B5_TRANSVERSE = 62,
  s_A3_EXTRA = 63,
  s_A5_EXTRA = 64,
  s_B5_EXTRA = 65,
  s_A2 = 66,
  s_A3_TRANSVERSE = 67,
  s_A3_EXTRA_TRANSVERSE = 68,
  s_USER = 256,
};

enum ctsPrinterAlign : std::int32_t {
  eLeft = 0,
  eCentre = 1,
  eRight = 2,
  eJustify = 3,
};

enum ctsPrinterChar : std::int32_t {
  eNone = 0,
  eSpace = 1,
  eDash = 2,
  eLine = 3,
  eOops = 4,
};

enum ppEnterActionConstants : std::int32_t {
  ppEnterNone = 0,
  ppEnterNext = 1,
  ppEnterPrevious = 2,
  ppEnterAddCRLF = 3,
};

enum ppStyleConstants : std::int32_t {
  ppFontFlat = 0,
  ppFontRaised = 1,
  ppFontRaisedHeavy = 2,
  ppFontInset = 3,
  ppFontInsetHeavy = 4,
};

enum ppPositionConstants : std::int32_t {
  ppLeftTop = 0,
  ppCenterTop = 1,
  ppRightTop = 2,
  ppJustifyTop = 3,
  ppLeftCenter = 4,
  ppCenterCenter = 5,
  ppRightCenter = 6,
  ppJustifyCenter = 7,
  ppLeftBottom = 8,
  ppCenterBottom = 9,
  ppRightBottom = 10,
  ppJustifyBottom = 11,
};

enum ppOutLineConstants : std::int32_t {
  ppLineLeft = 1,
  ppLineRight = 2,
  ppLineTop = 4,
  ppLineBottom = 8,
  ppOutLineFull = 15,
  ppLineTopBottom = 12,
  ppLineLeftRight = 3,
  ppLineLeftTop = 5,
  ppLineLeftBottom = 9,
  ppLineRightTop = 6,
  ppLineRightBottom = 10,
  ppLineLeftRightTop = 7,
  ppLineLeftRightBottom = 11,
  ppLineLeftTopBottom = 13,
  ppLineRightTopBottom = 14,
};

enum ppFrameControlConstants : std::int32_t {
  ppDFC_NONE = 0,
  ppDFC_CAPTION = 1,
  ppDFC_MENU = 2,
  ppDFC_SCROLL = 3,
  ppDFC_BUTTON = 4,
};

enum ppFrameControlFlags : std::int32_t {
  ppDFCS_CAPTIONCLOSE = 0,
  ppDFCS_CAPTIONMIN = 1,
  ppDFCS_CAPTIONMAX = 2,
  ppDFCS_CAPTIONRESTORE = 3,
  ppDFCS_CAPTIONHELP = 4,
  ppDFCS_MENUARROW = 0,
  ppDFCS_MENUCHECK = 1,
  ppDFCS_MENUBULLET = 2,
  ppDFCS_MENUARROWRIGHT = 4,
  ppDFCS_SCROLLUP = 0,
  ppDFCS_SCROLLDOWN = 1,
  ppDFCS_SCROLLLEFT = 2,
  ppDFCS_SCROLLRIGHT = 3,
  ppDFCS_SCROLLCOMBOBOX = 5,
  ppDFCS_SCROLLSIZEGRIP = 8,
  ppDFCS_SCROLLSIZEGRIPRIGHT = 16,
  ppDFCS_BUTTONCHECK = 0,
  ppDFCS_BUTTONRADIO = 4,
  ppDFCS_BUTTON3STATE = 8,
  ppDFCS_BUTTONPUSH = 16,
  ppDFCS_INACTIVE = 256,
  ppDFCS_PUSHED = 512,
  ppDFCS_CHECKED = 1024,
  ppDFCS_ADJUSTRECT = 8192,
  ppDFCS_FLAT = 16384,
  ppDFCS_MONO = -32768,
};

enum ppDEConstants : std::int32_t {
  ppBDR_NONE = 0,
  ppBDR_RAISEDOUTER = 1,
  ppBDR_SUNKENOUTER = 2,
  ppBDR_RAISEDINNER = 4,
  ppBDR_SUNKENINNER = 8,
  ppBDR_OUTER = 3,
  ppBDR_INNER = 12,
  ppBDR_RAISED = 5,
  ppBDR_SUNKEN = 10,
  ppEDGE_RAISED = 5,
  ppEDGE_SUNKEN = 10,
  ppEDGE_ETCHED = 6,
  ppEDGE_BUMP = 9,
};

enum ppDEFlags : std::int32_t {
  ppBF_LEFT = 1,
  ppBF_TOP = 2,
  ppBF_RIGHT = 4,
  ppBF_BOTTOM = 8,
  ppBF_TOPLEFT = 3,
  ppBF_TOPRIGHT = 6,
  ppBF_BOTTOMLEFT = 9,
  ppBF_BOTTOMRIGHT = 12,
  ppBF_RECT = 15,
  ppBF_DIAGONAL = 16,
  ppBF_DIAGONAL_ENDTOPRIGHT = 22,
  ppBF_DIAGONAL_ENDTOPLEFT = 19,
  ppBF_DIAGONAL_ENDBOTTOMLEFT = 25,
  ppBF_DIAGONAL_ENDBOTTOMRIGHT = 28,
  ppBF_MIDDLE = 2048,
  ppBF_SOFT = 4096,
  ppBF_ADJUST = 8192,
  ppBF_FLAT = 16384,
  ppBF_MONO = -32768,
};

}  // namespace ktfolio
