// Helpers of the persistence tests: template text of a control, a dump of the
// whole document to compare documents, the last error, scratch files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "control/ktprint4_impl.h"
#include "platform/gdi/gdi_scoped.h"
#include "support/errors.h"
#include "support/golden.h"

namespace ktfolio::testing {

inline std::string Text(const ByteArray& b) { return std::string(b.begin(), b.end()); }
inline ByteArray Bytes(std::string_view s) { return ByteArray(s.begin(), s.end()); }

inline std::string TemplateOf(KtPrint4Impl& c) { ByteArray b; c.GetDsnArray(b); return Text(b); }

// Template text from lines, each ended with CR LF.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string t;
  for (auto l : lines) (t += l) += "\r\n";
  return t;
}

inline const char* const kRowNames[] = {"ColsLayoutType", "ColSpacing", "FitHeightToText", "IndentBottom",
                                        "NewPage", "IndentTop", "Page", "PageBreak", "RowHeight", "RowSpacing",
                                        "TopInPage"};
inline const char* const kCellNames[] = {
    "AlignPos", "BITMAP", "BrushColor", "Clipping", "edge", "EdgeFlags", "EditType", "FillCell", "Focused",
    "FontBold", "FontColor", "FontItalic", "FontName", "FontSize", "FontStrikethru", "FontStyle", "FontUnderline",
    "FrameControl", "FrameControlFlags", "FrameControlSize", "IndentFirst", "IndentLeft", "IndentRight",
    "LineBottom", "LineLeft", "LineRight", "LineTop", "PenColor", "PenStyle", "ShadowColor", "ShadowHeavyColor",
    "ShadowSize", "TabLeft", "Text", "WordWrap"};

// Every row and cell attribute of the three areas, one per line. ItemHeight is
// left out: it is a measurement, not part of the design.
inline std::string DumpDocument(KtPrint4Impl& c) {
  std::ostringstream out;
  for (std::int32_t area : {Header, Footer, Body}) {
    KtRows& rows = *c.Rows(area);
    out << "area " << area << " rows " << rows.count() << "\n";
    for (std::int32_t r = 1; r <= rows.count(); ++r) {
      KtRow& row = *rows.Item(r);
      out << " row " << r << ":";
      for (const char* n : kRowNames) out << " " << n << "=" << row.GetByName(n).ToString();
      out << "\n";
      for (std::int32_t k = 1; k <= row.ItemText().count(); ++k) {
        KtTextItem& cell = *row.ItemText().Item(k);
        out << "  cell " << k << ":";
        for (const char* n : kCellNames) out << " " << n << "=" << cell.GetByName(n).ToString();
        out << " picture=" << cell.HasBitmap() << "\n";
      }
    }
  }
  out << "start " << c.StartBodyRow() << " end " << c.EndBodyRow() << " pages " << c.Pages() << "\n";
  return out.str();
}

// A scratch folder removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir() {
    std::random_device r;
    path_ = std::filesystem::temp_directory_path() / ("ktfolio-persist-" + std::to_string(r()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A 2 x 2 picture, for cells that show one.
inline void WriteTinyPicture(const std::string& path) {
  const win::OwnedBitmap dot(SolidBitmap(2, 2, win::RGB(255, 0, 0)));
  ASSERT_TRUE(win::SaveBitmapPng(dot, path)) << path;
}

}  // namespace ktfolio::testing
