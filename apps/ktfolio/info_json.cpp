// `ktfolio info --json`: a template's pages, rows and page setup as one JSON
// object for scripts. The keys are a promise: add new ones, never rename.
// Lengths are twips (1/1440 inch), whatever unit the template measures in.
#include <cstdio>
#include <string>

#include "commands.h"
#include "model/enums.h"

namespace ktfolio::cli {

namespace {

// Lengths are singles: nine significant digits print any of them exactly.
std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

// A JSON string: quotes, backslashes and control characters escaped; UTF-8 as it is.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

void PrintInfoJson(KtPrint4Impl& control) {
  const std::int16_t pages = control.Pages();
  control.ComputePageInfo();
  const tpPageInfo p = control.PageInfo();
  std::printf("{\n");
  std::printf("  \"pages\": %d,\n", pages);
  std::printf("  \"rows\": {\"header\": %d, \"footer\": %d, \"body\": %d},\n", control.Rows(Header)->count(),
              control.Rows(Footer)->count(), control.LastRow());
  std::printf("  \"start_body_row\": %d,\n", control.StartBodyRow());
  std::printf("  \"end_body_row\": %d,\n", control.EndBodyRow());
  std::printf("  \"paper\": {\"size\": %d, \"orientation\": \"%s\", \"width\": %s, \"height\": %s},\n",
              control.PageSize(), control.Orientation() == Landscape ? "landscape" : "portrait",
              Number(p.Width).c_str(), Number(p.Height).c_str());
  std::printf("  \"margins\": {\"left\": %s, \"right\": %s, \"top\": %s, \"bottom\": %s, \"header\": %s, "
              "\"footer\": %s},\n",
              Number(p.LeftM).c_str(), Number(p.RightM).c_str(), Number(p.TopM).c_str(), Number(p.BottomM).c_str(),
              Number(p.HeaderM).c_str(), Number(p.FooterM).c_str());
  // What a PDF written from it says of itself (a template keeps none: the defaults).
  std::printf("  \"metadata\": {\"title\": %s, \"author\": %s, \"subject\": %s, \"keywords\": %s, \"language\": %s},\n",
              Quoted(control.DocTitle()).c_str(), Quoted(control.DocAuthor()).c_str(),
              Quoted(control.DocSubject()).c_str(), Quoted(control.DocKeywords()).c_str(),
              Quoted(control.DocLanguage()).c_str());
  std::printf("  \"unit\": \"twip\"\n}\n");
}

}  // namespace ktfolio::cli
