#pragma once

#include <QDialog>
#include <string>

#include "ui/common/main_context.h"

class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace quarn {

// The file-locations dialog: the building, scenario and temporary folders and the value
// separator, applied at once to the program's settings, and loaded from or saved to the
// settings file.
class SetFilesForm : public QDialog {
  Q_OBJECT

 public:
  explicit SetFilesForm(MainContext& context, QWidget* parent = nullptr);

  // Opening from the building window: the boxes show the folders in use; a separator
  // other than a comma becomes the tab.
  void FillFromSettings();
  // Apply of the current tab.
  void Apply();
  // File > Open and File > Save of the settings file.
  void OpenSettings();
  void SaveSettings();

 private:
  enum class Folder { Building, Scenario, Temp };
  struct FolderBoxes {
    QLineEdit* current;
    QLineEdit* next;
  };
  FolderBoxes Boxes(Folder folder) const;
  std::string& Setting(Folder folder) const;
  void ShowFolders();
  void ShowSeparator();
  // Makes `folder` the setting; asks before creating it when `ask`. A folder that cannot
  // be created is reported and the setting kept.
  void ChangeFolder(Folder which, const std::string& folder, bool ask);
  void SetTempParts();

  MainContext& ctx_;
  QTabWidget* tabs_;
  QLineEdit* current_building_;
  QLineEdit* new_building_;
  QLineEdit* current_scenario_;
  QLineEdit* new_scenario_;
  QLineEdit* current_temp_;
  QLineEdit* new_temp_;
  QRadioButton* comma_option_;
  QRadioButton* tab_option_;
};

}  // namespace quarn
