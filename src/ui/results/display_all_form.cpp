#include "ui/results/display_all_form.h"

#include "platform/file_dialog.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/window_registry.h"
#include "ui/results/menu_tables.h"

namespace quarn {

DisplayAllForm::DisplayAllForm(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kDisplayAllForm, "AllSS", parent) {
  setObjectName("DisplayAllForm");
  setWindowTitle("Results of calculations");
  SetGridPlace(5, 1, 150, 750);
  SetCommands({
      // The window asks for a name and writes nothing: it has no results of its own.
      {"filesave", [this] { ctx_.dialogs.SaveFileName(FileDialogRequest{}); }},
      // Its print command names the building and scenario and prints nothing.
      {"FilePrint", [] {}},
      {"fileprintsetup", [this] { ctx_.printer.Setup(); }},
      {"fileclose", [this] { Unload(); }},
      {"help", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Contents"); }},
  });
}

}  // namespace quarn
