#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>

#include "ui/common/main_context.h"

class QFrame;

namespace quarn {

class FlexGrid;
class EditCellBox;
class GridEdit;
enum class PlotKind;
enum class BarChartKind;
enum class RunKind;

// The building window's least width, and the width it opens at: its grid's two columns and
// the whole menu bar.
inline constexpr int kBuildingWindowMinWidthTwips = 10500;

// The building window: the building's Item/Value grid and every main menu of the program.
// It lives from the start of the main window to the end of the program.
class BuildingForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit BuildingForm(MainContext& context, QWidget* parent = nullptr);
  ~BuildingForm() override;

  // Window Load: the temporary folder split into its two parts and created when missing.
  void Load();

  // The grid procedures.
  void SetupBuildingGrid(FlexGrid& grid);
  void FillBuildingGrid(FlexGrid& grid);
  void UpdateBuildingFromGrid();

  FlexGrid& Grid() { return *grid_; }
  EditCellBox& EditCell() { return *edit_cell_; }

  // Runs the menu command of that object name (as a click on the item would).
  void RunCommand(const std::string& name);

  // True when the program may end: everything is saved (the temporary-files question is
  // asked then), or the user agreed to lose what is not.
  bool ConfirmExit();

  // Commands, by menu.
  void FileNew();
  void FileOpen();
  void FileSave();
  void SaveConcentration();
  void SaveExposure();
  void SaveAverageExposure();
  void SaveAllResultFiles();
  void FileExit();
  void CalculateAirFlows();
  void CalculateConcentration();
  void CalculateLognormal();
  void CalculateExposure(const char* mode);
  // A line in the frame's status bar, which stays until the next one.
  void ShowStatus(const std::string& text);
  void CalculateAverage();
  void CalculateRisk();
  void DisplayConcentration();
  void Plot(PlotKind kind);
  void PlotBars(BarChartKind kind);
  // Display > Exposure...: instantaneous (1) or cumulative (2) exposure, and the averages.
  void DisplayExposure(int mode);
  void DisplayAverageExposure();
  void SetDisplayUnits(int code);
  void OptionsCalculate();
  void SetMaxConcentration();
  void FileLocations();

 signals:
  // The user chose to end the program (Exit, or closing this window).
  void EndProgram();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void WireCommands();
  void MakeScenarioFolder();
  bool ConfirmClear();
  void RefuseRoomCount();
  void FitValueColumn();
  bool ResultsGate(bool calculated, const char* text, const char* title = "Warning");
  // The results of a concentration run exist, or the user is told so.
  bool ConcentrationsGate();
  // After a run of that kind: its inputs remembered, the results on the screen renewed.
  void RunEnded(RunKind kind);

  MainContext& ctx_;
  QFrame* top_frame_ = nullptr;
  EditCellBox* edit_cell_ = nullptr;
  FlexGrid* grid_ = nullptr;
  GridEdit* edit_ = nullptr;
  std::map<std::string, std::function<void()>> commands_;
  bool closing_confirmed_ = false;
  int value_col_twips_ = 2000;  // the value column's width as the last fill set it
};

}  // namespace quarn
