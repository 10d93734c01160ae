// Template text in UTF-8 on request: written after a byte-order mark, read
// back whatever the control is set to, and what Windows-1252 loses reported.
#include <gtest/gtest.h>

#include "control/ktprint4_dispatch.h"
#include "persist/codepage.h"
#include "platform/container/property_bag.h"
#include "persist_test_util.h"

using namespace ktfolio;
using namespace ktfolio::testing;

namespace {

const std::string kWorld = "\u4f60\u597d, \u0141\u00f3d\u017a, \u05e9\u05dc\u05d5\u05dd";

void Fill(KtPrint4Impl& c) {
  c.AddRowTo(RowPlace::Header, "Header");
  c.AddRow("plain", kWorld);
  c.SetProperty(1, 2, "FontName", Variant("Noto Sans CJK SC"));
  c.AddRow("line one\r\n\u0141\u00f3d\u017a two");
}

TEST(TemplateCodePage, Utf8RoundTripsEveryCharacterByteForByte) {
  KtPrint4Impl c;
  Fill(c);
  c.TemplateCodePage(kCodePageUtf8);
  const std::string text = TemplateOf(c);
  ASSERT_EQ(text.substr(0, 3), kUtf8Bom);
  EXPECT_NE(text.find("Text=" + kWorld + "\r\n"), std::string::npos);
  EXPECT_EQ(c.LastTemplateLoss().character, 0u);

  KtPrint4Impl back;  // left at 1252: the mark decides how it reads
  back.SetDsnArray(Bytes(text));
  EXPECT_EQ(LastRecorded(back).number, 0) << LastRecorded(back).description;
  EXPECT_EQ(back.GetProperty(1, 2, "Text", Body).ToString(), kWorld);
  EXPECT_EQ(back.GetProperty(2, 1, "Text", Body).ToString(), "line one\r\n\u0141\u00f3d\u017a two");
  EXPECT_EQ(DumpDocument(back), DumpDocument(c));
  back.TemplateCodePage(kCodePageUtf8);
  const std::string again = TemplateOf(back);
  EXPECT_EQ(again.substr(0, 3), kUtf8Bom);
  EXPECT_NE(again.find("Text=" + kWorld + "\r\n"), std::string::npos);
}

TEST(TemplateCodePage, Windows1252KeepsItsBytesAndReportsTheFirstLoss) {
  KtPrint4Impl c;
  Fill(c);
  EXPECT_EQ(c.TemplateCodePage(), kCodePageWindows1252);
  const std::string text = TemplateOf(c);
  EXPECT_NE(text.substr(0, 3), kUtf8Bom);
  EXPECT_NE(text.find("Text=??, ?\xF3" "d?, ????\r\n"), std::string::npos);
  const TemplateLoss loss = c.LastTemplateLoss();
  EXPECT_EQ(loss.character, U'\u4f60');
  // The line it names is the line that holds it.
  std::size_t start = 0;
  for (std::size_t n = 1; n < loss.line; ++n) start = text.find("\r\n", start) + 2;
  EXPECT_EQ(text.substr(start, text.find("\r\n", start) - start), "Text=??, ?\xF3" "d?, ????");

  // A document the code page holds whole reports nothing, and writes as before.
  KtPrint4Impl plain;
  plain.AddRow("caf\u00e9 \u20ac5");
  EXPECT_NE(TemplateOf(plain).find("Text=caf\xE9 \x80" "5\r\n"), std::string::npos);
  EXPECT_EQ(plain.LastTemplateLoss().character, 0u);
}

TEST(TemplateCodePage, BadValuesAndBadTextAreRecordedAndChangeNothing) {
  KtPrint4Impl c;
  Fill(c);
  c.TemplateCodePage(1200);
  EXPECT_EQ(LastRecorded(c).number, 380);
  EXPECT_EQ(c.TemplateCodePage(), kCodePageWindows1252);
  c.ClearError();

  const std::string before = DumpDocument(c);
  // After the mark, a byte that cannot be UTF-8 refuses the whole text.
  c.SetDsnArray(Bytes(std::string(kUtf8Bom) + Lines({"[Properties]", "sText=caf\xE9"})));
  const Recorded e = LastRecorded(c);
  EXPECT_EQ(e.number, 321);
  EXPECT_NE(e.description.find("not UTF-8 text (byte 233 at offset 26)"), std::string::npos) << e.description;
  EXPECT_EQ(DumpDocument(c), before);
}

TEST(TemplateCodePage, IsAPropertyByNameAndInTheBag) {
  KtPrint4Dispatch d;
  d.Put("TemplateCodePage", Variant("65001"));
  KtPrint4Impl& c = d.Control();
  EXPECT_EQ(c.TemplateCodePage(), kCodePageUtf8);
  PropertyBag bag;
  c.WriteProperties(bag);
  KtPrint4Impl back;
  back.ReadProperties(bag);
  EXPECT_EQ(back.TemplateCodePage(), kCodePageUtf8);
}

}  // namespace
