// `ktfolio printers`: the printers a job can go to, one name per line.
#include <cstdio>
#include <vector>

#include "commands.h"
#include "platform/spooler/spooler.h"

namespace ktfolio::cli {

void AddPrintersCommand(CLI::App& app, Action& action) {
  CLI::App* printers = app.add_subcommand("printers", "List the printers: the built-in PDF printer and CUPS queues");
  printers->callback([&action] {
    action = [] {
      using namespace win;
      DWORD needed = 0, count = 0;
      EnumPrinters(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
      std::vector<BYTE> buffer(needed);
      if (!EnumPrinters(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, buffer.data(), needed, &needed,
                        &count)) {
        std::fprintf(stderr, "ktfolio: cannot list the printers\n");
        return kExitFailed;
      }
      const auto* info = reinterpret_cast<const PRINTER_INFO_4*>(buffer.data());
      for (DWORD i = 0; i < count; ++i) std::printf("%s\n", info[i].pPrinterName);
      return kExitOk;
    };
  });
}

}  // namespace ktfolio::cli
