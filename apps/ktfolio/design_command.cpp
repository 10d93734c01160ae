// `ktfolio design TEMPLATE`: opens the external designer ("FolioDsn.clsFolioDsn",
// ours unless a host registered another) on a template file in a window, and
// writes the file back when the designer saves.
#include <cstdio>

#include "commands.h"
#include "control/ktprint4_dispatch.h"
#include "pages/property_page.h"
#include "platform/automation/components.h"

namespace ktfolio::cli {

void AddDesignCommand(CLI::App& app, Action& action) {
  auto file = std::make_shared<std::string>();
  CLI::App* design = app.add_subcommand("design", "Edit a template in the designer and save it back (needs a display)");
  AddTemplateArgument(*design, *file);
  design->callback([&action, file] {
    action = [file] {
      if (!win::user::UseGtkBackend()) {
        std::fprintf(stderr, "ktfolio: design needs a display (DISPLAY is not set or cannot be opened)\n");
        return kExitUsage;
      }
      KtPrint4Dispatch published;
      KtPrint4Impl& control = published.Control();
      if (!LoadTemplate(control, *file)) return kExitFailed;
      ByteArray before;
      control.GetDsnArray(before);
      try {
        pages::RegisterBuiltinDesigner();
        DispatchPtr designer = CreateObject("FolioDsn.clsFolioDsn");
        VariantArray args{Variant(before), Variant(pages::DesignerSettingsOf(published)), Variant(true)};
        designer->Invoke("start", args);
        const ByteArray after = args[0].ToBytes();
        if (after == before) {
          std::printf("%s unchanged\n", file->c_str());
          return kExitOk;
        }
        control.SetDsnArray(after, false);
      } catch (const Error& e) {
        std::fprintf(stderr, "ktfolio: error %d (%s): %s\n", e.number(), e.source().c_str(), e.description().c_str());
        return kExitFailed;
      }
      if (!control.SaveAsTemplate(*file)) return ReportFailure(control);
      WarnOfLostCharacters(control, *file);
      std::printf("%s\n", file->c_str());
      return kExitOk;
    };
  });
}

}  // namespace ktfolio::cli
