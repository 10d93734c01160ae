// A page content stream read token by token: strings, hexadecimal strings,
// names, numbers, array and dictionary brackets are operands; a bare word is
// an operator and ends the instruction its operands began. Inline images
// (BI ... ID data EI) are one instruction whose data is skipped unread.
#include "platform/gdi/pdf_content.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace ktfolio::win::gdi {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool IsDelimiter(char c) { return std::strchr("()<>[]{}/%", c) != nullptr && c != '\0'; }

constexpr std::string_view kOpenArtifact = "/Artifact BMC\n";
constexpr std::string_view kCloseArtifact = "\nEMC\n";
constexpr std::string_view kPagination = "/Artifact <</Type /Pagination>> BDC";

class Marker {
 public:
  Marker(std::string_view in, std::vector<int>* pagination) : in_(in), pagination_(pagination) {
    out_.reserve(in.size() + in.size() / 8);
  }

  std::string Run() {
    while (at_ < in_.size()) {
      const char c = in_[at_];
      if (IsSpace(c)) ++at_;
      else if (c == '%') SkipLine();
      else if (c == '(') SkipString();
      else if (c == '<' && at_ + 1 < in_.size() && in_[at_ + 1] != '<') SkipHexString();
      else if (c == '<' || c == '>') at_ += at_ + 1 < in_.size() && in_[at_ + 1] == c ? 2 : 1;
      else if (c == '[' || c == ']' || c == '{' || c == '}') ++at_;
      else if (c == '/') SkipRegular(at_ + 1);
      else Word();
    }
    Copy(in_.size());
    CloseArtifact();
    return std::move(out_);
  }

 private:
  void SkipLine() {
    while (at_ < in_.size() && in_[at_] != '\n' && in_[at_] != '\r') ++at_;
  }
  // A literal string: balanced parentheses, a backslash escapes the next byte.
  void SkipString() {
    int depth = 0;
    for (; at_ < in_.size(); ++at_) {
      const char c = in_[at_];
      if (c == '\\') ++at_;
      else if (c == '(') ++depth;
      else if (c == ')' && --depth == 0) {
        ++at_;
        return;
      }
    }
  }
  void SkipHexString() {
    const std::size_t end = in_.find('>', at_);
    at_ = end == std::string_view::npos ? in_.size() : end + 1;
  }
  void SkipRegular(std::size_t from) {
    at_ = from;
    while (at_ < in_.size() && !IsSpace(in_[at_]) && !IsDelimiter(in_[at_])) ++at_;
  }
  // The inline image's data ends at "EI" between white space (or the end).
  void SkipImageData() {
    for (std::size_t i = at_; i + 1 < in_.size(); ++i)
      if (in_[i] == 'E' && in_[i + 1] == 'I' && i > 0 && IsSpace(in_[i - 1]) &&
          (i + 2 == in_.size() || IsSpace(in_[i + 2]))) {
        at_ = i + 2;
        return;
      }
    at_ = in_.size();
  }

  void Word() {
    const std::size_t start = at_;
    SkipRegular(at_ + 1);
    const std::string_view op = in_.substr(start, at_ - start);
    if (op == "true" || op == "false" || op == "null" || IsNumber(op)) return;  // operands
    if (op == "BI") {
      for (std::size_t i = at_; i + 2 <= in_.size(); ++i)  // to ID, then past the data
        if (in_[i] == 'I' && in_[i + 1] == 'D' && IsSpace(in_[i - 1]) && (i + 2 == in_.size() || IsSpace(in_[i + 2]))) {
          at_ = i + 3;
          break;
        }
      SkipImageData();
      Draw();
    } else if (op == "BDC" || op == "BMC") {
      Copy(OperandsStart());
      CloseArtifact();
      if (op == "BDC" && depth_ == 0 && FirstOperandIs(kPaginationStandIn)) {
        out_ += kPagination;
        NoteMcid();
      } else {
        out_.append(in_.substr(copied_, at_ - copied_));
      }
      instruction_ = copied_ = at_;
      ++depth_;
    } else if (op == "EMC") {
      // One that closes nothing of the input's closes the artifact around it.
      if (depth_ > 0) --depth_;
      else artifact_ = false;
      instruction_ = at_;
    } else {
      Draw();
    }
  }
  static bool IsNumber(std::string_view w) {
    return !w.empty() && (std::isdigit(static_cast<unsigned char>(w[0])) || w[0] == '-' || w[0] == '+' || w[0] == '.');
  }
  // The id in the operands of the BDC at at_ ("<< /MCID 3 >>").
  void NoteMcid() {
    if (!pagination_) return;
    const std::string_view operands = in_.substr(instruction_, at_ - instruction_);
    const std::size_t key = operands.find("/MCID");
    if (key == std::string_view::npos) return;
    std::size_t i = key + 5;
    while (i < operands.size() && IsSpace(operands[i])) ++i;
    int id = 0;
    bool digits = false;
    for (; i < operands.size() && std::isdigit(static_cast<unsigned char>(operands[i])) && id < 1'000'000; ++i, digits = true)
      id = id * 10 + (operands[i] - '0');
    if (digits) pagination_->push_back(id);
  }
  // Marks go right before an instruction's first operand (or its operator).
  std::size_t OperandsStart() const {
    std::size_t i = instruction_;
    while (i < in_.size() && IsSpace(in_[i])) ++i;
    return i;
  }
  // Whether the first operand is the name /`name`.
  bool FirstOperandIs(std::string_view name) const {
    const std::size_t i = OperandsStart() + 1;
    return i - 1 < in_.size() && in_[i - 1] == '/' && in_.substr(i, name.size()) == name &&
           i + name.size() < in_.size() && (IsSpace(in_[i + name.size()]) || IsDelimiter(in_[i + name.size()]));
  }
  // An instruction that draws, or sets state for drawing: outside any marked
  // sequence it opens an artifact, which stays open until the next one.
  void Draw() {
    if (depth_ == 0 && !artifact_) {
      Copy(OperandsStart());
      out_ += kOpenArtifact;
      artifact_ = true;
    }
    instruction_ = at_;
  }
  void CloseArtifact() {
    if (!artifact_) return;
    out_ += kCloseArtifact;
    artifact_ = false;
  }
  void Copy(std::size_t to) {
    if (to > copied_) out_.append(in_.substr(copied_, to - copied_));
    copied_ = std::max(copied_, to);
  }

  std::string_view in_;
  std::vector<int>* pagination_;
  std::string out_;
  std::size_t at_ = 0;
  std::size_t instruction_ = 0;  // where the current instruction's operands begin
  std::size_t copied_ = 0;       // input before this is in out_
  int depth_ = 0;                // marked sequences open in the input
  bool artifact_ = false;
};

}  // namespace

std::string MarkArtifacts(std::string_view content, std::vector<int>* pagination) {
  return Marker(content, pagination).Run();
}

}  // namespace ktfolio::win::gdi
