#include "ui/main/set_files_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "files/folders.h"
#include "model/settings.h"
#include "platform/qt_text.h"
#include "text/text_reader.h"
#include "ui/common/form_helpers.h"

namespace quarn {
namespace {

QWidget* FolderTab(QWidget* parent, const char* current_name, const char* new_name,
                   QLineEdit*& current, QLineEdit*& next) {
  auto* tab = new QWidget(parent);
  auto* grid = new QGridLayout(tab);
  grid->addWidget(new QLabel("Current Directory", tab), 0, 0);
  current = NamedBox(tab, current_name);
  current->setReadOnly(true);
  grid->addWidget(current, 1, 0);
  grid->addWidget(new QLabel("New Directory", tab), 2, 0);
  next = NamedBox(tab, new_name);
  grid->addWidget(next, 3, 0);
  grid->setRowStretch(4, 1);
  return tab;
}

}  // namespace

SetFilesForm::SetFilesForm(MainContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
  setObjectName("frmSetFiles");
  setWindowTitle("Set file locations");
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QMenuBar(this);
  QMenu* file = bar->addMenu("&File");
  file->setObjectName("file");
  QAction* open = file->addAction("&Open Quarn.ini");
  open->setObjectName("fileopen");
  QAction* save = file->addAction("&Save Quarn.ini");
  save->setObjectName("filesave");
  QAction* help = bar->addAction("&Help");
  help->setObjectName("help");
  layout->setMenuBar(bar);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("SSTab1");
  tabs_->addTab(
      FolderTab(tabs_, "CurrentBuildingPath", "NewBuildingPath", current_building_, new_building_),
      "Building Files");
  tabs_->addTab(
      FolderTab(tabs_, "CurrentScenarioPath", "NewScenarioPath", current_scenario_, new_scenario_),
      "Scenario Files");
  tabs_->addTab(FolderTab(tabs_, "CurrentTempPath", "NewTempPath", current_temp_, new_temp_),
                "Temporary Files");
  auto* sep_tab = new QWidget(tabs_);
  auto* sep_layout = new QVBoxLayout(sep_tab);
  comma_option_ = new QRadioButton("Comma delimited", sep_tab);
  comma_option_->setObjectName("Option1");
  tab_option_ = new QRadioButton("Tab delimited", sep_tab);
  tab_option_->setObjectName("Option2");
  sep_layout->addWidget(comma_option_);
  sep_layout->addWidget(tab_option_);
  sep_layout->addStretch(1);
  tabs_->addTab(sep_tab, "Data separator");
  layout->addWidget(tabs_);

  auto* buttons = new QHBoxLayout;
  auto* apply = new QPushButton("&Apply", this);
  apply->setObjectName("Command1");
  auto* cancel = new QPushButton("&Cancel", this);
  cancel->setObjectName("Command2");
  buttons->addStretch(1);
  buttons->addWidget(apply);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  connect(apply, &QPushButton::clicked, this, &SetFilesForm::Apply);
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
  connect(open, &QAction::triggered, this, &SetFilesForm::OpenSettings);
  connect(save, &QAction::triggered, this, &SetFilesForm::SaveSettings);
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { ShowSeparator(); });
  resize(TwipsToPixels(7200), TwipsToPixels(3600));
}

SetFilesForm::FolderBoxes SetFilesForm::Boxes(Folder folder) const {
  switch (folder) {
    case Folder::Building:
      return {current_building_, new_building_};
    case Folder::Scenario:
      return {current_scenario_, new_scenario_};
    case Folder::Temp:
      break;
  }
  return {current_temp_, new_temp_};
}

std::string& SetFilesForm::Setting(Folder folder) const {
  switch (folder) {
    case Folder::Building:
      return ctx_.state.DataFolder;
    case Folder::Scenario:
      return ctx_.state.ScenarioFolder;
    case Folder::Temp:
      break;
  }
  return ctx_.state.TempFolder;
}

void SetFilesForm::ShowFolders() {
  for (Folder f : {Folder::Building, Folder::Scenario, Folder::Temp}) {
    const FolderBoxes boxes = Boxes(f);
    boxes.current->setText(ToQt(Setting(f)));
    boxes.next->setText(ToQt(Setting(f)));
  }
}

void SetFilesForm::ShowSeparator() {
  if (ctx_.state.DataSeparator == ',') {
    comma_option_->setChecked(true);
  } else {
    tab_option_->setChecked(true);
  }
}

void SetFilesForm::FillFromSettings() {
  ShowFolders();
  // Only a comma or a tab keeps the result files readable.
  if (ctx_.state.DataSeparator != ',') ctx_.state.DataSeparator = '\t';
  ShowSeparator();
}

void SetFilesForm::SetTempParts() {
  // Split again at once, so that the next run and the clean-up at exit use the new folder.
  const TempFolderParts parts = SplitTempFolder(ctx_.state.TempFolder);
  ctx_.state.TempDrive = parts.drive;
  ctx_.state.TempFolderName = parts.folder;
}

void SetFilesForm::ChangeFolder(Folder which, const std::string& folder, bool ask) {
  std::string& setting = Setting(which);
  if (!folder.empty()) {
    bool usable = FolderExists(folder);
    if (!usable && (!ask || ctx_.prompt.AskYesNo("Path does not exist.  Do you want to create it?",
                                                 "", MessageIcon::Question) == Answer::Yes)) {
      std::error_code error;
      std::filesystem::create_directories(std::filesystem::path(folder), error);
      usable = FolderExists(folder);
      if (!usable) {
        ctx_.prompt.Message(
            "The folder " + folder + " could not be created.  The previous folder is kept.", "",
            MessageIcon::Exclamation);
      }
    }
    if (usable) setting = folder;
  }
  if (which == Folder::Temp) SetTempParts();
  const FolderBoxes boxes = Boxes(which);
  boxes.current->setText(ToQt(setting));
  boxes.next->setText(ToQt(setting));
}

void SetFilesForm::Apply() {
  switch (tabs_->currentIndex()) {
    case 0:
      ChangeFolder(Folder::Building, FromQt(new_building_->text()), true);
      break;
    case 1:
      ChangeFolder(Folder::Scenario, FromQt(new_scenario_->text()), true);
      break;
    case 2:
      ChangeFolder(Folder::Temp, FromQt(new_temp_->text()), true);
      break;
    default:
      ctx_.state.DataSeparator = comma_option_->isChecked() ? ',' : '\t';
      break;
  }
}

void SetFilesForm::OpenSettings() {
  std::string bytes;
  if (ctx_.settings_file.empty() || !ReadFileBytes(ctx_.settings_file, bytes)) {
    ctx_.prompt.Message("The settings file " + ctx_.settings_file + " could not be read.", "",
                        MessageIcon::Exclamation);
    return;
  }
  Settings read = ParseSettingsFile(bytes);
  ProgramState& s = ctx_.state;
  // A folder of another machine falls back to the one in use.
  HostFolders in_use;
  in_use.temp_folder = s.TempFolder;
  in_use.data_folder = s.DataFolder;
  in_use.scenario_folder = s.ScenarioFolder;
  UseHostFolders(read, in_use, ctx_.prompt);
  ApplySettings(read, s);
  ShowFolders();
}

void SetFilesForm::SaveSettings() {
  if (ctx_.prompt.AskYesNo(
          "This will replace all your defaults with new defaults. Do you want to continue?", "",
          MessageIcon::Question) != Answer::Yes) {
    return;
  }
  ChangeFolder(Folder::Temp, FromQt(new_temp_->text()), false);
  ChangeFolder(Folder::Building, FromQt(new_building_->text()), false);
  ChangeFolder(Folder::Scenario, FromQt(new_scenario_->text()), false);
  ProgramState& s = ctx_.state;
  s.DataSeparator = comma_option_->isChecked() ? ',' : '\t';
  if (ctx_.settings_file.empty() || !WriteSettingsFile(ctx_.settings_file, SettingsFrom(s))) {
    ctx_.prompt.Message("The settings file " + ctx_.settings_file + " could not be written.", "",
                        MessageIcon::Exclamation);
  }
}

}  // namespace quarn
