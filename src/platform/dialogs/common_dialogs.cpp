// ChooseColor, ChooseFont, GetOpenFileName, GetSaveFileName and WinHelp: the
// script of queued answers, the log of what each dialog was shown with, and
// the fall-back to GTK's dialogs (or a cancel) when nothing is queued.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>

#include "platform/dialogs/dialogs_impl.h"

namespace ktfolio::win {
namespace dialogs {
namespace {

constexpr DWORD kBufferTooSmall = 0x3003;  // FNERR_BUFFERTOOSMALL
constexpr LONG kBoldWeight = 700;
constexpr LONG kNormalWeight = 400;

struct Script {
  std::deque<DialogAnswer> answers;
  std::vector<DialogCall> log;
  DWORD extendedError = 0;
};
Script& S() {
  static Script s;
  return s;
}

bool Take(const std::string& kind, DialogAnswer* out) {
  auto& q = S().answers;
  auto it = std::find_if(q.begin(), q.end(), [&](const DialogAnswer& a) { return a.kind == kind; });
  if (it == q.end()) return false;
  *out = *it;
  q.erase(it);
  return true;
}

std::string Hex(DWORD v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%06X", v);
  return b;
}

bool Truthy(const std::string& v) { return !(v.empty() || v == "0" || v == "False" || v == "false"); }

// A double-NUL-ended list written out with each NUL as "\0".
std::string FilterText(const char* filter) {
  std::string out;
  if (!filter) return out;
  for (const char* p = filter;; ++p) {
    if (*p) {
      out += *p;
      continue;
    }
    out += "\\0";
    if (!p[1]) {
      out += "\\0";
      break;
    }
  }
  return out;
}

void CopyInto(char* buffer, DWORD size, const std::string& text) {
  if (!buffer || size == 0) return;
  const size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

const std::string* DialogAnswer::Value(const std::string& name) const {
  for (const auto& [k, v] : values)
    if (k == name) return &v;
  return nullptr;
}

std::string DialogCall::Field(const std::string& name) const {
  for (const auto& [k, v] : fields)
    if (k == name) return v;
  return "";
}

void QueueDialogAnswer(DialogAnswer answer) { S().answers.push_back(std::move(answer)); }

std::vector<std::string> PendingDialogAnswers() {
  std::vector<std::string> kinds;
  for (const DialogAnswer& a : S().answers) kinds.push_back(a.kind);
  for (int i = 0; i < PendingPrintDlgAnswers(); ++i) kinds.push_back("printer");
  return kinds;
}

const std::vector<DialogCall>& DialogLog() { return S().log; }

void SetCommDlgExtendedError(DWORD code) { S().extendedError = code; }

void ResetDialogScripts() {
  S() = Script{};
  ResetPrintDlgScript();
}

namespace {

// Nothing queued: GTK when it is the backend, otherwise the user cancels.
template <typename Run>
BOOL Unscripted(Run run) {
  return run() == 1 ? TRUE : FALSE;
}

BOOL FileDialog(OPENFILENAME* ofn, bool save) {
  Script& s = S();
  s.extendedError = 0;
  if (!ofn) return FALSE;
  const char* kind = save ? "save" : "open";
  s.log.push_back({kind, ofn->Flags,
                   {{"lpstrFilter", FilterText(ofn->lpstrFilter)},
                    {"nFilterIndex", std::to_string(ofn->nFilterIndex)},
                    {"nMaxFile", std::to_string(ofn->nMaxFile)},
                    {"nMaxFileTitle", std::to_string(ofn->nMaxFileTitle)},
                    {"lpstrFile", ofn->lpstrFile ? ofn->lpstrFile : ""},
                    {"lpstrFileTitle", ofn->lpstrFileTitle ? ofn->lpstrFileTitle : ""},
                    {"lpstrInitialDir", ofn->lpstrInitialDir ? ofn->lpstrInitialDir : ""},
                    {"lpstrTitle", ofn->lpstrTitle ? ofn->lpstrTitle : ""},
                    {"lpstrDefExt", ofn->lpstrDefExt ? ofn->lpstrDefExt : ""}}});
  DialogAnswer a;
  if (!Take(kind, &a)) return Unscripted([&] { return RunGtkFileDialog(*ofn, save); });
  if (!a.ok) return FALSE;
  if (const std::string* name = a.Value("FileName")) {
    // A name that does not fit fails the call, as the real dialog does.
    if (name->size() + 1 > ofn->nMaxFile) {
      s.extendedError = kBufferTooSmall;
      return FALSE;
    }
    CopyInto(ofn->lpstrFile, ofn->nMaxFile, *name);
    const std::string* title = a.Value("FileTitle");
    CopyInto(ofn->lpstrFileTitle, ofn->nMaxFileTitle, title ? *title : BaseName(*name));
  }
  if (const std::string* index = a.Value("FilterIndex")) ofn->nFilterIndex = static_cast<DWORD>(std::stoul(*index));
  return TRUE;
}

}  // namespace
}  // namespace dialogs

using namespace dialogs;

BOOL ChooseColor(CHOOSECOLOR* cc) {
  Script& s = S();
  s.extendedError = 0;
  if (!cc) return FALSE;
  s.log.push_back({"color", cc->Flags,
                   {{"rgbResult", Hex(cc->rgbResult)},
                    {"lpCustColors", cc->lpCustColors ? Hex(cc->lpCustColors[0]) : std::string()}}});
  DialogAnswer a;
  if (!Take("color", &a)) return Unscripted([&] { return RunGtkColorDialog(*cc); });
  if (!a.ok) return FALSE;
  if (const std::string* c = a.Value("Color")) cc->rgbResult = static_cast<COLORREF>(std::stoul(*c));
  return TRUE;
}

BOOL ChooseFont(CHOOSEFONT* cf) {
  Script& s = S();
  s.extendedError = 0;
  if (!cf || !cf->lpLogFont) return FALSE;
  LOGFONT& lf = *cf->lpLogFont;
  s.log.push_back({"font", cf->Flags,
                   {{"lfFaceName", lf.lfFaceName},
                    {"lfHeight", std::to_string(lf.lfHeight)},
                    {"lfWeight", std::to_string(lf.lfWeight)},
                    {"lfItalic", std::to_string(lf.lfItalic)},
                    {"lfUnderline", std::to_string(lf.lfUnderline)},
                    {"lfStrikeOut", std::to_string(lf.lfStrikeOut)},
                    {"iPointSize", std::to_string(cf->iPointSize)},
                    {"hDC", cf->hDC ? "1" : "0"}}});
  DialogAnswer a;
  if (!Take("font", &a)) return Unscripted([&] { return RunGtkFontDialog(*cf); });
  if (!a.ok) return FALSE;
  if (const std::string* name = a.Value("FontName")) {
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::strncpy(lf.lfFaceName, name->c_str(), sizeof lf.lfFaceName - 1);
  }
  if (const std::string* size = a.Value("FontSize")) {
    const double points = std::stod(*size);
    cf->iPointSize = static_cast<INT>(std::lround(points * 10));
    lf.lfHeight = -static_cast<LONG>(std::lround(points * 4 / 3));
  }
  if (const std::string* v = a.Value("FontBold")) lf.lfWeight = Truthy(*v) ? kBoldWeight : kNormalWeight;
  if (const std::string* v = a.Value("FontItalic")) lf.lfItalic = Truthy(*v);
  if (const std::string* v = a.Value("FontUnderline")) lf.lfUnderline = Truthy(*v);
  if (const std::string* v = a.Value("FontStrikethru")) lf.lfStrikeOut = Truthy(*v);
  return TRUE;
}

DWORD CommDlgExtendedError() { return S().extendedError; }

BOOL GetOpenFileName(OPENFILENAME* ofn) { return FileDialog(ofn, false); }
BOOL GetSaveFileName(OPENFILENAME* ofn) { return FileDialog(ofn, true); }

BOOL WinHelp(HWND owner, const char* helpFile, UINT command, std::uintptr_t data) {
  S().extendedError = 0;
  const std::string file = helpFile ? helpFile : "";
  S().log.push_back({"help", command, {{"lpszHelp", file}, {"dwData", std::to_string(data)}}});
  if (command == HELP_QUIT) return TRUE;
  const std::string text = "Help: " + (file.empty() ? std::string("(no help file)") : file);
  if (RunGtkHelp(owner, text) >= 0) return TRUE;
  MessageBox(owner, text.c_str(), "Help", MB_OK | MB_ICONINFORMATION);
  return TRUE;
}

}  // namespace ktfolio::win
