// The paper sizes a driver knows by DEVMODE number, in tenths of a millimetre
// with the PWG media names CUPS uses, and how a DEVMODE becomes job settings.
#include <algorithm>
#include <cstring>

#include "platform/spooler/spooler_impl.h"

namespace ktfolio::win::spooler {

namespace {

// Portrait sizes; a name is left out where no standard media matches exactly
// (CUPS then gets a custom size).
const Paper kPapers[] = {
    {1, 2159, 2794, "na_letter_8.5x11in"},
    {2, 2159, 2794, "na_letter_8.5x11in"},
    {3, 2794, 4318, "na_ledger_11x17in"},
    {4, 4318, 2794, nullptr},
    {5, 2159, 3556, "na_legal_8.5x14in"},
    {6, 1397, 2159, "na_invoice_5.5x8.5in"},
    {7, 1842, 2667, "na_executive_7.25x10.5in"},
    {8, 2970, 4200, "iso_a3_297x420mm"},
    {9, 2100, 2970, "iso_a4_210x297mm"},
    {10, 2100, 2970, "iso_a4_210x297mm"},
    {11, 1480, 2100, "iso_a5_148x210mm"},
    {12, 2500, 3540, nullptr},
    {13, 1820, 2570, "jis_b5_182x257mm"},
    {14, 2159, 3302, "na_foolscap_8.5x13in"},
    {15, 2150, 2750, nullptr},
    {16, 2540, 3556, "na_10x14_10x14in"},
    {17, 2794, 4318, "na_ledger_11x17in"},
    {18, 2159, 2794, "na_letter_8.5x11in"},
    {19, 984, 2254, "na_number-9_3.875x8.875in"},
    {20, 1048, 2413, "na_number-10_4.125x9.5in"},
    {21, 1143, 2635, "na_number-11_4.5x10.375in"},
    {22, 1207, 2794, "na_number-12_4.75x11in"},
    {23, 1270, 2921, "na_number-14_5x11.5in"},
    {27, 1100, 2200, "iso_dl_110x220mm"},
    {28, 1620, 2290, "iso_c5_162x229mm"},
    {29, 3240, 4580, "iso_c3_324x458mm"},
    {30, 2290, 3240, "iso_c4_229x324mm"},
    {31, 1140, 1620, "iso_c6_114x162mm"},
    {32, 1140, 2290, "iso_c6c5_114x229mm"},
    {33, 2500, 3530, "iso_b4_250x353mm"},
    {34, 1760, 2500, "iso_b5_176x250mm"},
    {35, 1760, 1250, nullptr},
    {36, 1100, 2300, "om_italian_110x230mm"},
    {37, 984, 1905, "na_monarch_3.875x7.5in"},
    {38, 921, 1651, "na_personal_3.625x6.5in"},
    {39, 3778, 2794, nullptr},
    {40, 2159, 3048, "na_fanfold-eur_8.5x12in"},
    {41, 2159, 3302, "na_foolscap_8.5x13in"},
    {42, 2500, 3530, "iso_b4_250x353mm"},
    {43, 1000, 1480, "jpn_hagaki_100x148mm"},
};

}  // namespace

const Paper* FindPaper(int dmPaper) {
  for (const Paper& p : kPapers)
    if (p.dmPaper == dmPaper) return &p;
  return nullptr;
}

const Paper* FindPaperByPwg(const std::string& pwg) {
  for (const Paper& p : kPapers)
    if (p.pwg && pwg == p.pwg) return &p;
  return nullptr;
}

DEVMODE Queue::Defaults() {
  DEVMODE dm;
  const std::string name = Name();
  std::strncpy(dm.dmDeviceName, name.c_str(), sizeof dm.dmDeviceName - 1);
  dm.dmSpecVersion = 0x401;
  dm.dmSize = sizeof(DEVMODE);
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_A4;
  dm.dmCopies = 1;
  return dm;
}

// As a Windows driver reads it: only the fields whose bits are set count, and
// an explicit length and width override the paper size's own.
JobSettings SettingsFrom(const DEVMODE& defaults, const DEVMODE* asked) {
  DEVMODE dm = defaults;
  if (asked) {
    const DWORD f = asked->dmFields;
    if (f & DM_ORIENTATION) dm.dmOrientation = asked->dmOrientation;
    if (f & DM_PAPERSIZE) dm.dmPaperSize = asked->dmPaperSize;
    if (f & DM_PAPERLENGTH) dm.dmPaperLength = asked->dmPaperLength;
    if (f & DM_PAPERWIDTH) dm.dmPaperWidth = asked->dmPaperWidth;
    if (f & DM_COPIES) dm.dmCopies = asked->dmCopies;
    dm.dmFields |= f;
  }
  JobSettings job;
  job.paperSize = dm.dmPaperSize;
  job.landscape = dm.dmOrientation == DMORIENT_LANDSCAPE;
  job.copies = std::max<int>(1, dm.dmCopies);
  const Paper* paper = FindPaper(dm.dmPaperSize);
  const Paper* fallback = FindPaper(defaults.dmPaperSize);
  int w = paper ? paper->widthTenthMm : fallback ? fallback->widthTenthMm : 2100;
  int h = paper ? paper->heightTenthMm : fallback ? fallback->heightTenthMm : 2970;
  if ((dm.dmFields & DM_PAPERWIDTH) && dm.dmPaperWidth > 0) w = dm.dmPaperWidth;
  if ((dm.dmFields & DM_PAPERLENGTH) && dm.dmPaperLength > 0) h = dm.dmPaperLength;
  if (job.landscape) std::swap(w, h);
  job.widthTenthMm = w;
  job.heightTenthMm = h;
  if (asked) {
    const auto* bytes = reinterpret_cast<const BYTE*>(asked);
    job.devmode.assign(bytes, bytes + sizeof(DEVMODE));
  }
  return job;
}

}  // namespace ktfolio::win::spooler
