// A long untagged PDF drawn in pieces of a fixed number of pages, each a
// document of its own drawn through the print path into an anonymous memory
// file, by this process and forked copies of it, and joined in page order
// (platform/gdi/pdf_join.h) as the pieces come. The pieces are cut the same however many
// processes draw them, so the joined file is the same too. A piece a copy
// could not finish, or finished with an error recorded, is drawn again here,
// where its errors reach the host.
#include <algorithm>
#include <memory>

#include "platform/gdi/pdf_join.h"
#include "platform/workers/workers.h"
#include "render/render_impl.h"
#include "render/render_internal.h"

namespace ktfolio::render {

using namespace win;

namespace {

constexpr const char* kPdfSource = "Export PDF";

bool HasHeadingRows(Document& control) {
  const KtRows* body = control.Rows(Body);
  if (!body) return false;
  for (std::size_t i = 0; i < static_cast<std::size_t>(body->count()); ++i)
    if (body->at0(i).OutlineLevel() > 0) return true;
  return false;
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
  return toPage - fromPage + 1 > kPdfPiecePages && !PrintedMetadata(control).tagged && !control.NewPageHeard() &&
         !HasHeadingRows(control);
}

bool PrintPdfPieces(Document& control, const PdfPaper& paper, std::int16_t fromPage, std::int16_t toPage,
                    const std::function<void(std::string_view)>& out) {
  const int total = toPage - fromPage + 1;
  const int size = std::max(kPdfPiecePages, (total + kMostPdfPieces - 1) / kMostPdfPieces);
  const int pieces = (total + size - 1) / size;
  PdfMetadata meta = PrintedMetadata(control);
  if (meta.title.empty()) meta.title = paper.name;
  std::vector<std::unique_ptr<workers::MemoryFile>> files;
  try {
    for (int k = 0; k < pieces; ++k) files.push_back(std::make_unique<workers::MemoryFile>());
  } catch (const Error&) {
    return false;  // no room for the pieces (a host with every descriptor taken): drawn at once
  }
  const PageProgress progress = CurrentPageProgress();
  workers::SharedCounter pagesDone;

  const auto draw = [&](int k, bool here) {
    const auto from = static_cast<std::int16_t>(fromPage + k * size);
    const auto to = static_cast<std::int16_t>(std::min<int>(toPage, from + size - 1));
    workers::MemoryFile& file = *files[static_cast<std::size_t>(k)];
    file.Clear();
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
    return drawn.ended && drawn.pages == to - from + 1 && (here || control.ErrorsRecorded() == errors);
  };
  // Each piece joins the document as soon as it and those before it are
  // drawn, and its memory file goes; one a copy could not draw is drawn here.
  PdfJoin join(meta, out);
  bool joined = true;
  workers::Run(pieces, Processes(control, pieces), draw, [&](int k, bool drawn) {
    std::unique_ptr<workers::MemoryFile>& file = files[static_cast<std::size_t>(k)];
    if (!drawn && !draw(k, true)) throw PieceFailure();
    joined = joined && join.Add(file->Read());
    file.reset();
  });
  if (!joined || !join.Finish()) return false;
  if (progress) progress(total, total);
  return true;
}

}  // namespace ktfolio::render
