#pragma once

#include <string>

#include "model/chamber_fit.h"
#include "model/records.h"

namespace quarn {

// The program-wide state: the model record and the folders, settings and flags that the
// windows share. Windows reach the one instance through AppState(); model and file
// functions never do, they take what they work on as parameters. Its fields keep the names
// of the program's design, like the records' fields.
// NOLINTBEGIN(readability-identifier-naming)
struct ProgramState {
  std::string ProgramFolder;
  std::string DataFolder;      // building files
  std::string ScenarioFolder;  // scenario files
  std::string ProgramTitle;
  std::string ProgramVersion;
  float StepAdjustFactor = 0;
  PerPollutant<float> ParticleDiameters{};
  std::string TempFolderName;
  std::string TempFolder;
  std::string TempDrive;
  BuildingRecord Building;
  std::string CurrentFileName;
  int16_t CurrentSource = 0;
  bool ExposureCalculated = false;
  // Calculate > Risk has run to its end on the exposures of the last exposure calculation:
  // the windows tell a risk of 0 from one never calculated.
  bool RiskCalculated = false;
  bool ConcentrationsCalculated = false;
  bool ScenarioSaved = false;
  SourceRecord WorkSource;
  int16_t CurrentRoom = 0;
  bool StopCalculation = false;
  bool BuildingSaved = false;
  double MaxConcentration = 0;  // mg/m³
  int16_t FlowSet = 0;          // 0 natural, -1 HVAC, 1 managed
  bool SourcesSaved = false;
  bool SinksSaved = false;
  bool OccupantsSaved = false;
  bool RoomFlowsSaved = false;
  bool VentilationSaved = false;
  bool RoomsSaved = false;
  // The scenario room window's data went into the record; its File > Cancel asks only while
  // it is False.
  bool RoomDataTransferred = false;
  bool TempFilesFlag = false;
  float ConcentrationFloor = 0;
  bool OccupantDataComplete = false;
  char DataSeparator = ',';
  // The chamber data window's test, the results of its last fit (or those its file held) and
  // the chamber data file last opened or saved.
  ChamberDataRecord ChamberData;
  float FittedR0 = 0;
  float FittedK = 0;
  std::string ChamberFileName;
};
// NOLINTEND(readability-identifier-naming)

// The one instance the windows share.
ProgramState& AppState();

}  // namespace quarn
