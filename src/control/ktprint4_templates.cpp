// KtPrint4's template members: files, the designer's byte arrays, the design
// mode. Every failure is recorded, never thrown to the host.
#include "control/ktprint4_impl.h"
#include "persist/persist_impl.h"

namespace ktfolio {

namespace {

constexpr const char* kSaveSource = "SaveAsTemplate";
constexpr const char* kLoadSource = "LoadFromTemplate";
constexpr const char* kReadSource = "Reading Template";
constexpr const char* kWriteSource = "Writing Template";

ByteArray BytesOf(const std::string& text) { return ByteArray(text.begin(), text.end()); }

// Replaces the design buffer with freshly written text; the old text goes
// first, as nothing reads it while the new one is built.
void RebuildDesign(KtPrint4Impl& c, DesignText& buffer, TemplateLoss& loss) {
  const std::size_t previous = buffer.size();
  loss = {};  // a write that fails reports no loss of an earlier one
  buffer.clear();
  buffer.Assign(persist::WriteTemplate(c, previous, c.TemplateCodePage(), &loss));
}

}  // namespace

bool KtPrint4Impl::RunTemplateReader(bool fgOnlyDesign, const std::string& file) {
  bool read = false;
  try {
    persist::ReadTemplate(*this, designBuffer_.Text(), fgOnlyDesign);
    read = true;
  } catch (const std::exception& e) {
    const Error f = ToError(e);
    RecordError(f.number(), kReadSource, file.empty() ? f.description() : f.description() + " (file " + file + ")");
  }
  designBuffer_.Pack();  // from now on only kept
  return read;
}

bool KtPrint4Impl::SaveAsTemplate(const std::string& TemplateName) {
  if (!container_->UserMode()) return false;
  try {
    RebuildDesign(*this, designBuffer_, templateLoss_);
    persist::ReplaceFile(TemplateName, designBuffer_.Text());
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e, kSaveSource);
  }
  return false;
}

bool KtPrint4Impl::LoadFromTemplate(const std::string& TemplateName) {
  if (!container_->UserMode() || RefusedInsideEvent("LoadFromTemplate")) return false;
  try {
    designBuffer_.Assign(persist::ReadWholeFile(TemplateName));
  } catch (const std::exception& e) {
    RecordCaught(e, kLoadSource);
    return false;
  }
  return RunTemplateReader(false, TemplateName);
}

void KtPrint4Impl::GetDsnArray(ByteArray& Dsn) {
  try {
    RebuildDesign(*this, designBuffer_, templateLoss_);
    Dsn = designBuffer_.Bytes();
  } catch (const std::exception& e) {
    RecordCaught(e, kWriteSource);
  }
}

void KtPrint4Impl::SetDsnArray(const ByteArray& Dsn, bool fgOnlyDesign) {
  if (RefusedInsideEvent("SetDsnArray")) return;
  designBuffer_ = Dsn;
  RunTemplateReader(fgOnlyDesign);
  try {
    RePageFrom(-1, false);
  } catch (const std::exception& e) {
    RecordCaught(e);
  }
}

void KtPrint4Impl::GetProArray(ByteArray& Pro) {
  try {
    settingsBuffer_ = BytesOf(persist::WriteSettings(*this, templateCodePage_));
    Pro = settingsBuffer_;
  } catch (const std::exception& e) {
    RecordCaught(e, kWriteSource);
  }
}

void KtPrint4Impl::TemplateCodePage(std::int32_t v) {
  if (v != kCodePageWindows1252 && v != kCodePageUtf8) {
    RecordError(ToInt(ErrorCode::kInvalidPropertyValue), "TemplateCodePage",
                "Invalid property value: TemplateCodePage is 1252 (Windows-1252) or 65001 (UTF-8), not " +
                    std::to_string(v));
    return;
  }
  templateCodePage_ = v;
}

void KtPrint4Impl::DesigMode(bool v) {
  designMode_ = v;
  if (v) ShowGuideLines(true);
}

}  // namespace ktfolio
