#include "model/record_resets.h"

#include "model/records.h"

namespace quarn {
namespace {

// The defaults of one source slot. The emission units, gas velocity, mass and the raw
// composition row are kept: the source window sets them per slot and a reset of the
// model's running values must not lose what the user typed.
void ResetSource(SourceRecord& s) {
  s.SpillArea = 0;
  s.SourceAge = 0;
  s.CycleRepeats = "";
  s.CurrentTime = 0;
  LiquidMass(s).fill(0);
  s.ModelWork2.fill(0);
  s.ParamPerMole.fill(0);
  MolesLeft(s).fill(0);
  CompositionMgPerGram(s).fill(0);
  for (auto& row : s.Params) row.fill(0);
  s.SourceFactor = 0;
  s.NumCycles = 0;
  s.Size = 0;
  s.Name = "";
  s.Model = 1;
  s.ScaledMass = 0;
  s.SourceValue = 0;
  s.TimeOn.fill(0);
  s.TimeOff.fill(0);
}

// An empty room row; the HVAC entry is the caller's.
void ClearRoom(RoomRecord& room, int16_t hvac) {
  room.Name = "";
  room.Length = room.Width = room.Height = room.Volume = 0;
  room.NumNeighbors = 0;
  room.HVAC = hvac;
}

// Room r's flows to and from outdoors, its work values, its source and sink counts and its
// loss coefficient, for pollutants 0..np-1.
void ClearRoomRunValues(ScenarioRecord& sc, int r, int np) {
  sc.NaturalToOutdoors[r] = sc.NaturalFromOutdoors[r] = 0;
  sc.NumSources[r] = 0;
  sc.NumSinks[r] = 0;
  for (int p = 0; p < np; ++p) sc.RoomPollutantWork[r][p] = 0;
  sc.LossCoefficient[r] = 0;
}

void ClearMatrixRoom(RoomMatrix& m, int r) {
  m[r].fill(0);
  for (auto& row : m) row[r] = 0;
}

// Everything the scenario holds for room r, as if the room had never been used, so that a
// room added later does not bring back an old building's sources, sinks and flows.
void ClearRoomSlot(ScenarioRecord& sc, int r) {
  for (PerRoom<float>* a : {&sc.ManagedSupply,       &sc.ManagedReturn,
                            &sc.ManagedToOutdoors,   &sc.ManagedFromOutdoors,
                            &sc.BaseHVACSupply,      &sc.BaseHVACReturn,
                            &sc.HVACSupply,          &sc.HVACReturn,
                            &sc.HVACExhaust,         &sc.WorkingHVACExhaust,
                            &sc.HVACOutdoorAir,      &sc.WorkingHVACOutdoorAir,
                            &sc.NaturalFromOutdoors, &sc.NaturalToOutdoors,
                            &sc.LossCoefficient,     &sc.PeakConc,
                            &sc.AirCleanerEff,       &sc.AirCleanerPenetration,
                            &sc.AirCleanerFlow,      &sc.AirCleanerCollected})
    (*a)[r] = 0;
  for (RoomMatrix* m :
       {&sc.ManagedRoomFlows, &sc.HVACRoomFlows, &sc.FlowMatrix, &sc.NaturalRoomFlows})
    ClearMatrixRoom(*m, r);
  for (RoomPollutant* a : {&sc.InitialConc, &sc.RoomPollutantWork, &sc.RoomConc,
                           &sc.PreviousRoomConc, &sc.InitialConcInput})
    (*a)[r].fill(0);
  for (SourceRecord& s : sc.Sources[r]) {
    s = SourceRecord{};
    ResetSource(s);
  }
  for (SinkRecord& k : sc.Sinks[r]) k = SinkRecord{};
  sc.NumSources[r] = 0;
  sc.NumSinks[r] = 0;
}

}  // namespace

void InitializeBuilding(BuildingRecord& building) {
  building.NumRooms = 1;
  building.ID = "";
  building.Comments = "";
  for (int i = 0; i < kRoomSlots; ++i) {
    ClearRoom(building.RoomList[i], static_cast<int16_t>(i));
  }
  building.SpareCount = 1;
  building.SpareValue = 0;
  building.MasterFile = "Temp";
}

void InitializeScenarioArrays(ScenarioRecord& sc) {
  for (int p = 0; p < kMaxPollutants; ++p) {
    sc.AirborneMass[p] = 0;
    sc.BuildingPenetration[p] = 1.0f;
  }
  sc.HVACFilterType = 0;
  for (int r = 0; r < kRoomSlots; ++r) {
    sc.HVACExhaust[r] = sc.HVACOutdoorAir[r] = sc.WorkingHVACOutdoorAir[r] = 0;
    sc.HVACRoomFlows[r].fill(0);
    sc.FlowMatrix[r].fill(0);
  }
  sc.HVACHistoryFraction.fill(0);
  sc.HVACMakeUpTotal = 0;
}

void InitializePollutants(ScenarioRecord& sc, int num_rooms) {
  for (int p = 0; p < kMaxPollutants; ++p) {
    PollutantRecord& pol = sc.Pollutants[p];
    const float diameter = pol.Diameter;  // the size bin survives a reset of the table
    pol = PollutantRecord{};
    pol.Diameter = diameter;
    for (int t = 0; t <= kMaxHistory; ++t) {
      sc.OutdoorConcInput[t][p] = 0;
      sc.OutdoorConcTime[t] = 0;
    }
  }
  // The outdoor history itself (OutdoorConc) is deliberately left: only its times go.
  for (int r = 1; r <= RoomBound(num_rooms); ++r) {
    for (int p = 0; p < kMaxPollutants; ++p) {
      sc.InitialConcInput[r][p] = 0;
      sc.InitialConc[r][p] = 0;
      sc.CurrentOutdoorConc[p] = 0;
      sc.BuildingPenetration[p] = 1.0f;
    }
  }
}

void InitializeRoomFlows(ScenarioRecord& sc, int num_rooms) {
  const int n = RoomBound(num_rooms);
  const int np = PollutantCount(sc);
  for (int r = 1; r <= n; ++r) {
    ClearRoomRunValues(sc, r, np);
    sc.WorkingHVACOutdoorAir[r] = sc.WorkingHVACExhaust[r] = 0;
    // The flows in force start from the entered HVAC flows.
    sc.BaseHVACSupply[r] = sc.HVACSupply[r];
    sc.BaseHVACReturn[r] = sc.HVACReturn[r];
    for (int j = 1; j <= n; ++j) {
      if (j == r) continue;
      sc.NaturalRoomFlows[j][r] = sc.NaturalRoomFlows[r][j] = 0;
      sc.FlowMatrix[j][r] = 0;
      sc.HVACRoomFlows[j][r] = 0;
    }
  }
}

void InitializeOccupantsAndHVAC(ScenarioRecord& sc) {
  for (int o = 0; o <= kMaxOccupants; ++o) {
    OccupantRecord& occ = sc.Occupants[o];
    for (PerPollutant<float>* a :
         {&occ.PotentialDose, &occ.CancerRiskResult, &occ.IrritantExposure, &occ.ExposureTime,
          &occ.TotalExposure, &occ.HoursAboveIrritant, &occ.Dose, &occ.PeakExposure,
          &occ.AverageExposure, &occ.LifetimeExposure})
      a->fill(0);
    occ.AbsorbedMass = 0;
    occ.Number = static_cast<int16_t>(o);
    occ.AveragingTime = 24;
    occ.Weight = 74;
    occ.BreathingRate = 0.833f;
    occ.StartTime = 0;
    occ.NumSegments = 0;
    occ.Name = "";
    occ.OccupantValue = 0;
    occ.Population = 0;
    occ.Lifetime = 75;
    occ.EfficiencyFactor = 1.0f;
    occ.EndTime = 0;
  }
}

void InitializeSources(ScenarioRecord& sc, int num_rooms) {
  // Room 0 is the HVAC system: its sources are reset even when there are no rooms.
  for (int r = 0; r <= RoomBound(num_rooms); ++r)
    for (SourceRecord& s : sc.Sources[r]) ResetSource(s);
}

void InitializeScenario(ScenarioRecord& sc, int num_rooms) {
  sc.Name = "";
  sc.RunSetting1 = 0.1f;
  sc.Comments = "";
  sc.ConstantHVAC = "Y";
  sc.ConstantOutdoorConc = "Y";
  sc.ConstantACH = "Y";
  sc.StepTime = 0;
  // The text of the number 0: the ventilation window shows "not a cycle", while a run,
  // which stops repeating the schedule only for "N", repeats it.
  sc.VentScheduleFlag = "0";
  sc.StepSize = 0.1f;
  sc.HVACInUse = 0;
  sc.InitialConcUnits = "";
  sc.RunSetting2 = 2;
  sc.OverallACH = 0;
  sc.PenetrationDefault = 1.0f;
  sc.NumOccupants = 0;
  InitializeScenarioArrays(sc);
  InitializePollutants(sc, num_rooms);
  InitializeRoomFlows(sc, num_rooms);
  InitializeOccupantsAndHVAC(sc);
  InitializeSources(sc, num_rooms);
}

void ClearScenario(ScenarioRecord& sc, int num_rooms) {
  const int n = RoomBound(num_rooms);
  const int np = PollutantCount(sc);

  sc.Name = "";
  sc.Pollutants[0].Name = "";
  sc.Pollutants[0].CancerRisk = 0;
  sc.Pollutants[0].IrritantConc = 0;
  sc.YearsSimulated = 0;
  sc.Comments = "";
  sc.OverallACH = 0;
  sc.ConstantACH = "Y";

  sc.HVACInUse = 0;
  sc.HVACOutdoorAirTotal = sc.HVACMakeUpTotal = sc.HVACTotalFlow = 0;
  sc.FilterCapacity = 0;

  for (int p = 0; p < np; ++p) {
    sc.PollutantWork[p] = 0;
    sc.CurrentOutdoorConc[p] = 0;
    for (int k = 0; k <= 3; ++k) sc.FilterPenetration[k][p] = 1.0f;  // position 4 kept
    sc.AirCleanerMass[p] = 0;
  }

  sc.RunSetting1 = 1.1f;
  sc.RunSetting2 = 2;
  sc.StepSize = 0.1f;
  sc.RunLabel = "TEMP";

  for (int r = 1; r <= n; ++r) {
    ClearRoomRunValues(sc, r, np);
    sc.HVACSupply[r] = sc.HVACReturn[r] = 0;
    sc.AirCleanerEff[r] = sc.AirCleanerPenetration[r] = 0;
    sc.AirCleanerFlow[r] = sc.AirCleanerCollected[r] = 0;
    for (int j = 1; j <= n; ++j) sc.NaturalRoomFlows[r][j] = 0;
  }
  // Rooms above the count are not in use: nothing of them may come back when rooms are added.
  for (int r = n + 1; r < kRoomSlots; ++r) ClearRoomSlot(sc, r);

  for (int o = 1; o <= kMaxOccupants; ++o) {
    OccupantRecord& occ = sc.Occupants[o];
    occ.Name = "";
    occ.Number = 0;
    occ.StartTime = 0;
    occ.EndTime = 1.0e9f;
    for (int i = 1; i <= kMaxSchedule; ++i) {
      occ.TimeEnter[i] = occ.TimeLeave[i] = 0;
      occ.Location[i] = "";
      occ.LocationRoom[i] = 0;
    }
    occ.BreathingRate = 0;
    occ.EfficiencyFactor = 0;
    for (int p = 0; p < np; ++p) {
      occ.CancerRiskResult[p] = occ.IrritantExposure[p] = occ.TotalExposure[p] = 0;
      occ.HoursAboveIrritant[p] = occ.Dose[p] = occ.PeakExposure[p] = 0;
    }
  }
}

void ClearBuilding(BuildingRecord& b) {
  b.ID = "";
  b.Comments = "";
  b.MasterFile = "";
  ClearScenario(b.Scenario, b.NumRooms);
  for (int r = 1; r <= RoomBound(b.NumRooms); ++r) {
    ClearRoom(b.RoomList[r], 0);
  }
  b.NumRooms = 0;
}

}  // namespace quarn
