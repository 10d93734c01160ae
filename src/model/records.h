// The control's page geometry and defaults records (lengths in twips).
#pragma once

#include <cstdint>
#include <string>

#include "model/enums.h"

namespace ktfolio {

struct tpPageInfo {
  float Width = 0;
  float Height = 0;
  float AvailWidth = 0;
  float AvailHeight = 0;
  float LeftM = 0;
  float RightM = 0;
  float TopM = 0;
  float BottomM = 0;
  float FooterM = 0;
  float HeaderM = 0;
};

struct tpDefaults {
  float dRowIndentTop = 80;
  float dRowIndentBottom = 80;
  std::string dFontName = "Arial";
  float dFontSize = 10;
  bool dFontBold = false;
  bool dFontItalic = false;
  bool dFontUnderline = false;
  bool dFontStrikeThru = false;
  std::int32_t dFontStyle = ppFontFlat;
  std::uint32_t dFontColor = 0;
  std::uint32_t dColShadowColor = 0x8000000F;
  std::uint32_t dColShadowHeavyColor = 0x8000000F;
  std::uint32_t dColPenColor = 0;
  std::uint32_t dColBrushColor = 0xFFFFFF;
  float dColIndentFirst = 0;
  float dColIndentRight = 80;
  float dColIndentLeft = 80;
  std::int32_t dColAlignPos = ppLeftCenter;
  std::int32_t dColShadowSize = 0;
  bool dColClipping = true;
  bool dColWordWrap = true;
  std::int32_t dColPenStyle = sPS_SOLID;
  bool dColFillCell = false;
  std::int16_t dColLineBottom = 0;
  std::int16_t dColLineTop = 0;
  std::int16_t dColLineLeft = 0;
  std::int16_t dColLineRight = 0;
  std::int32_t dColEditType = 0;
  bool dInheritLastRow = true;
  std::int32_t dColsPerRow = 1;
  std::int32_t dColsLayoutType = Manual;
  float dColSpacing = 0;
  float dRowSpacing = 0;
  float dRowHeight = 300;
  bool dFitHeightToText = true;
};

}  // namespace ktfolio
