// What the template commands share: their TEMPLATE argument and loading it.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "commands.h"

namespace ktfolio::cli {

void AddMetadataOptions(CLI::App& command, MetadataOptions& options) {
  command.add_option("--title", options.title, "The PDF's title (default: the print job's name)");
  command.add_option("--author", options.author, "The PDF's author");
  command.add_option("--lang", options.language, "The language of the text, a BCP 47 tag (default: the locale's)");
  command.add_flag("--untagged", options.untagged,
                   "No structure tree for screen readers: faster and smaller for long documents");
  command
      .add_option("-j,--jobs", options.jobs,
                  "Processes that draw a long untagged PDF (default 0: one for each core; the file is the same)")
      ->check(CLI::Range(0, 1024));
}

bool ApplyMetadata(KtPrint4Impl& control, const MetadataOptions& options) {
  if (!options.title.empty()) control.DocTitle(options.title);
  if (!options.author.empty()) control.DocAuthor(options.author);
  if (!options.language.empty() && !IsLanguageTag(options.language)) {
    std::fprintf(stderr, "ktfolio: --lang %s is not a language tag such as en-US or de\n", options.language.c_str());
    return false;
  }
  if (!options.language.empty()) control.DocLanguage(options.language);
  if (options.untagged) control.TaggedPdf(false);
  control.PdfJobs(options.jobs);
  return true;
}

void AddTemplateArgument(CLI::App& command, std::string& file) {
  command.add_option("TEMPLATE", file, "Template file (as written by SaveAsTemplate)")->required();
}

bool HasNoPage(KtPrint4Impl& control, const std::string& file) {
  if (control.LastRow() > 0) return false;
  // A print job of no body rows prints no page: no file at all, not an empty one.
  std::fprintf(stderr, "ktfolio: '%s' has no body rows: there is no page to print\n", file.c_str());
  return true;
}

bool OutputIsInput(const std::string& input, const std::string& output) {
  struct stat in {}, out {};
  bool same = ::stat(input.c_str(), &in) == 0 && ::stat(output.c_str(), &out) == 0 && in.st_dev == out.st_dev &&
              in.st_ino == out.st_ino;
  std::error_code ec1, ec2;
  same = same || std::filesystem::weakly_canonical(input, ec1) == std::filesystem::weakly_canonical(output, ec2);
  if (same)
    std::fprintf(stderr, "ktfolio: the output '%s' is the input file '%s'; choose another output\n", output.c_str(),
                 input.c_str());
  return same;
}

bool LoadTemplate(KtPrint4Impl& control, const std::string& file) {
  control.ClearError();
  // A load that reports success but recorded a failure on the way is a failure.
  std::int32_t number = 0;
  std::string description, source;
  if (control.LoadFromTemplate(file) && !control.GetLastError(number, description, source)) {
    // Pages are counted in 16 bits: rows past the last page there can be would
    // all sit on it, and a command would print the document cut short.
    control.Pages();
    if (control.GetLastError(number, description, source)) {
      if (number == ToInt(ErrorCode::kOverflow))
        std::fprintf(stderr, "ktfolio: '%s' needs more than %d pages, the most a document can have\n", file.c_str(),
                     static_cast<int>(kMaxPages));
      else
        ReportFailure(control);
      return false;
    }
    std::FILE* f = std::fopen(file.c_str(), "rb");
    char head[3] = {};
    const bool utf8 = f && std::fread(head, 1, 3, f) == 3 && std::string_view(head, 3) == kUtf8Bom;
    if (f) std::fclose(f);
    control.TemplateCodePage(utf8 ? kCodePageUtf8 : kCodePageWindows1252);
    return true;
  }
  ReportFailure(control);
  return false;
}

void WarnOfLostCharacters(const KtPrint4Impl& control, const std::string& file) {
  const TemplateLoss& loss = control.LastTemplateLoss();
  if (!loss.character) return;
  std::string shown;  // the character itself beside its code point, when it can be shown
  if (loss.character >= 0x20 && loss.character != 0xFFFD) {
    shown = " \"";
    AppendUtf8(shown, loss.character);
    shown += '"';
  }
  // UTF-8 keeps every character but line breaks in one-line values and bytes that were never text.
  const bool utf8Keeps = control.TemplateCodePage() == kCodePageWindows1252 && loss.character >= 0x20 &&
                         loss.character != 0xFFFD;
  std::fprintf(stderr, "ktfolio: warning: %s: characters the template could not keep were written as \"?\", the first "
               "U+%04X%s on line %zu%s\n",
               file.c_str(), static_cast<unsigned>(loss.character), shown.c_str(), loss.line,
               utf8Keeps ? " (code page 65001, UTF-8, keeps them)" : "");
}

}  // namespace ktfolio::cli
