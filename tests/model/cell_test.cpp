#include <gtest/gtest.h>

#include "model/rows.h"
#include "model/textitem.h"

namespace ktfolio {
namespace {

TEST(CellText, LineBreaksAreStoredAsMarkers) {
  KtTextItem cell;
  cell.Text("a\r\nb");
  EXPECT_EQ(cell.StoredText(), "a<cr><lf>b");
  EXPECT_EQ(cell.Text(), "a\r\nb");
  cell.Text("x<lf>y");  // a literal marker comes back as a break
  EXPECT_EQ(cell.Text(), "x\ny");
  cell.Text("<CR>");  // markers are exact-case
  EXPECT_EQ(cell.Text(), "<CR>");
}

TEST(CellByName, NamesMatchWithoutRegardToCase) {
  KtTextItem cell;
  cell.SetByName("fontstrikethru", Variant(true));
  EXPECT_TRUE(cell.FontStrikethru());
  cell.SetByName("EDGE", Variant(5));
  EXPECT_EQ(cell.edge(), 5);
  cell.SetByName("TabLeft", Variant("1440.5"));
  EXPECT_FLOAT_EQ(cell.TabLeft(), 1440.5f);
  EXPECT_EQ(cell.GetByName("tableft").ToSingle(), 1440.5f);
  cell.SetByName("PenStyle", Variant(99));  // beyond the enumeration, kept as given
  EXPECT_EQ(cell.PenStyle(), 99);
}

TEST(CellByName, UnknownNamesAndBadValuesThrowNumberedErrors) {
  struct Case {
    const char* name;
    Variant value;
    ErrorCode number;
  };
  const Case cases[] = {{"AligPos", Variant(1), ErrorCode::kNotSupported},
                        {"LineTop", Variant(40000), ErrorCode::kOverflow},
                        {"FontBold", Variant("maybe"), ErrorCode::kTypeMismatch}};
  KtTextItem cell;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    std::int32_t number = 0;
    try {
      cell.SetByName(k.name, k.value);
    } catch (const Error& e) {
      number = e.number();
    }
    EXPECT_EQ(number, k.number);
  }
  EXPECT_FALSE(cell.FontBold());
}

TEST(CellBitmap, EmptyNameDropsThePictureButKeepsTheText) {
  KtTextItem cell;
  cell.Text("photo.png");
  cell.BITMAP("");
  EXPECT_EQ(cell.BITMAP(), "");
  EXPECT_EQ(cell.Text(), "photo.png");
  EXPECT_FALSE(cell.HasBitmap());
}

TEST(CellCopy, CopiesLayoutButNotTextOrFocus) {
  KtTextItem model;
  model.Text("model text");
  model.Focused(true);
  model.FontName("Courier New");
  model.TabLeft(720);
  model.LineBottom(2);
  model.WordWrap(true);
  KtTextItem copy;
  copy.CopyAttributesFrom(model);
  EXPECT_EQ(copy.FontName(), "Courier New");
  EXPECT_EQ(copy.TabLeft(), 720);
  EXPECT_EQ(copy.LineBottom(), 2);
  EXPECT_TRUE(copy.WordWrap());
  EXPECT_EQ(copy.Text(), "");
  EXPECT_FALSE(copy.Focused());
}

}  // namespace
}  // namespace ktfolio
