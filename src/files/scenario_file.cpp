#include "files/scenario_file.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "model/record_resets.h"
#include "model/room_lookup.h"
#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {

namespace scenario_io {

// ---- reading items ----

int32_t ItemSource::Long() {
  auto value = RoundToInt32(Double());
  if (!value) throw DamagedFile{};
  return *value;
}

// ---- writing lines ----

void LineSink::Fixed(std::string_view text) {
  // A blank field stays bare at its full length (a blank flag is one blank). A field is
  // quoted like a free text only where it would not read back bare: a comma or line break
  // in it, a double quote or a blank before its first character. A double quote further in
  // reads back as it is, and the blanks that pad it out are its length, not its text.
  const std::size_t first = text.find_first_not_of(' ');
  const bool bare =
      first == std::string_view::npos ||
      (first == 0 && text.front() != '"' && text.find_first_of(",\r\n") == std::string_view::npos);
  if (bare) {
    Raw(text);
  } else {
    Text(text);
  }
}

// ---- reading into a reset scenario ----

ScenarioFileRead ReadIntoResetScenario(const BuildingRecord& building, const std::string& file_name,
                                       Prompt& prompt,
                                       const std::function<void(ScenarioRecord&)>& read_body) {
  ScenarioRecord sc = building.Scenario;
  ClearScenario(sc, building.NumRooms);
  InitializeScenario(sc, building.NumRooms);
  try {
    read_body(sc);
  } catch (const DamagedFile&) {
    TellDamaged(prompt, file_name);
    return ScenarioFileRead{};
  }
  // Files keep only the concentrations as entered. Where they were entered in the
  // scenario's own units, the run converts nothing, so the calculation arrays must hold
  // them now: otherwise a run straight after Open would use the previous scenario's
  // outdoor history and no initial concentrations at all.
  if (sc.OutdoorConcUnits == sc.ConcUnits) sc.OutdoorConc = sc.OutdoorConcInput;
  if (sc.InitialConcUnits == sc.ConcUnits) sc.InitialConc = sc.InitialConcInput;
  return ScenarioFileRead{ScenarioReadResult::Read, std::move(sc)};
}

// ---- messages ----

void TellDamaged(Prompt& prompt, const std::string& file_name) {
  prompt.Message("Error.  " + file_name + " is not a scenario file or is damaged.", "Error",
                 MessageIcon::Critical);
}

void TellWrongRoomCount(Prompt& prompt, const std::string& file_name, int file_rooms,
                        int building_rooms) {
  // Room-indexed items follow the rooms of the loaded building: with another count every
  // later item would land in the wrong field.
  prompt.Message("Error.  " + file_name + " is a scenario for a building with " +
                     FormatDouble(file_rooms) + " rooms, but the building loaded has " +
                     FormatDouble(building_rooms) + " rooms.  The scenario was not read.",
                 "Error", MessageIcon::Critical);
}

bool IsParticleClass(const FixedString<8>& pollutant_class) {
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  return upper(pollutant_class[0]) == 'P' && upper(pollutant_class[1]) == 'M';
}

void SetDroppedFieldsToReference(ScenarioRecord& sc, int num_rooms) {
  sc.HVACType = kReferenceHVACType;
  sc.ManagedFlowFlag = "N";
  sc.ManagedValue1 = sc.ManagedValue2 = sc.ManagedValue3 = sc.ManagedValue4 = 0;
  for (int r = 1; r <= num_rooms; ++r) {
    sc.ManagedSupply[r] = sc.ManagedReturn[r] = 0;
    sc.ManagedFromOutdoors[r] = sc.ManagedToOutdoors[r] = 0;
    sc.AirCleanerEff[r] = sc.AirCleanerFlow[r] = 0;
    for (int j = 1; j <= num_rooms; ++j) sc.ManagedRoomFlows[r][j] = 0;
  }
}

void ReadOpeningItems(ItemSource& in, ScenarioRecord& sc) {
  sc.Name = in.Text();
  sc.Comments = in.Text();
  sc.ConcUnits = in.Text();
  in.Real(sc.OverallACH);
  in.Fixed(sc.ConstantACH);
  in.Fixed(sc.ConstantHVAC);
}

void ReadHVACFlowBlock(ItemSource& in, const BuildingRecord& b, ScenarioRecord& sc, int n) {
  in.Fixed(sc.HVACHistoryCycle);
  in.Real(sc.HVACOutdoorAirTotal);
  in.Real(sc.HVACMakeUpTotal);
  for (int r = 1; r <= n; ++r) {
    for (float* v :
         {&sc.HVACSupply[r], &sc.HVACReturn[r], &sc.HVACExhaust[r], &sc.HVACOutdoorAir[r]}) {
      in.Real(*v);
    }
  }
  ReadConnectedFlows(in, b, sc.HVACRoomFlows, n);
}

void ReadConnectedFlows(ItemSource& in, const BuildingRecord& b, RoomMatrix& flows, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (RoomsConnected(b, i, j)) in.Real(flows[i][j]);
    }
  }
}

void ReadNaturalFlowsAndSchedules(ItemSource& in, ScenarioRecord& sc, int n) {
  for (int r = 1; r <= n; ++r) {
    in.Real(sc.NaturalToOutdoors[r]);
    in.Real(sc.NaturalFromOutdoors[r]);
  }
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (i != j) in.Real(sc.NaturalRoomFlows[i][j]);
    }
  }
  for (int t = 1; t <= kMaxHistory; ++t) {
    for (float* v :
         {&sc.VentTime[t], &sc.VentRate[t], &sc.HVACHistoryTime[t], &sc.HVACHistoryFraction[t]}) {
      in.Real(*v);
    }
  }
}

void ReadEnteredConcentrations(ItemSource& in, ScenarioRecord& sc, int first_room, int n, int np) {
  for (int r = first_room; r <= n; ++r) {
    for (int p = 0; p < np; ++p) in.Real(sc.InitialConcInput[r][p]);
  }
  for (int p = 0; p < np; ++p) in.Real(sc.BuildingPenetration[p]);
  for (int t = 1; t <= kMaxHistory; ++t) {
    for (int p = 0; p < np; ++p) {
      in.Real(sc.OutdoorConcTime[t]);
      in.Real(sc.OutdoorConcInput[t][p]);
    }
  }
}

}  // namespace scenario_io

using scenario_io::DamagedFile;
using scenario_io::ItemSource;
using scenario_io::LineSink;

ScenarioReadResult CommitScenarioRead(ScenarioFileRead read, BuildingRecord& building) {
  if (read.scenario) building.Scenario = std::move(*read.scenario);
  return read.result;
}

int16_t OutdoorPointsFromTimes(const History& times) {
  for (int t = 2; t <= kMaxHistory; ++t) {
    if (times[t] <= 0) return static_cast<int16_t>(t - 1);
  }
  return kMaxHistory;
}

namespace {

int Bound(int count, int limit) {
  return std::clamp(count, 0, limit);
}

void WriteConnectedFlows(const BuildingRecord& b, const RoomMatrix& flows, int n,
                         std::string_view field, LineSink& w) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (RoomsConnected(b, i, j)) w.Real(flows[i][j], field);
    }
  }
}

// True when a field that the layout drops holds something a run would miss.
bool NeedsTrailer(const BuildingRecord& b) {
  const ScenarioRecord& sc = b.Scenario;
  const int n = Bound(b.NumRooms, kMaxRooms);
  if (sc.HVACType != kReferenceHVACType) return true;
  if (sc.NumOutdoorConcPoints != OutdoorPointsFromTimes(sc.OutdoorConcTime)) return true;
  if (sc.OutdoorConcUnits != sc.ConcUnits || sc.InitialConcUnits != sc.ConcUnits) return true;
  if (!(sc.ManagedFlowFlag == "N") && !(sc.ManagedFlowFlag == "")) return true;
  if (sc.ManagedValue1 != 0 || sc.ManagedValue2 != 0 || sc.ManagedValue3 != 0 ||
      sc.ManagedValue4 != 0) {
    return true;
  }
  for (int r = 1; r <= n; ++r) {
    if (sc.ManagedSupply[r] != 0 || sc.ManagedReturn[r] != 0 || sc.ManagedFromOutdoors[r] != 0 ||
        sc.ManagedToOutdoors[r] != 0 || sc.AirCleanerEff[r] != 0 || sc.AirCleanerFlow[r] != 0) {
      return true;
    }
    for (int j = 1; j <= n; ++j) {
      if (RoomsConnected(b, r, j) && sc.ManagedRoomFlows[r][j] != 0) return true;
    }
  }
  return false;
}

void WriteTrailer(const BuildingRecord& b, LineSink& w) {
  const ScenarioRecord& sc = b.Scenario;
  const int n = Bound(b.NumRooms, kMaxRooms);
  w.Text(kTrailerStart);
  w.Integer(sc.HVACType);
  w.Integer(Bound(sc.NumOutdoorConcPoints, kMaxHistory));
  w.Text(sc.OutdoorConcUnits);
  w.Text(sc.InitialConcUnits);
  w.Fixed(sc.ManagedFlowFlag.str());
  w.Real(sc.ManagedValue1, "ManagedValue1");
  w.Real(sc.ManagedValue2, "ManagedValue2");
  w.Real(sc.ManagedValue3, "ManagedValue3");
  w.Real(sc.ManagedValue4, "ManagedValue4");
  for (int r = 1; r <= n; ++r) {
    w.Real(sc.ManagedSupply[r], "ManagedSupply");
    w.Real(sc.ManagedReturn[r], "ManagedReturn");
    w.Real(sc.ManagedFromOutdoors[r], "ManagedFromOutdoors");
    w.Real(sc.ManagedToOutdoors[r], "ManagedToOutdoors");
    w.Real(sc.AirCleanerEff[r], "AirCleanerEff");
    w.Real(sc.AirCleanerFlow[r], "AirCleanerFlow");
  }
  WriteConnectedFlows(b, sc.ManagedRoomFlows, n, "ManagedRoomFlows", w);
  w.Text(kTrailerEnd);
}

void WriteSource(const SourceRecord& src, int np, LineSink& w) {
  w.Text(src.Name);
  w.Integer(src.Model);
  w.Integer(src.EmissionUnits);
  w.Real(src.Size, "Size");
  w.Fixed(src.CycleRepeats.str());
  const int cycles = Bound(src.NumCycles, kMaxCycles);
  w.Integer(cycles);
  w.Real(src.GasVelocity, "GasVelocity");
  for (int c = 1; c <= cycles; ++c) {
    w.Real(src.TimeOn[c], "TimeOn");
    w.Real(src.TimeOff[c], "TimeOff");
  }
  w.Real(src.TotalMass, "TotalMass");
  w.Real(src.SourceValue, "SourceValue");
  for (int k = 0; k < kNumParams; ++k) {
    for (int p = 0; p < np; ++p) w.Real(src.Params[k][p], "Params");
  }
  for (int p = 0; p < np; ++p) w.Real(src.RawParam3[p], "RawParam3");
}

void WriteOccupant(const OccupantRecord& occ, LineSink& w) {
  w.Text(occ.Name);
  w.Real(occ.CycleLength, "CycleLength");
  w.Integer(occ.Number);
  w.Real(occ.BreathingRate, "BreathingRate");
  w.Real(occ.EfficiencyFactor, "EfficiencyFactor");
  w.Real(occ.AveragingTime, "AveragingTime");
  w.Real(occ.Weight, "Weight");
  w.Real(occ.StartTime, "StartTime");
  w.Real(occ.EndTime, "EndTime");
  w.Real(occ.Lifetime, "Lifetime");
  w.Real(occ.Population, "Population");
  for (int e = 1; e <= kMaxSchedule; ++e) {
    w.Real(occ.TimeEnter[e], "TimeEnter");
    w.Real(occ.TimeLeave[e], "TimeLeave");
    w.Real(occ.LocationRoom[e], "LocationRoom");
    w.Text(occ.Location[e]);
  }
}

LineSink ScenarioLines(const BuildingRecord& b) {
  const ScenarioRecord& sc = b.Scenario;
  // Counts are written as the tables can hold them, so that every file written reads back.
  const int n = Bound(b.NumRooms, kMaxRooms);
  const int np = Bound(sc.NumPollutants, kMaxPollutants);
  const bool particles = scenario_io::IsParticleClass(sc.PollutantClass);
  LineSink w;

  w.Text(kScenarioVersion);
  w.Text(b.ID);
  w.Integer(n);

  // General settings.
  w.Text(sc.Name);
  w.Text(sc.Comments);
  w.Text(sc.ConcUnits);
  w.Real(sc.OverallACH, "OverallACH");
  w.Fixed(sc.ConstantACH.str());
  w.Fixed(sc.ConstantHVAC.str());
  w.Integer(sc.HVACHistoryOutdoorOnly);
  w.Real(sc.YearsSimulated, "YearsSimulated");
  w.Integer(np);
  w.Fixed(sc.ConstantOutdoorConc.str());
  w.Fixed(sc.PollutantClass.str());
  w.Real(sc.Pressure, "Pressure");
  w.Real(sc.Temperature, "Temperature");
  w.Fixed(sc.GeneralFlag.str());
  w.Fixed(sc.VentScheduleFlag.str());
  w.Integer(sc.LongTermOptions);
  w.Real(sc.RunSetting1, "RunSetting1");
  w.Integer(sc.RunSetting2);
  w.Real(sc.StepSize, "StepSize");

  // Pollutants and the concentrations as entered.
  for (int p = 0; p < np; ++p) {
    const PollutantRecord& pol = sc.Pollutants[p];
    w.Text(pol.Name);
    // A size bin has a diameter where a gas has its molecular weight.
    w.Real(particles ? pol.Diameter : pol.MolWt, particles ? "Diameter" : "MolWt");
    w.Real(pol.C0, "C0");
    w.Real(pol.CancerRisk, "CancerRisk");
    w.Text(pol.Comments);
    w.Real(pol.Density, "Density");
    w.Real(pol.DepositionVelocity, "DepositionVelocity");
    w.Real(pol.Diffusivity, "Diffusivity");
    w.Real(pol.IrritantConc, "IrritantConc");
    w.Real(pol.IrritantFactor, "IrritantFactor");
    w.Real(pol.RfC, "RfC");
    w.Real(pol.RfD, "RfD");
    w.Real(pol.Spare, "Spare");
  }
  for (int r = 0; r <= n; ++r) {
    for (int p = 0; p < np; ++p) w.Real(sc.InitialConcInput[r][p], "InitialConcInput");
  }
  for (int p = 0; p < np; ++p) w.Real(sc.BuildingPenetration[p], "BuildingPenetration");
  for (int t = 1; t <= kMaxHistory; ++t) {
    for (int p = 0; p < np; ++p)
      w.Pair(sc.OutdoorConcTime[t], sc.OutdoorConcInput[t][p], "OutdoorConcTime",
             "OutdoorConcInput");
  }

  // HVAC flows; room-to-room HVAC flows exist only between neighbours.
  w.Fixed(sc.HVACHistoryCycle.str());
  w.Real(sc.HVACOutdoorAirTotal, "HVACOutdoorAirTotal");
  w.Real(sc.HVACMakeUpTotal, "HVACMakeUpTotal");
  for (int r = 1; r <= n; ++r) {
    w.Real(sc.HVACSupply[r], "HVACSupply");
    w.Real(sc.HVACReturn[r], "HVACReturn");
    w.Real(sc.HVACExhaust[r], "HVACExhaust");
    w.Real(sc.HVACOutdoorAir[r], "HVACOutdoorAir");
  }
  WriteConnectedFlows(b, sc.HVACRoomFlows, n, "HVACRoomFlows", w);

  // HVAC filter: only its own position 0.
  w.Integer(sc.HVACFilterType);
  w.Real(sc.FilterCapacity, "FilterCapacity");
  for (int p = 0; p < np; ++p) w.Real(sc.FilterPenetration[0][p], "FilterPenetration");

  // Natural flows, between every pair of rooms.
  for (int r = 1; r <= n; ++r) {
    w.Real(sc.NaturalToOutdoors[r], "NaturalToOutdoors");
    w.Real(sc.NaturalFromOutdoors[r], "NaturalFromOutdoors");
  }
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (i != j) w.Real(sc.NaturalRoomFlows[i][j], "NaturalRoomFlows");
    }
  }

  // Schedules.
  for (int t = 1; t <= kMaxHistory; ++t) {
    w.Real(sc.VentTime[t], "VentTime");
    w.Real(sc.VentRate[t], "VentRate");
    w.Real(sc.HVACHistoryTime[t], "HVACHistoryTime");
    w.Real(sc.HVACHistoryFraction[t], "HVACHistoryFraction");
  }

  // Sources; room 0 holds those of the HVAC system.
  for (int r = 0; r <= n; ++r) w.Integer(Bound(sc.NumSources[r], kMaxSources));
  for (int r = 0; r <= n; ++r) {
    for (int s = 1; s <= Bound(sc.NumSources[r], kMaxSources); ++s) {
      WriteSource(sc.Sources[r][s], np, w);
    }
  }

  // Sinks: slot 0 is written too, one record more than the count.
  for (int r = 0; r <= n; ++r) w.Integer(Bound(sc.NumSinks[r], kMaxSinks));
  for (int r = 0; r <= n; ++r) {
    for (int s = 0; s <= Bound(sc.NumSinks[r], kMaxSinks); ++s) {
      const SinkRecord& sink = sc.Sinks[r][s];
      w.Text(sink.Name);
      w.Text(sink.Comments);
      w.Real(sink.Area, "Area");
      for (int p = 0; p < np; ++p) {
        w.Real(sink.ka[p], "ka");
        w.Real(sink.kd[p], "kd");
      }
    }
  }

  // Occupants, all 24 schedule entries each.
  const int occupants = Bound(sc.NumOccupants, kMaxOccupants);
  w.Integer(occupants);
  for (int o = 1; o <= occupants; ++o) WriteOccupant(sc.Occupants[o], w);

  if (NeedsTrailer(b)) WriteTrailer(b, w);
  return w;
}

}  // namespace

std::string ScenarioFileBytes(const BuildingRecord& b) {
  return ScenarioLines(b).Bytes();
}

bool NewSaveScenario(BuildingRecord& building, std::string_view selected_units,
                     const std::string& file_name, Prompt& prompt) {
  if (!selected_units.empty()) building.Scenario.ConcUnits = std::string(selected_units);
  std::string reason;
  const LineSink lines = ScenarioLines(building);
  if (!lines.Check().Passed()) {
    reason = lines.Check().Reason();
  } else if (!item_file::MayReplace(file_name, prompt)) {
    return false;
  } else if (WriteFileAtomic(file_name, lines.Bytes(), &reason)) {
    return true;
  }
  prompt.Message("Error.  " + file_name + " could not be saved: " + reason, "Error",
                 MessageIcon::Critical);
  return false;
}

namespace {

void ReadSource(ItemSource& in, SourceRecord& src, int np) {
  src.Name = in.Text();
  src.Model = in.Integer();
  src.EmissionUnits = in.Integer();
  in.Real(src.Size);
  in.Fixed(src.CycleRepeats);
  src.NumCycles = in.Count(kMaxCycles);
  in.Real(src.GasVelocity);
  for (int c = 1; c <= src.NumCycles; ++c) {
    in.Real(src.TimeOn[c]);
    in.Real(src.TimeOff[c]);
  }
  in.Real(src.TotalMass);
  in.Real(src.SourceValue);
  for (int k = 0; k < kNumParams; ++k) {
    for (int p = 0; p < np; ++p) in.Real(src.Params[k][p]);
  }
  for (int p = 0; p < np; ++p) in.Real(src.RawParam3[p]);
}

void ReadOccupant(ItemSource& in, OccupantRecord& occ) {
  occ.Name = in.Text();
  in.Real(occ.CycleLength);
  occ.Number = in.Integer();
  for (float* v : {&occ.BreathingRate, &occ.EfficiencyFactor, &occ.AveragingTime, &occ.Weight,
                   &occ.StartTime, &occ.EndTime, &occ.Lifetime, &occ.Population}) {
    in.Real(*v);
  }
  for (int e = 1; e <= kMaxSchedule; ++e) {
    in.Real(occ.TimeEnter[e]);
    in.Real(occ.TimeLeave[e]);
    in.Real(occ.LocationRoom[e]);
    occ.Location[e] = in.Text();
  }
}

void ReadTrailer(ItemSource& in, const BuildingRecord& b, ScenarioRecord& sc) {
  const int n = b.NumRooms;
  in.Text();  // the start line, already recognised
  sc.HVACType = in.Long();
  sc.NumOutdoorConcPoints = in.Count(kMaxHistory);
  sc.OutdoorConcUnits = in.Text();
  sc.InitialConcUnits = in.Text();
  in.Fixed(sc.ManagedFlowFlag);
  for (float* v : {&sc.ManagedValue1, &sc.ManagedValue2, &sc.ManagedValue3, &sc.ManagedValue4}) {
    in.Real(*v);
  }
  for (int r = 1; r <= n; ++r) {
    for (float* v : {&sc.ManagedSupply[r], &sc.ManagedReturn[r], &sc.ManagedFromOutdoors[r],
                     &sc.ManagedToOutdoors[r], &sc.AirCleanerEff[r], &sc.AirCleanerFlow[r]}) {
      in.Real(*v);
    }
    sc.AirCleanerPenetration[r] = (100 - sc.AirCleanerEff[r]) / 100;
  }
  scenario_io::ReadConnectedFlows(in, b, sc.ManagedRoomFlows, n);
  if (in.Text() != kTrailerEnd) throw DamagedFile{};
}

// The body of a V1.96 file after its three head lines, into `sc` (already reset).
void ReadBody(ItemSource& in, const BuildingRecord& b, ScenarioRecord& sc) {
  const int n = b.NumRooms;

  scenario_io::ReadOpeningItems(in, sc);
  sc.HVACHistoryOutdoorOnly = in.Integer();
  in.Real(sc.YearsSimulated);
  sc.NumPollutants = in.Count(kMaxPollutants);
  in.Fixed(sc.ConstantOutdoorConc);
  in.Fixed(sc.PollutantClass);
  in.Real(sc.Pressure);
  in.Real(sc.Temperature);
  in.Fixed(sc.GeneralFlag);
  in.Fixed(sc.VentScheduleFlag);
  sc.LongTermOptions = in.Integer();
  in.Real(sc.RunSetting1);
  sc.RunSetting2 = in.Integer();
  in.Real(sc.StepSize);

  const int np = sc.NumPollutants;
  const bool particles = scenario_io::IsParticleClass(sc.PollutantClass);
  for (int p = 0; p < np; ++p) {
    PollutantRecord& pol = sc.Pollutants[p];
    pol.Name = in.Text();
    in.Real(particles ? pol.Diameter : pol.MolWt);
    in.Real(pol.C0);
    in.Real(pol.CancerRisk);
    pol.Comments = in.Text();
    for (float* v : {&pol.Density, &pol.DepositionVelocity, &pol.Diffusivity, &pol.IrritantConc,
                     &pol.IrritantFactor, &pol.RfC, &pol.RfD, &pol.Spare}) {
      in.Real(*v);
    }
  }
  scenario_io::ReadEnteredConcentrations(in, sc, 0, n, np);

  ReadHVACFlowBlock(in, b, sc, n);

  sc.HVACFilterType = in.Integer();
  in.Real(sc.FilterCapacity);
  for (int p = 0; p < np; ++p) in.Real(sc.FilterPenetration[0][p]);

  ReadNaturalFlowsAndSchedules(in, sc, n);

  for (int r = 0; r <= n; ++r) sc.NumSources[r] = in.Count(kMaxSources);
  for (int r = 0; r <= n; ++r) {
    for (int s = 1; s <= sc.NumSources[r]; ++s) ReadSource(in, sc.Sources[r][s], np);
  }

  for (int r = 0; r <= n; ++r) sc.NumSinks[r] = in.Count(kMaxSinks);
  for (int r = 0; r <= n; ++r) {
    for (int s = 0; s <= sc.NumSinks[r]; ++s) {
      SinkRecord& sink = sc.Sinks[r][s];
      sink.Name = in.Text();
      sink.Comments = in.Text();
      in.Real(sink.Area);
      for (int p = 0; p < np; ++p) {
        in.Real(sink.ka[p]);
        in.Real(sink.kd[p]);
      }
    }
  }

  sc.NumOccupants = in.Count(kMaxOccupants);
  for (int o = 1; o <= sc.NumOccupants; ++o) ReadOccupant(in, sc.Occupants[o]);

  // What the plain layout does not hold takes its reference value unless the trailer has it.
  scenario_io::SetDroppedFieldsToReference(sc, n);
  if (!in.Ended() && in.PeekText() == kTrailerStart) {
    ReadTrailer(in, b, sc);
  } else {
    sc.NumOutdoorConcPoints = OutdoorPointsFromTimes(sc.OutdoorConcTime);
    sc.OutdoorConcUnits = sc.ConcUnits;
    sc.InitialConcUnits = sc.ConcUnits;
  }
}

}  // namespace

ScenarioFileRead NewReadScenario(const BuildingRecord& building, const std::string& file_name,
                                 Prompt& prompt) {
  const std::optional<std::string> bytes = item_file::LoadOrSayMissing(file_name, prompt);
  if (!bytes) return {};
  ItemSource in(*bytes);
  std::string file_id;
  int16_t file_rooms = 0;
  try {
    in.Text();  // the version, already checked by the caller
    file_id = in.Text();
    file_rooms = in.Integer();
  } catch (const DamagedFile&) {
    scenario_io::TellDamaged(prompt, file_name);
    return {};
  }
  if (file_rooms != building.NumRooms) {
    scenario_io::TellWrongRoomCount(prompt, file_name, file_rooms, building.NumRooms);
    return {};
  }
  const Answer answer =
      prompt.AskYesNo("This is a scenario for building " + file_id + " with " +
                          FormatDouble(file_rooms) + " rooms. Do you want to continue?",
                      "", MessageIcon::None);
  if (answer != Answer::Yes) return {ScenarioReadResult::Declined, std::nullopt};

  return scenario_io::ReadIntoResetScenario(
      building, file_name, prompt, [&](ScenarioRecord& sc) { ReadBody(in, building, sc); });
}

}  // namespace quarn
