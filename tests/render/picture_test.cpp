// Pictures in cells: stretched over the text area instead of the text, their
// height in twips, and files that are missing, truncated or not images.
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "render_test_util.h"

namespace ktfolio::testing {
namespace {

// Writes a 4 x 2 picture, red on the left half and blue on the right.
std::string TwoColourPicture(const std::string& dir) {
  const Canvas picture(4, 2, kRed);
  const RECT right{2, 0, 4, 2};
  FillRect(picture.dc, &right, OwnedBrush(CreateSolidBrush(kBlue)));
  const std::string file = dir + "/two.png";
  EXPECT_TRUE(SaveBitmapPng(picture.bitmap, file));
  return file;
}

class PictureCell : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempDir("picture");
    SmallPage(c, 200, 80);
    c.ColorResolution(cr_16M_Colors);
    c.AddRow("caption text");
  }
  KtPrint4Impl c;
  std::string dir;
};

TEST_F(PictureCell, APictureIsStretchedOverTheTextAreaAndTheTextIsNotShown) {
  const std::string file = TwoColourPicture(dir);
  ASSERT_TRUE(c.SetProperty(1, 1, "BitMap", Variant(file)));
  EXPECT_EQ(c.Rows(Body)->Item(1)->ItemText().Item(1)->ItemHeight(), 2 * 1440.0f / 96)
      << "the picture's height in twips";
  ASSERT_TRUE(c.SetProperty(1, 1, "FitHeightToText", Variant(false)));
  ASSERT_TRUE(c.SetProperty(1, 1, "RowHeight", Variant(Px(40))));
  RenderedPage page(c);  // stretched to the cell's right edge whatever its proportions, nothing below the row
  EXPECT_EQ(std::tuple(page.At(10, 5), page.At(90, 35), page.At(110, 5), page.At(190, 35), page.At(100, 45)),
            std::tuple(kRed, kRed, kBlue, kBlue, kWhite));
  EXPECT_EQ(page.Count(kBlack, {0, 0, 196, 40}), 0) << "no text";
  EXPECT_EQ(c.GetProperty(1, 1, "Text").ToString(), file);
}

TEST_F(PictureCell, AtLowColourResolutionsThePictureStillShowsItsColours) {
  const std::string file = TwoColourPicture(dir);
  ASSERT_TRUE(c.SetProperty(1, 1, "BitMap", Variant(file)));
  for (std::int32_t bits : {cr_BlackWhite, cr_16_Colors, cr_256_Colors, cr_65536_Colors}) {
    SCOPED_TRACE("bits " + std::to_string(bits));
    c.ColorResolution(bits);
    RenderedPage page(c);
    const COLORREF left = page.At(10, 1), right = page.At(150, 1);  // the row is the picture's 2 pixels high
    EXPECT_NE(left, kWhite);
    if (bits != cr_BlackWhite) {
      EXPECT_GT(GetRValue(left), 0x80) << "red stays reddish";
      EXPECT_GT(GetBValue(right), 0x80) << "blue stays bluish";
    }
  }
}

TEST_F(PictureCell, BadPictureFilesAreRecordedAndLeaveTheCellShowingItsText) {
  const std::string good = TwoColourPicture(dir);
  std::ifstream in(good, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::ofstream(dir + "/truncated.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  std::ofstream(dir + "/text.png") << "this is not a picture\n";
  struct Case { const char* name; std::string file; };
  const Case cases[] = {{"missing", dir + "/nothing-here.png"},
                        {"truncated", dir + "/truncated.png"},
                        {"not an image", dir + "/text.png"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    c.ClearError();
    EXPECT_FALSE(c.SetProperty(1, 1, "BitMap", Variant(k.file)));
    EXPECT_NE(LastErrorNumber(c), 0);
    EXPECT_EQ(std::tuple(c.GetProperty(1, 1, "BitMap").ToString(), c.GetProperty(1, 1, "Text").ToString()),
              std::tuple("", "caption text"));
    RenderedPage page(c);
    EXPECT_GT(page.Count(kBlack, {0, 0, 196, 40}), 0) << "the text is drawn";
  }
  EXPECT_TRUE(c.AddRow("still usable"));
}

}  // namespace
// The example invoice's logo keeps its proportions: its cell's text area is
// the picture's own 72 x 72 pixels, so the preview at 100 % shows it unscaled
// (the blue square of the picture is 68 x 68 pixels) and the PDF at 96
// pixels per inch both ways.
TEST(InvoiceLogo, IsDrawnAtItsOwnSizeInThePreviewAndInThePdf) {
  KtPrint4Impl c;
  ASSERT_TRUE(c.LoadFromTemplate(KTFOLIO_TEST_DATA "/../../examples/templates/invoice.ktt"));
  RenderedPage page(c, 1, 100);
  render::CellHit logo;
  ASSERT_TRUE(render::CellAtAddress(c, 1, Header, 1, 1, logo));
  auto px = [](double twips) { return static_cast<LONG>(twips / kTwipsPerPixel); };
  const RECT cell{px(logo.rect.left), px(logo.rect.top), px(logo.rect.right), px(logo.rect.bottom)};
  const RECT square = page.InkOf(cell, RGB(19, 69, 139));
  EXPECT_EQ(std::tuple(square.right - square.left, square.bottom - square.top), std::tuple(68, 68));

  const std::string pdf = TempDir("logo") + "/invoice.pdf";
  ASSERT_TRUE(c.ExportPdf(pdf, 1, 1));
  // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
  std::istringstream list(testing::Run("pdfimages -list '" + pdf + "' | tail -n +3"));
  std::string field;
  std::vector<std::string> fields;
  while (list >> field) fields.push_back(field);
  ASSERT_GE(fields.size(), 14u) << "one image in the PDF";
  EXPECT_EQ(fields[3] + "x" + fields[4], "72x72");
  EXPECT_EQ(fields[12] + " " + fields[13], "96 96") << "pixels per inch across and down";
}

}  // namespace ktfolio::testing
