// Template files: saving replaces a file only once the new one is complete,
// loading refuses what is not a template file and changes nothing then.
#include <sys/stat.h>

#include "persist_test_util.h"
#include "platform/container/property_bag.h"

namespace ktfolio {
namespace {

using namespace testing;
namespace fs = std::filesystem;

std::size_t FilesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(TemplateFile, ASavedTemplateHoldsExactlyTheDesignBytesAndLoadsBack) {
  ScratchDir dir;
  const std::string file = dir.File("invoice.ktt");
  KtPrint4Impl a;
  a.AddHeaderRow("Invoice", "No. 7");
  a.AddRow("Item", 12.5, true);
  ASSERT_TRUE(a.SaveAsTemplate(file));
  EXPECT_EQ(std::tuple(ReadFile(file), ReadFile(file)), std::tuple(Text(a.DesignBuffer()), TemplateOf(a)));
  EXPECT_EQ(FilesIn(dir.Path()), 1u) << "no temporary file is left beside it";

  KtPrint4Impl b;
  ASSERT_TRUE(b.LoadFromTemplate(file));
  EXPECT_EQ(std::tuple(DumpDocument(b), Text(b.DesignBuffer())),
            std::tuple(DumpDocument(a), ReadFile(file)));
}

TEST(TemplateFile, SavingOverAnExistingTemplateReplacesItAndKeepsItsPermissions) {
  ScratchDir dir;
  const std::string file = dir.File("t.ktt");
  WriteFile(file, "old contents");
  ::chmod(file.c_str(), 0640);
  KtPrint4Impl c;
  c.AddRow("new");
  ASSERT_TRUE(c.SaveAsTemplate(file));
  EXPECT_EQ(ReadFile(file), TemplateOf(c));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(TemplateFile, AFailedSaveLeavesTheOldFileIntact) {
  ScratchDir dir;
  const std::string readOnly = dir.File("locked.ktt");
  WriteFile(readOnly, "precious");
  ::chmod(readOnly.c_str(), 0444);
  fs::create_directory(dir.File("folder"));
  struct Case { const char* name; std::string path; ErrorCode number; };
  const Case cases[] = {
      {"read-only file", readOnly, ErrorCode::kPathFileAccess},
      {"a folder", dir.File("folder"), ErrorCode::kPathFileAccess},
      {"a missing folder", dir.File("missing/t.ktt"), ErrorCode::kPathNotFound},
      {"an empty name", "", ErrorCode::kBadFileName},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    KtPrint4Impl c;
    c.AddRow("x");
    EXPECT_FALSE(c.SaveAsTemplate(k.path));
    const Recorded e = LastRecorded(c);
    EXPECT_EQ(std::tuple(e.number, e.source), std::tuple(ToInt(k.number), "SaveAsTemplate")) << e.description;
  }
  EXPECT_EQ(
      std::tuple(ReadFile(readOnly), fs::is_directory(dir.File("folder")), FilesIn(dir.Path())),
      std::tuple("precious", true, 2u)) << "and no temporary file is left beside them";
}

TEST(TemplateFile, LoadingWhatIsNotATemplateFileChangesNothing) {
  ScratchDir dir;
  WriteFile(dir.File("empty.ktt"), "");
  struct Case { const char* name; std::string path; ErrorCode number; };
  const Case cases[] = {
      {"missing file", dir.File("nothing.ktt"), ErrorCode::kFileNotFound},
      {"empty file", dir.File("empty.ktt"), ErrorCode::kInputPastEnd},
      {"a folder", dir.Path().string(), ErrorCode::kPathFileAccess},
      {"an empty name", "", ErrorCode::kBadFileName},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    KtPrint4Impl c;
    c.AddRow("kept");
    c.ShowGuideLines(true);
    ByteArray before;
    c.GetDsnArray(before);
    EXPECT_FALSE(c.LoadFromTemplate(k.path));
    const Recorded e = LastRecorded(c);
    EXPECT_EQ(std::tuple(e.number, e.source), std::tuple(ToInt(k.number), "LoadFromTemplate")) << e.description;
    EXPECT_EQ(std::tuple(c.LastRow(), TemplateOf(c)), std::tuple(1, Text(before)));
  }
}

TEST(TemplateFile, InDesignModeFilesAreNeitherWrittenNorRead) {
  ScratchDir dir;
  Container form;
  form.UserMode(false);
  KtPrint4Impl c(&form);
  c.AddRow("x");
  EXPECT_FALSE(c.SaveAsTemplate(dir.File("t.ktt")) || fs::exists(dir.File("t.ktt")));
  WriteFile(dir.File("u.ktt"), Lines({"[Body]"}));
  EXPECT_FALSE(c.LoadFromTemplate(dir.File("u.ktt")));
  EXPECT_EQ(std::tuple(c.LastRow(), LastRecorded(c).number), std::tuple(1, 0)) << "doing nothing is not a failure";
  // Design mode shows guide lines, also once left; the designer entry holds nothing.
  KtPrint4Impl d;
  d.DesigMode(true);
  EXPECT_TRUE(d.DesigMode() && d.ShowGuideLines());
  d.DesigMode(false);
  d.a_Designer(Variant("anything"));
  EXPECT_TRUE(d.ShowGuideLines() && d.a_Designer().IsEmpty());
}

}  // namespace
}  // namespace ktfolio
