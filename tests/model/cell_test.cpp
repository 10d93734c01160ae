// A cell's own text, its by-name access and what copying its layout takes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "model/rows.h"
#include "model/textitem.h"

namespace ktfolio {
namespace {

using namespace ::testing;

TEST(CellText, LineBreaksAreStoredAsMarkersAndACopyTakesTheLayoutOnly) {
  KtTextItem cell;
  cell.Text("a\r\nb");
  EXPECT_EQ(std::tuple(cell.StoredText(), cell.Text()), std::tuple("a<cr><lf>b", "a\r\nb"));
  cell.Text("x<lf>y");
  EXPECT_EQ(cell.Text(), "x\ny") << "a literal marker comes back as a break";
  cell.Text("<CR>");
  EXPECT_EQ(cell.Text(), "<CR>") << "markers are exact-case";
  cell.Text("photo.png");
  cell.BITMAP("");
  EXPECT_EQ(std::tuple(cell.BITMAP(), cell.Text(), cell.HasBitmap()),
            std::tuple("", "photo.png", false))
      << "an empty picture name drops the picture but keeps the text";
  KtTextItem model, copy;
  model.Text("model text");
  model.Focused(true);
  model.FontName("Courier New");
  model.TabLeft(720);
  model.LineBottom(2);
  model.WordWrap(true);
  copy.CopyAttributesFrom(model);
  EXPECT_EQ(std::tuple(copy.FontName(), copy.TabLeft(), copy.LineBottom(), copy.WordWrap(), copy.Text(), copy.Focused()),
            std::tuple("Courier New", 720, 2, true, "", false));
}

TEST(CellByName, NamesMatchWithoutRegardToCaseAndBadOnesThrowNumberedErrors) {
  KtTextItem cell;
  cell.SetByName("fontstrikethru", Variant(true));
  cell.SetByName("EDGE", Variant(5));
  cell.SetByName("TabLeft", Variant("1440.5"));
  cell.SetByName("PenStyle", Variant(99));  // beyond the enumeration, kept as given
  EXPECT_EQ(std::tuple(cell.FontStrikethru(), cell.edge(), cell.TabLeft(),
                       cell.GetByName("tableft").ToSingle(), cell.PenStyle()),
            std::tuple(true, 5, 1440.5f, 1440.5f, 99));
  using enum ErrorCode;
  for (auto [name, value, expected] : {std::tuple("AligPos", Variant(1), kNotSupported),
                                       std::tuple("LineTop", Variant(40000), kOverflow),
                                       std::tuple("FontBold", Variant("maybe"), kTypeMismatch)})
    EXPECT_THAT([&] { cell.SetByName(name, value); },
                Throws<Error>(Property(&Error::number, ToInt(expected)))) << name;
  EXPECT_FALSE(cell.FontBold()) << "a refused value changes nothing";
}

}  // namespace
}  // namespace ktfolio
