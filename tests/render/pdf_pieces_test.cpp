// Long untagged PDFs drawn in pieces by several processes and joined: the file
// is one valid document whatever the number of processes, reads as the same
// document drawn at once, and documents a piece could not carry are drawn
// at once.
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <ktfolio/events.h>

#include "render_test_util.h"

namespace ktfolio::testing {
namespace {

// 30 rows of 400 twips a page on A4 (each page after the first starts with a
// page break): `pages` pages, each row numbered.
void LongListing(KtPrint4Impl& c, int pages) {
  c.ScaleMode(eTwip);
  c.PageSize(s_A4);
  c.TaggedPdf(false);
  c.dFitHeightToText(false);
  c.dRowHeight(400);
  c.AddHeaderRow("Long listing");
  c.AddFooterRow("Page %p of %n");
  const int perPage = 30;
  for (int i = 1; i <= pages * perPage; ++i) {
    c.AddRow("Row " + std::to_string(i), "#4000#" + std::to_string(i * 3));
    if (i % perPage == 1 && i > 1) c.SetPageBreak(i);
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The file without what differs from one second to the next: the creation
// date, and the ID digested from it.
std::string Undated(std::string pdf) {
  pdf = std::regex_replace(pdf, std::regex(R"(/CreationDate \(D:[0-9]+Z\))"), "/CreationDate ()");
  return std::regex_replace(pdf, std::regex(R"(/ID \[<[0-9a-f]+><[0-9a-f]+>\])"), "/ID []");
}

std::string Written(KtPrint4Impl& c, const std::string& name, std::int32_t jobs) {
  static const std::string dir = TempDir("pieces");
  const std::string file = dir + "/" + name;
  c.PdfJobs(jobs);
  EXPECT_TRUE(c.ExportPdf(file, 1, c.Pages())) << LastErrorNumber(c);
  return file;
}

// The type of the first kid of the page tree: "/Pages" when the document was
// joined from pieces (each piece a branch), "/Page" when drawn at once.
std::string FirstKidType(const std::string& file) {
  QPDF pdf;
  pdf.processFile(file.c_str());
  return pdf.getRoot().getKey("/Pages").getKey("/Kids").getArrayItem(0).getKey("/Type").getName();
}

class Listener : public KtPrint4Events {
 public:
  void NewPage(std::int32_t&, std::int32_t&, std::int32_t&) override { ++raised; }
  int raised = 0;
};

class Deaf : public Listener {
 public:
  bool HearsNewPage() const override { return false; }
};

TEST(PdfPieces, TheSameFileWhateverTheProcessesAndTheSameTextAsOneDrawnAtOnce) {
  KtPrint4Impl c;
  constexpr int P = render::kPdfPiecePages;
  LongListing(c, 4 * P + 48);  // five pieces, the last a short one
  const int last = c.Pages();
  ASSERT_EQ(last, 4 * P + 48);
  const std::string two = Written(c, "two.pdf", 2), one = Written(c, "one.pdf", 1);
  EXPECT_EQ(FirstKidType(two), "/Pages");
  EXPECT_EQ(Undated(ReadFile(two)), Undated(ReadFile(one)));
  EXPECT_EQ(CommandOutput("qpdf --check '" + two + "' >/dev/null 2>&1 && echo clean"), "clean\n");

  Listener host;  // a host that hears NewPage sees every page in order: drawn at once
  c.Advise(&host);
  const std::string whole = Written(c, "whole.pdf", 2);
  c.Unadvise(&host);
  EXPECT_EQ(FirstKidType(whole), "/Page");
  EXPECT_EQ(host.raised, 2 * last);
  Deaf deaf;  // says NewPage does nothing: the pieces stay, and no piece raises it, here or in a copy
  c.Advise(&deaf);
  EXPECT_EQ(FirstKidType(Written(c, "deaf.pdf", 2)), "/Pages");
  c.Unadvise(&deaf);
  EXPECT_EQ(deaf.raised, 0);
  EXPECT_EQ(CommandOutput("pdftotext -layout '" + two + "' -"), CommandOutput("pdftotext -layout '" + whole + "' -"));

  // Pages across the joins are the right ones, the outline names and finds every page.
  for (int page : {1, P, P + 1, 2 * P, 2 * P + 1, last}) {
    const std::string text = PdfText(two, page);
    EXPECT_NE(text.find("Row " + std::to_string((page - 1) * 30 + 1) + "\n"), std::string::npos) << page;
    EXPECT_NE(text.find("Page " + std::to_string(page) + " of " + std::to_string(last)), std::string::npos) << page;
  }
  QPDF pdf;
  pdf.processFile(two.c_str());
  const std::vector<QPDFObjectHandle> pages = pdf.getAllPages();
  QPDFOutlineDocumentHelper outline(pdf);
  const std::vector<QPDFOutlineObjectHelper> entries = outline.getTopLevelOutlines();
  ASSERT_EQ(std::tuple(pages.size(), entries.size()), std::tuple(std::size_t(last), std::size_t(last)));
  for (std::size_t i : {0, P - 1, P, last - 1}) {
    QPDFOutlineObjectHelper entry = entries[i];
    EXPECT_EQ(entry.getTitle(), "Page " + std::to_string(i + 1));
    EXPECT_EQ(entry.getDestPage().getObjGen(), pages[i].getObjGen()) << i;
  }
}

TEST(PdfPieces, TheJoinedFileSaysOfItselfWhatOneDrawnAtOnceSays) {
  KtPrint4Impl c;
  LongListing(c, render::kPdfPiecePages + 10);
  c.DocTitle("Kassenbuch – März");
  c.DocAuthor("Ann (Accounts)");
  c.DocLanguage("de-DE");
  const std::string file = Written(c, "meta.pdf", 2);
  ASSERT_EQ(FirstKidType(file), "/Pages");
  QPDF pdf;
  pdf.processFile(file.c_str());
  QPDFObjectHandle root = pdf.getRoot(), info = pdf.getTrailer().getKey("/Info");
  EXPECT_EQ(std::tuple(info.getKey("/Title").getUTF8Value(), info.getKey("/Author").getUTF8Value(),
                       root.getKey("/Lang").getUTF8Value()),
            std::tuple("Kassenbuch – März", "Ann (Accounts)", "de-DE"));
  EXPECT_TRUE(root.getKey("/ViewerPreferences").getKey("/DisplayDocTitle").getBoolValue());
  const std::shared_ptr<Buffer> xmp = root.getKey("/Metadata").getStreamData();
  const std::string packet(reinterpret_cast<const char*>(xmp->getBuffer()), xmp->getSize());
  EXPECT_NE(packet.find("Kassenbuch – März"), std::string::npos);
  EXPECT_EQ(packet.find("pdfuaid:part"), std::string::npos) << "an untagged file claims no accessibility";
  EXPECT_EQ(PdfField(file, "Pages"), std::to_string(render::kPdfPiecePages + 10));
}

// The outline as a reader walks it: each entry's depth, title, page (from 1)
// and the height its destination shows.
std::vector<std::string> Outline(const std::string& file) {
  QPDF pdf;
  pdf.processFile(file.c_str());
  std::map<QPDFObjGen, int> pageOf;
  int n = 0;
  for (QPDFObjectHandle page : pdf.getAllPages()) pageOf[page.getObjGen()] = ++n;
  std::vector<std::string> out;
  std::function<void(std::vector<QPDFOutlineObjectHelper>, int)> walk = [&](auto entries, int depth) {
    for (QPDFOutlineObjectHelper& e : entries) {
      QPDFObjectHandle dest = e.getDest();
      out.push_back(std::to_string(depth) + " " + e.getTitle() + " p" + std::to_string(pageOf[e.getDestPage().getObjGen()]) +
                    " y" + dest.getArrayItem(3).unparse() + " count " + std::to_string(e.getCount()));
      walk(e.getKids(), depth + 1);
    }
  };
  QPDFOutlineDocumentHelper helper(pdf);
  walk(helper.getTopLevelOutlines(), 1);
  return out;
}

TEST(PdfPieces, HeadingsInEveryPieceMakeTheOutlineOfTheDocumentDrawnAtOnce) {
  KtPrint4Impl c;
  LongListing(c, 3 * render::kPdfPiecePages + 5);
  // Levels that climb and fall across the pieces' joins, a title not in ASCII.
  const std::pair<int, int> heads[] = {{1, 1}, {31, 2}, {200, 3}, {3000, 2}, {3841, 1}, {3842, 3}, {7700, 2}, {11500, 1}};
  for (auto [row, level] : heads) c.SetProperty(row, 0, "OutlineLevel", Variant(level));
  c.SetProperty(3841, 1, "Text", Variant(std::string("Übersicht – März")));
  const std::string pieces = Written(c, "headings.pdf", 2);
  ASSERT_EQ(FirstKidType(pieces), "/Pages");
  Listener host;
  c.Advise(&host);
  const std::string whole = Written(c, "headings-whole.pdf", 2);
  c.Unadvise(&host);
  ASSERT_EQ(FirstKidType(whole), "/Page");
  const std::vector<std::string> outline = Outline(pieces);
  EXPECT_EQ(outline, Outline(whole));
  ASSERT_EQ(outline.size(), std::size(heads));
  EXPECT_EQ(outline[4].rfind("1 Übersicht – März 11523 p129 y", 0), 0u) << outline[4];  // the second piece's first page
}

TEST(PdfPieces, AStreamGetsTheBytesTheFileGets) {
  KtPrint4Impl c;
  LongListing(c, 2 * render::kPdfPiecePages + 1);
  const std::string file = Written(c, "file.pdf", 2);
  const std::vector<std::uint8_t> bytes = render::PdfBytes(c, 1, c.Pages());
  EXPECT_EQ(Undated(std::string(bytes.begin(), bytes.end())), Undated(ReadFile(file)));
}

TEST(PdfPieces, DocumentsAPieceCannotCarryAreDrawnAtOnce) {
  struct Case {
    const char* name;
    std::function<void(KtPrint4Impl&)> make;
    const char* firstKid;
  };
  const Case cases[] = {
      {"untagged", [](KtPrint4Impl&) {}, "/Pages"},
      {"tagged", [](KtPrint4Impl& c) { c.TaggedPdf(true); }, "/Page"},
      {"one piece", [](KtPrint4Impl& c) { c.RemoveRows(render::kPdfPiecePages * 30 + 1, c.LastRow()); }, "/Page"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    KtPrint4Impl c;
    LongListing(c, render::kPdfPiecePages + 10);
    k.make(c);
    const std::string file = Written(c, std::string(k.name) + ".pdf", 2);
    EXPECT_EQ(FirstKidType(file), k.firstKid);
    EXPECT_EQ(PdfField(file, "Pages"), std::to_string(c.Pages()));
  }
}

TEST(PdfPieces, WithoutDescriptorsForThePiecesTheDocumentIsDrawnAtOnce) {
  KtPrint4Impl c;
  LongListing(c, 4 * render::kPdfPiecePages);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
  int highest = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    highest = std::max(highest, std::atoi(entry.path().filename().c_str()));
  std::vector<int> taken;  // every free number up to the highest, so that only those past it are left
  for (int fd = ::open("/dev/null", O_RDONLY); fd >= 0; fd = ::open("/dev/null", O_RDONLY)) {
    taken.push_back(fd);
    if (fd > highest) break;
  }
  ASSERT_FALSE(taken.empty());
  rlimit tight = old;
  tight.rlim_cur = static_cast<rlim_t>(taken.back() + 3);  // two left: the file and one piece, not four
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  const std::string file = Written(c, "tight.pdf", 2);
  setrlimit(RLIMIT_NOFILE, &old);
  for (int fd : taken) ::close(fd);
  EXPECT_EQ(LastErrorNumber(c), 0);
  EXPECT_EQ(FirstKidType(file), "/Page");
  EXPECT_EQ(PdfField(file, "Pages"), std::to_string(4 * render::kPdfPiecePages));
}

TEST(PdfPieces, ProgressCountsEveryProcesssPagesUpToTheWhole) {
  KtPrint4Impl c;
  LongListing(c, 3 * render::kPdfPiecePages);
  const int total = c.Pages();
  std::vector<std::pair<std::int32_t, std::int32_t>> seen;
  {
    render::PageProgressScope scope([&](std::int32_t done, std::int32_t total) { seen.emplace_back(done, total); });
    Written(c, "progress.pdf", 2);
  }
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), std::pair(total, total));
  for (std::size_t i = 1; i < seen.size(); ++i) {
    EXPECT_LE(seen[i - 1].first, seen[i].first) << i;
    EXPECT_EQ(seen[i].second, total);
  }
}

TEST(PdfPieces, ACopyKilledMidDocumentLeavesItsPiecesToTheCaller) {
  KtPrint4Impl c;
  LongListing(c, 6 * render::kPdfPiecePages);
  const std::string one = Written(c, "unkilled.pdf", 1);
  int killed = 0;
  std::string file;
  {
    // The first time the caller reports progress, its copies are killed.
    render::PageProgressScope scope([&](std::int32_t, std::int32_t) {
      if (killed) return;
      std::ifstream children("/proc/self/task/" + std::to_string(gettid()) + "/children");
      for (pid_t pid; children >> pid; ++killed) kill(pid, SIGKILL);
    });
    file = Written(c, "killed.pdf", 2);
  }
  if (killed == 0) GTEST_SKIP() << "no copy was running to be killed (one core, or no /proc children list)";
  EXPECT_EQ(LastErrorNumber(c), 0);
  EXPECT_EQ(Undated(ReadFile(file)), Undated(ReadFile(one)));
}

TEST(PdfPieces, ANegativeProcessCountIsRefusedAndTheOldOneKept) {
  KtPrint4Impl c;
  c.PdfJobs(3);
  c.PdfJobs(-1);
  EXPECT_EQ(std::tuple(c.PdfJobs(), LastErrorNumber(c)), std::tuple(3, ToInt(ErrorCode::kInvalidPropertyValue)));
}

}  // namespace
}  // namespace ktfolio::testing
