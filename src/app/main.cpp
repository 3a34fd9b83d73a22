#include <QApplication>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <string>

#include "files/building_file.h"
#include "files/database_service.h"
#include "model/program_state.h"
#include "model/settings.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_prompt.h"
#include "platform/qt_text.h"
#include "quarn_version.h"
#include "ui/main/building_form.h"
#include "ui/main/install_openers.h"
#include "ui/main/main_window.h"
#include "ui/main/splash_form.h"
#include "ui/main/titled_prompt.h"

namespace {

// With QUARN_SCREENSHOT set, `--screenshot <file> [--building <file.BLD>]` opens the main
// window (with that building), saves a picture of it and ends: the README's picture is
// made this way under Xvfb.
struct ScreenshotRequest {
  QString file;
  QString building;
};

ScreenshotRequest ScreenshotArguments(const QStringList& args) {
  ScreenshotRequest r;
  if (std::getenv("QUARN_SCREENSHOT") == nullptr) return r;
  for (int i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == "--screenshot") r.file = args[i + 1];
    if (args[i] == "--building") r.building = args[i + 1];
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt switches the C locale to the user's; every number text of the program is
  // written and read with a point, whatever the user's locale says.
  std::setlocale(LC_NUMERIC, "C");
  quarn::InstallWindowOpeners();

  quarn::ProgramIdentity identity;
  identity.description = quarn::kProgramDescription;
  identity.version_major = quarn::kVersionMajor;
  identity.version_minor = quarn::kVersionMinor;
  identity.version_revision = quarn::kVersionRevision;

  quarn::ProgramState& state = quarn::AppState();
  quarn::QtPrompt qt_prompt;
  quarn::TitledPrompt prompt(qt_prompt, state, quarn::kProgramTitle);
  const std::string program_folder = quarn::FromQt(QCoreApplication::applicationDirPath());
  const std::string settings_file = quarn::LoadStartUpSettings(
      state, identity, quarn::HostStartUpEnvironment(program_folder), prompt);
  quarn::QtFileDialogService dialogs;
  quarn::QtHelpService help(prompt, program_folder);
  quarn::QtPrinterService printer(dialogs, prompt);
  quarn::JetDatabaseService database(state.ProgramFolder);
  quarn::MainContext context{state,   prompt,   dialogs,       help,
                             printer, identity, settings_file, database};

  const ScreenshotRequest shot = ScreenshotArguments(app.arguments());
  if (!shot.file.isEmpty()) {
    quarn::MainWindow* frame = quarn::StartFromSplash(context, quarn::SplashExit::Key);
    if (!shot.building.isEmpty()) {
      std::string name = quarn::FromQt(shot.building);
      quarn::BuildingRecord read;
      if (quarn::ReadBuildingFile(read, name, prompt)) {
        quarn::CopyBuildingPart(read, state.Building);
        frame->Building()->FillBuildingGrid(frame->Building()->Grid());
      }
    }
    QTimer::singleShot(800, frame, [frame, shot] {
      frame->grab().save(shot.file);
      QCoreApplication::exit(0);
    });
    return QApplication::exec();
  }

  auto* splash = new quarn::SplashForm(context);
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->show();
  splash->activateWindow();
  splash->setFocus();
  return QApplication::exec();
}
