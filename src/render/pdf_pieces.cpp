// A long untagged PDF drawn in pieces of a fixed number of pages, each a
// document of its own drawn through the print path into an anonymous memory
// file, by this process and forked copies of it, and joined in page order
// (platform/gdi/pdf_join.h) as the pieces come. The pieces are cut the same however many
// processes draw them, so the joined file is the same too. A piece a copy
// could not finish, or finished with an error recorded, is drawn again here,
// where its errors reach the host.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/gdi/pdf_join.h"
#include "platform/workers/workers.h"
#include "render/render_impl.h"
#include "render/render_internal.h"

namespace ktfolio::render {

using namespace win;

namespace {

constexpr const char* kPdfSource = "Export PDF";

// A piece's headings as they travel from the process that drew it: for
// each, its level, page, height from the top and title's length on a line,
// then the title.
std::string Encoded(const std::vector<PdfHeading>& headings) {
  std::string out;
  char line[96];
  for (const PdfHeading& h : headings) {
    std::snprintf(line, sizeof line, "%d %d %.17g %zu\n", h.level, h.page, h.y, h.title.size());
    out += line;
    out += h.title;
  }
  return out;
}

std::vector<PdfHeading> Decoded(const std::string& text) {
  std::vector<PdfHeading> out;
  for (std::size_t at = 0; at < text.size();) {
    PdfHeading h;
    std::size_t length = 0;
    int used = 0;
    // The title follows the one newline, whatever it starts with.
    if (std::sscanf(text.c_str() + at, "%d %d %lf %zu%n", &h.level, &h.page, &h.y, &length, &used) != 4 ||
        used <= 0 || text[at + static_cast<std::size_t>(used)] != '\n' ||
        length > text.size() - at - static_cast<std::size_t>(used) - 1)
      break;
    at += static_cast<std::size_t>(used) + 1;
    h.title = text.substr(at, length);
    at += length;
    out.push_back(std::move(h));
  }
  return out;
}

int Processes(const Document& control, int pieces) {
  const int allowed = workers::Available();
  const int asked = control.PdfJobs() == 0 ? allowed : std::min<int>(control.PdfJobs(), allowed);
  return std::clamp(asked, 1, pieces);
}

Error PieceFailure() {
  return Error(ErrorCode::kPathFileAccess, kPdfSource, "Path/File access error: a part of the PDF could not be drawn");
}

}  // namespace

bool DrawsInPieces(Document& control, std::int16_t fromPage, std::int16_t toPage) {
  return toPage - fromPage + 1 > kPdfPiecePages && !PrintedMetadata(control).tagged && !control.NewPageHeard();
}

bool PrintPdfPieces(Document& control, const PdfPaper& paper, std::int16_t fromPage, std::int16_t toPage,
                    const std::function<void(std::string_view)>& out) {
  const int total = toPage - fromPage + 1;
  const int size = std::max(kPdfPiecePages, (total + kMostPdfPieces - 1) / kMostPdfPieces);
  const int pieces = (total + size - 1) / size;
  PdfMetadata meta = PrintedMetadata(control);
  if (meta.title.empty()) meta.title = paper.name;
  // Each piece's document, and its headings.
  std::vector<std::unique_ptr<workers::MemoryFile>> files, headings;
  try {
    for (int k = 0; k < pieces; ++k) {
      files.push_back(std::make_unique<workers::MemoryFile>());
      headings.push_back(std::make_unique<workers::MemoryFile>());
    }
  } catch (const Error&) {
    return false;  // no room for the pieces (a host with every descriptor taken): drawn at once
  }
  const PageProgress progress = CurrentPageProgress();
  workers::SharedCounter pagesDone;

  const auto draw = [&](int k, bool here) {
    const auto from = static_cast<std::int16_t>(fromPage + k * size);
    const auto to = static_cast<std::int16_t>(std::min<int>(toPage, from + size - 1));
    workers::MemoryFile& file = *files[static_cast<std::size_t>(k)];
    workers::MemoryFile& marks = *headings[static_cast<std::size_t>(k)];
    file.Clear();
    marks.Clear();
    std::int32_t counted = 0;
    const PageProgressScope scope([&](std::int32_t done, std::int32_t) {
      if (done > counted) pagesDone.Add(done - counted);
      counted = std::max(counted, done);
      // A piece drawn again counts twice: what is shown stops at the whole.
      if (here && progress) progress(static_cast<std::int32_t>(std::min<long>(pagesDone.Value(), total)), total);
    });
    const std::uint64_t errors = control.ErrorsRecorded();
    OwnedDC dc(CreatePdfStreamDC(
        [&file](const unsigned char* data, std::size_t n) {
          return file.Write(std::string_view(reinterpret_cast<const char*>(data), n));
        },
        paper.dpi, paper.dpi, paper.width, paper.height));
    if (!dc || !MarkPdfPiece(dc) || !SetPdfMetadata(dc, meta)) return false;
    const PdfDrawn drawn = DrawPdfDocument(control, dc, from, to, true, !here);
    return drawn.ended && drawn.pages == to - from + 1 && marks.Write(Encoded(PdfHeadingsOf(dc))) &&
           (here || control.ErrorsRecorded() == errors);
  };
  // Each piece joins the document as soon as it and those before it are
  // drawn, and its memory file goes; one a copy could not draw is drawn here.
  PdfJoin join(meta, out);
  bool joined = true;
  workers::Run(pieces, Processes(control, pieces), draw, [&](int k, bool drawn) {
    std::unique_ptr<workers::MemoryFile>& file = files[static_cast<std::size_t>(k)];
    std::unique_ptr<workers::MemoryFile>& marks = headings[static_cast<std::size_t>(k)];
    if (!drawn && !draw(k, true)) throw PieceFailure();
    joined = joined && join.Add(file->Read(), Decoded(marks->Read()));
    file.reset();
    marks.reset();
  });
  if (!joined || !join.Finish()) return false;
  if (progress) progress(total, total);
  return true;
}

}  // namespace ktfolio::render
