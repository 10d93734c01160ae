// clsCommonDialog: each Show method fills its dialog record from the
// properties, runs the dialog through platform/dialogs and copies the choices
// back; and the class published by name.
#include "winsupport/common_dialog.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

#include "platform/dialogs/dialogs.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr const char* kSource = "clsCommonDialog";
constexpr DWORD kWhite = 0xFFFFFF;
constexpr int kCustomColors = 16;
constexpr std::int32_t kDefaultFileBuffer = 255;
constexpr LONG kBoldWeight = 700;

template <typename H>
H Handle(std::intptr_t v) {
  return reinterpret_cast<H>(v);
}

// `text` padded with blanks and cut to n - 1 characters, then NUL: the buffer
// the file dialogs fill.
std::vector<char> FileBuffer(const std::string& text, std::int32_t n) {
  std::vector<char> buffer(static_cast<size_t>(n), ' ');
  std::memcpy(buffer.data(), text.data(), std::min(text.size(), static_cast<size_t>(n - 1)));
  buffer[static_cast<size_t>(n - 1)] = 0;
  return buffer;
}

// The run-time failures a Show method swallows: whatever the platform throws
// while the record is filled or read back.
template <typename Body>
void Quietly(Body body) {
  try {
    body();
  } catch (const std::exception&) {
  }
}

}  // namespace

void clsCommonDialog::Finish(std::int32_t cancelNumber, const char* description) {
  if (APIReturn_ == 0) {
    if (CancelError_) throw Error(cancelNumber, kSource, description);
  } else if (APIReturn_ != 1) {
    ExtendedError_ = static_cast<std::int32_t>(CommDlgExtendedError());
  }
}

void clsCommonDialog::ShowColor() {
  Action_ = cdColor;
  APIReturn_ = 0;
  ExtendedError_ = 0;
  Quietly([this] {
    // The custom colours start white every time.
    std::array<COLORREF, kCustomColors> custom;
    custom.fill(kWhite);
    CHOOSECOLOR cc;
    cc.hwndOwner = Handle<HWND>(hwnd_);
    cc.hInstance = Handle<HINSTANCE>(hInstance_);
    cc.rgbResult = Color_;
    cc.lpCustColors = custom.data();
    cc.Flags = static_cast<DWORD>(flags_);
    APIReturn_ = ChooseColor(&cc);
    if (APIReturn_ == 1) Color_ = cc.rgbResult;
  });
  Finish(common_dialog_error::kColorCancelled, "Cancel Pressed");
}

void clsCommonDialog::ShowFont() {
  Action_ = cdFont;
  APIReturn_ = 0;
  ExtendedError_ = 0;
  Quietly([this] {
    LOGFONT lf;
    lf.lfWeight = FontBold_ ? kBoldWeight : 0;
    lf.lfItalic = FontItalic_;
    lf.lfUnderline = FontUnderline_;
    lf.lfStrikeOut = FontStrikethru_;
    // Points to pixels at 96 dots per inch, as a cell height.
    lf.lfHeight = static_cast<LONG>(std::lround(FontSize_ * 4 / 3));
    std::strncpy(lf.lfFaceName, FontName_.c_str(), sizeof lf.lfFaceName - 1);
    CHOOSEFONT cf;
    cf.hwndOwner = Handle<HWND>(hwnd_);
    cf.hDC = Handle<HDC>(hdc_);
    cf.lpLogFont = &lf;
    cf.iPointSize = static_cast<INT>(std::lround(FontSize_ * 10));
    cf.Flags = static_cast<DWORD>(flags_);
    cf.hInstance = Handle<HINSTANCE>(hInstance_);
    APIReturn_ = ChooseFont(&cf);
    if (APIReturn_ != 1) return;
    FontBold_ = lf.lfWeight >= kBoldWeight;
    FontItalic_ = lf.lfItalic != 0;
    FontUnderline_ = lf.lfUnderline != 0;
    FontStrikethru_ = lf.lfStrikeOut != 0;
    FontName_ = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
    FontSize_ = static_cast<float>(cf.iPointSize) / 10;
  });
  Finish(common_dialog_error::kCancelled, "");
}

void clsCommonDialog::ShowOpen() { ShowFile(false); }
void clsCommonDialog::ShowSave() { ShowFile(true); }

void clsCommonDialog::ShowFile(bool save) {
  Action_ = save ? cdSave : cdOpen;
  APIReturn_ = 0;
  ExtendedError_ = 0;
  Quietly([this, save] {
    std::string filter = Filter_;
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.push_back('\0');  // with the string's own NUL, the list's double NUL
    const std::int32_t n = MaxFileSize_ < 1 ? kDefaultFileBuffer : MaxFileSize_;
    std::vector<char> file = FileBuffer(FileName_, n);
    std::vector<char> title = FileBuffer(FileTitle_, n);
    OPENFILENAME ofn;
    ofn.hwndOwner = Handle<HWND>(hwnd_);
    ofn.hInstance = Handle<HINSTANCE>(hInstance_);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex_);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(n);
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(n);
    ofn.lpstrInitialDir = InitDir_.c_str();
    ofn.lpstrTitle = DialogTitle_.c_str();
    ofn.Flags = static_cast<DWORD>(flags_);
    ofn.lpstrDefExt = DefaultExt_.c_str();
    APIReturn_ = save ? GetSaveFileName(&ofn) : GetOpenFileName(&ofn);
    if (APIReturn_ != 1) return;
    FileName_ = file.data();
    FileTitle_ = title.data();
  });
  Finish(common_dialog_error::kCancelled, "");
}

void clsCommonDialog::ShowPrinter() {
  Action_ = cdPrinter;
  APIReturn_ = 0;
  ExtendedError_ = 0;
  Quietly([this] {
    dialogs::PrinterDialog dlg;
    dlg.hwnd = Handle<HWND>(hwnd_);
    dlg.hdc = Handle<HDC>(hdc_);
    dlg.hInstance = Handle<HINSTANCE>(hInstance_);
    dlg.PrinterName = PrinterName_;
    dlg.Orientation = Orientation_;
    dlg.Copies = Copies_;
    dlg.Duplex = Duplex_;
    dlg.flags = static_cast<DWORD>(flags_);
    dlg.FromPage = FromPage_;
    dlg.ToPage = ToPage_;
    dlg.Min = Min_;
    dlg.Max = Max_;
    dlg.ShowPrinter();
    APIReturn_ = dlg.APIReturn;
    if (APIReturn_ != 1) return;
    PrinterName_ = dlg.PrinterName;
    FromPage_ = dlg.FromPage;
    ToPage_ = dlg.ToPage;
    Min_ = dlg.Min;
    Max_ = dlg.Max;
    Copies_ = dlg.Copies;
    Orientation_ = dlg.Orientation;
    Duplex_ = dlg.Duplex;
  });
  Finish(common_dialog_error::kCancelled, "");
}

void clsCommonDialog::ShowHelp() {
  Action_ = cdHelp;
  APIReturn_ = 0;
  ExtendedError_ = 0;
  // HelpContext and HelpKey are kept but not passed on.
  Quietly([this] {
    APIReturn_ = WinHelp(Handle<HWND>(hwnd_), HelpFile_.c_str(), static_cast<UINT>(HelpCommand_), 0);
  });
  ExtendedError_ = static_cast<std::int32_t>(CommDlgExtendedError());
}

// ---- published by name ----------------------------------------------------------------

namespace {

template <typename T>
DispType TypeOf() {
  if constexpr (std::is_same_v<T, bool>) return DispType::Boolean;
  else if constexpr (std::is_same_v<T, std::string>) return DispType::String;
  else if constexpr (std::is_same_v<T, float>) return DispType::Single;
  else if constexpr (std::is_same_v<T, std::uint32_t>) return DispType::Color;
  else if constexpr (std::is_same_v<T, Variant>) return DispType::Variant;
  else return DispType::Long;
}

template <typename T>
Variant ToVariantValue(const T& v) {
  if constexpr (std::is_same_v<T, std::uint32_t>) return Variant(static_cast<std::int32_t>(v));
  else if constexpr (std::is_same_v<T, std::intptr_t>) return Variant(static_cast<std::int32_t>(v));
  else return Variant(v);
}

template <typename T>
T FromVariantValue(const Variant& v) {
  if constexpr (std::is_same_v<T, bool>) return v.ToBool();
  else if constexpr (std::is_same_v<T, std::string>) return v.ToString();
  else if constexpr (std::is_same_v<T, float>) return v.ToSingle();
  else if constexpr (std::is_same_v<T, std::uint32_t>) return static_cast<std::uint32_t>(v.ToLong());
  else if constexpr (std::is_same_v<T, Variant>) return v;
  else return static_cast<T>(v.ToLong());
}

}  // namespace

CommonDialogDispatch::CommonDialogDispatch() {
  clsCommonDialog* d = &dialog_;
#define KT_CD_PUBLISH(name)                                                                        \
  {                                                                                                \
    using T = std::decay_t<decltype(d->name())>;                                                   \
    AddProperty(#name, TypeOf<T>(), [d] { return ToVariantValue<T>(d->name()); },                 \
                [d](const Variant& v) { d->name(FromVariantValue<T>(v)); });                       \
  }
  KT_CD_PUBLISH(Action) KT_CD_PUBLISH(APIReturn) KT_CD_PUBLISH(ExtendedError) KT_CD_PUBLISH(CancelError)
  KT_CD_PUBLISH(flags) KT_CD_PUBLISH(hwnd) KT_CD_PUBLISH(hdc) KT_CD_PUBLISH(hInstance) KT_CD_PUBLISH(Color)
  KT_CD_PUBLISH(FontName) KT_CD_PUBLISH(FontSize) KT_CD_PUBLISH(FontBold) KT_CD_PUBLISH(FontItalic)
  KT_CD_PUBLISH(FontUnderline) KT_CD_PUBLISH(FontStrikethru) KT_CD_PUBLISH(Min) KT_CD_PUBLISH(Max)
  KT_CD_PUBLISH(FromPage) KT_CD_PUBLISH(ToPage) KT_CD_PUBLISH(Copies) KT_CD_PUBLISH(Orientation)
  KT_CD_PUBLISH(Duplex) KT_CD_PUBLISH(PrinterName) KT_CD_PUBLISH(PrinterDefault) KT_CD_PUBLISH(FileName)
  KT_CD_PUBLISH(FileTitle) KT_CD_PUBLISH(Filter) KT_CD_PUBLISH(FilterIndex) KT_CD_PUBLISH(DefaultExt)
  KT_CD_PUBLISH(DialogTitle) KT_CD_PUBLISH(InitDir) KT_CD_PUBLISH(MaxFileSize) KT_CD_PUBLISH(HelpFile)
  KT_CD_PUBLISH(HelpCommand) KT_CD_PUBLISH(HelpContext) KT_CD_PUBLISH(HelpKey) KT_CD_PUBLISH(Object)
#undef KT_CD_PUBLISH
  const std::pair<const char*, void (clsCommonDialog::*)()> shows[] = {
      {"ShowColor", &clsCommonDialog::ShowColor}, {"ShowFont", &clsCommonDialog::ShowFont},
      {"ShowOpen", &clsCommonDialog::ShowOpen},   {"ShowSave", &clsCommonDialog::ShowSave},
      {"ShowPrinter", &clsCommonDialog::ShowPrinter}, {"ShowHelp", &clsCommonDialog::ShowHelp}};
  for (const auto& [name, show] : shows) AddProcedure(name, {}, [d, show = show](VariantArray&) { (d->*show)(); });
  const std::pair<const char*, const char*> docs[] = {
      {"Action", "The last dialog shown: 1 open, 2 save, 3 colour, 4 font, 5 printer, 6 help."},
      {"APIReturn", "The last dialog's raw result: 1 OK, 0 cancelled or failed."},
      {"ExtendedError", "The dialog's extended error code when it failed."},
      {"CancelError", "True: a cancel raises error 2001 (-2147220610 for the colour dialog)."},
      {"flags", "The dialog's flag word, passed unchanged."},
      {"MaxFileSize", "The file name buffer's size; below 1 means 255."},
      {"Filter", "Description|pattern pairs separated by |, as in \"Text|*.txt|All|*.*\"."},
      {"ShowColor", "Shows the colour dialog starting from Color; Color receives the choice."},
      {"ShowFont", "Shows the font dialog from the Font* properties and reads the choice back."},
      {"ShowOpen", "Shows the open dialog; FileName and FileTitle receive the choice."},
      {"ShowSave", "Shows the save dialog; FileName and FileTitle receive the choice."},
      {"ShowPrinter", "Shows the printer dialog; printer, pages, copies, orientation and duplex come back."},
      {"ShowHelp", "Shows HelpFile with HelpCommand."}};
  for (const auto& [name, doc] : docs) Describe(name, doc);
}

}  // namespace ktfolio
