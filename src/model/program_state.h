#pragma once

#include <string>

#include "model/chamber_fit.h"
#include "model/records.h"

namespace quarn {

// The program-wide state: the model record and the folders, settings and flags that the
// windows share. Windows reach the one instance through AppState(); model and file
// functions never do, they take what they work on as parameters.
struct ProgramState {
  std::string ProgramFolder;
  std::string DataFolder;      // building files
  std::string ScenarioFolder;  // scenario files
  int16_t NumericGrid = 0;
  std::string ProgramTitle;
  std::string ProgramVersion;
  int16_t DialogCancelled = 0;
  float StepAdjustFactor = 0;
  int16_t GridEditFlag = 0;
  int16_t CellEditActive = 0;
  PerPollutant<float> ParticleDiameters{};
  HistoryPollutant OutdoorConcInput{};  // as entered, in OutdoorConcUnits
  RoomPollutant InitialConcInput{};     // as entered, in InitialConcUnits
  std::string TempFolderName;
  std::string TempFolder;
  std::string TempDrive;
  BuildingRecord Building;
  std::string CurrentFileName;
  int16_t GridEventsEnabled = 0;
  int16_t ScenarioDialogFlag = 0;
  int16_t ScenarioFileFlag = 0;
  int16_t CurrentSource = 0;
  float TimeStep = 0;
  int16_t ExposureCalculated = 0;
  // Calculate > Risk has run to its end on the exposures of the last exposure calculation:
  // the windows tell a risk of 0 from one never calculated.
  bool RiskCalculated = false;
  int16_t ConcentrationsCalculated = 0;
  int16_t ScenarioSaved = 0;
  SourceRecord WorkSource;
  int16_t CurrentRoom = 0;
  bool StopCalculation = false;
  int16_t BuildingSaved = 0;
  double MaxConcentration = 0;  // mg/m³
  int16_t FlowSet = 0;          // 0 natural, -1 HVAC, 1 managed
  int16_t SourcesSaved = 0;
  int16_t SinksSaved = 0;
  int16_t OccupantsSaved = 0;
  int16_t RoomFlowsSaved = 0;
  int16_t SavedFlag5 = 0;
  int16_t VentilationSaved = 0;
  int16_t SavedFlag7 = 0;
  int16_t RoomsSaved = 0;
  int16_t ScenarioRoomsFlag = 0;
  // The scenario room window's data went into the record; its File > Cancel asks only while
  // it is False.
  int16_t RoomDataTransferred = 0;
  int16_t TempFilesFlag = 0;
  float ConcentrationFloor = 0;
  int16_t OccupantDataComplete = 0;
  char DataSeparator = ',';
  // The chamber data window's test, the results of its last fit (or those its file held) and
  // the chamber data file last opened or saved.
  ChamberDataRecord ChamberData;
  float FittedR0 = 0;
  float FittedK = 0;
  std::string ChamberFileName;
};

// The one instance the windows share.
ProgramState& AppState();

}  // namespace quarn
