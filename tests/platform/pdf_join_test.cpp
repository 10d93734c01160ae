// Joining pieces of a document: hand-made pieces with what a reader must not
// mistake for references (strings, comments, stream data), read back with a
// PDF library; pieces the join must refuse.
#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gdi/pdf_join.h"
#include "support/pdf.h"

namespace ktfolio::testing {
namespace {

using win::PdfJoin;

// A PDF of `bodies` (object i+1 is bodies[i]) with a classic cross-reference
// table, as Cairo writes one.
std::string MakePdf(const std::vector<std::string>& bodies, int root, int info) {
  std::string pdf = "%PDF-1.4\n%\xB5\xED\xAE\xFB\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < bodies.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + bodies[i] + "\nendobj\n";
  }
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(bodies.size() + 1) + "\n0000000000 65535 f \n";
  char entry[24];
  for (std::size_t o : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", o);
    pdf += entry;
  }
  pdf += "trailer\n<< /Size " + std::to_string(bodies.size() + 1) + "\n   /Root " + std::to_string(root) +
         " 0 R\n   /Info " + std::to_string(info) + " 0 R\n>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

// One page whose dictionary holds references next to look-alikes, and whose
// content stream holds bytes that read like PDF syntax.
std::string Piece(const std::string& name, const std::string& data) {
  return MakePdf(
      {"<< /Type /Pages\n   /Kids [ 2 0 R ]\n   /Count 1\n   /MediaBox [ 0 0 200 200 ]\n>>",
       "<< /Type /Page % 1 0 R is a comment\n   /Parent 1 0 R\n   /Contents 3 0 R\n   /Resources << >>\n"
       "   /Note (see 3 0 R \\) (nested 4 0 R) )\n   /Hex <3420302052>\n   /Extra [ 4 0 R << /Deep 4 0 R >> ]\n>>",
       "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream",
       "(" + name + ")", "<< /Producer (hand) >>", "<< /Type /Catalog\n   /Pages 1 0 R\n>>"},
      6, 5);
}

struct Joined {
  std::string bytes;
  std::size_t calls = 0;
};

PdfJoin::Out Into(Joined& j) {
  return [&j](std::string_view b) {
    j.bytes.append(b);
    ++j.calls;
  };
}

std::string StreamText(QPDFObjectHandle stream) {
  const std::shared_ptr<Buffer> b = stream.getRawStreamData();
  return std::string(reinterpret_cast<const char*>(b->getBuffer()), b->getSize());
}

TEST(PdfJoin, RenumbersReferencesAndOnlyThemAndKeepsStreamDataByteForByte) {
  const std::string tricky = "0 0 m 9 9 l S % 2 0 R endobj\nendstream? no: (3 0 R) << /Kids [ 1 0 R ] >>";
  Joined out;
  win::PdfMetadata meta;
  meta.title = "Joined";
  meta.language = "fr-CA";
  meta.tagged = false;
  PdfJoin join(meta, Into(out));
  const std::string first = Piece("first", "0 0 m 5 5 l S");
  ASSERT_TRUE(join.Add(first));
  ASSERT_TRUE(join.Add(Piece("second", tricky)));
  ASSERT_TRUE(join.Add(Piece("third", "1 1 m 2 2 l S")));
  ASSERT_TRUE(join.Finish());
  EXPECT_EQ(join.Pages(), 3);
  EXPECT_EQ(out.bytes.compare(0, first.size(), first), 0) << "the first piece stays as it was";

  const std::string file = ::testing::TempDir() + "joined.pdf";
  std::ofstream(file, std::ios::binary) << out.bytes;
  EXPECT_EQ(CommandOutput("qpdf --check '" + file + "' >/dev/null 2>&1 && echo clean"), "clean\n");
  QPDF pdf;
  pdf.processMemoryFile("joined", out.bytes.data(), out.bytes.size());
  std::vector<QPDFObjectHandle> pages = pdf.getAllPages();
  ASSERT_EQ(pages.size(), 3u);
  const char* names[] = {"first", "second", "third"};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    QPDFObjectHandle page = pages[i];
    EXPECT_EQ(page.getKey("/Extra").getArrayItem(0).getStringValue(), names[i]);
    EXPECT_EQ(page.getKey("/Extra").getArrayItem(1).getKey("/Deep").getStringValue(), names[i]);
    EXPECT_EQ(page.getKey("/Note").getStringValue(), "see 3 0 R ) (nested 4 0 R) ");
    EXPECT_EQ(page.getKey("/Hex").getStringValue(), "4 0 R");
    // What a piece's tree gave its pages they still inherit, under the one tree.
    EXPECT_EQ(page.getKey("/Parent").getKey("/MediaBox").unparse(), "[ 0 0 200 200 ]");
    EXPECT_EQ(page.getKey("/Parent").getKey("/Parent").getObjGen(), pdf.getRoot().getKey("/Pages").getObjGen());
  }
  EXPECT_EQ(StreamText(pages[1].getKey("/Contents")), tricky);

  QPDFOutlineDocumentHelper outline(pdf);
  const auto entries = outline.getTopLevelOutlines();
  ASSERT_EQ(entries.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    auto entry = entries[i];
    EXPECT_EQ(std::tuple(entry.getTitle(), entry.getDestPage().getObjGen()),
              std::tuple("Page " + std::to_string(i + 1), pages[i].getObjGen()));
  }
  QPDFObjectHandle root = pdf.getRoot();
  EXPECT_EQ(root.getKey("/Lang").getUTF8Value(), "fr-CA");
  EXPECT_NE(StreamText(root.getKey("/Metadata")).find(">Joined<"), std::string::npos);
  EXPECT_EQ(pdf.getTrailer().getKey("/Info").getKey("/Producer").getStringValue(), "hand") << "the first piece's";

  Joined again;
  PdfJoin same(meta, Into(again));
  ASSERT_TRUE(same.Add(first) && same.Add(Piece("second", tricky)) && same.Add(Piece("third", "1 1 m 2 2 l S")));
  ASSERT_TRUE(same.Finish());
  EXPECT_EQ(again.bytes, out.bytes) << "the same pieces give the same bytes";
  EXPECT_LT(out.calls, 5u) << "the output goes in large pieces, not an object at a time";
}

TEST(PdfJoin, RefusesWhatIsNotAPieceAndWritesNothingOfIt) {
  const std::string good = Piece("good", "0 0 m 1 1 l S");
  std::string outlined = good;
  outlined.replace(outlined.find("/Pages 1 0 R"), 12, "/Outlines 5 0 R");
  std::string moved = good;  // a cross-reference that points beside its objects
  moved.replace(moved.find("xref\n0 7\n0000000000 65535 f \n") + 29, 10, "0000000003");
  std::string unbalanced = good;
  unbalanced.replace(unbalanced.find("/Resources << >>"), 16, "/Resources << <<");
  std::string stray = good;  // a string's end with no start: read as one, the rest would be skipped
  stray.replace(stray.find("/Resources << >>"), 16, "/Resources )) >>");
  const std::pair<const char*, std::string> refused[] = {
      {"nothing", ""},
      {"text", "not a PDF at all"},
      {"cut short", good.substr(0, good.size() - 40)},
      {"with an outline", outlined},
      {"objects misplaced", moved},
      {"an unclosed dictionary", unbalanced},
      {"a stray parenthesis", stray},
  };
  for (const auto& [name, piece] : refused) {
    SCOPED_TRACE(name);
    Joined out;
    PdfJoin join(win::PdfMetadata{}, Into(out));
    EXPECT_FALSE(join.Add(piece));
    EXPECT_FALSE(join.Finish()) << "nothing to finish";
    ASSERT_TRUE(join.Add(good));
    const std::size_t written = out.bytes.size();
    EXPECT_FALSE(join.Add(piece));
    ASSERT_TRUE(join.Finish());
    EXPECT_EQ(join.Pages(), 1);
    EXPECT_GT(out.bytes.size(), written);
    EXPECT_EQ(out.bytes.find("(good)", good.size()), std::string::npos) << "nothing of the refused piece";
  }
}

}  // namespace
}  // namespace ktfolio::testing
