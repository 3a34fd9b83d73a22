#include "files/old_scenario_file.h"

#include <algorithm>

#include "text/cp1252.h"
#include "text/number_text.h"
#include "text/text_reader.h"

namespace quarn {

using scenario_io::DamagedFile;
using scenario_io::ItemSource;

namespace {

// The index of "User defined", the last kind of the HVAC window's filter list: only this
// kind stores its own penetration values.
constexpr int kUserDefinedFilter = 9;

// Files of the oldest generation claim four occupants while the record holds three.
constexpr int kOldOccupantClaim = 4;

struct Layout {
  int generation = 0;      // 195, 192, 19, 18, or 0
  bool versioned = false;  // began with a version text
  bool oldest = false;     // no marker line at all
};

bool From(const Layout& l, int generation) {
  return l.generation >= generation;
}

void ReadSource(ItemSource& in, const Layout& l, SourceRecord& src, int np) {
  in.Integer();  // the stored length of the name
  src.Name = in.Text();
  src.Model = in.Integer();
  if (From(l, 192)) in.Real(src.GasVelocity);
  in.Real(src.Size);
  src.NumCycles = in.Count(kMaxCycles);
  in.Real(From(l, 195) ? src.TotalMass : src.ScaledMass);
  for (int c = 1; c <= src.NumCycles; ++c) {
    in.Real(src.TimeOn[c]);
    in.Real(src.TimeOff[c]);
  }
  for (int p = 0; p < np; ++p) {
    in.Real(src.SourceWork2[p]);
    for (int k = 0; k < kNumParams; ++k) in.Real(src.Params[k][p]);
    if (From(l, 195)) in.Real(src.RawParam3[p]);
  }
}

void ReadOccupant(ItemSource& in, const Layout& l, OccupantRecord& occ) {
  if (!l.oldest) in.Real(occ.CycleLength);
  occ.Number = in.Integer();
  in.Real(occ.BreathingRate);
  in.Integer();  // the stored length of the name
  occ.Name = in.Text();
  in.Real(occ.EfficiencyFactor);
  in.Real(occ.AveragingTime);
  if (From(l, 19)) in.Real(occ.Weight);
  for (int e = 1; e <= kMaxSchedule; ++e) {
    in.Real(occ.TimeEnter[e]);
    in.Real(occ.TimeLeave[e]);
    in.Real(occ.LocationRoom[e]);
    in.Integer();  // the stored length of the location
    occ.Location[e] = in.Text();
  }
}

void ReadManagedFlows(ItemSource& in, const BuildingRecord& b, ScenarioRecord& sc) {
  const int n = b.NumRooms;
  in.Fixed(sc.ManagedFlowFlag);
  for (float* v : {&sc.ManagedValue3, &sc.ManagedValue4, &sc.ManagedValue1, &sc.ManagedValue2}) {
    in.Real(*v);
  }
  for (int r = 1; r <= n; ++r) {
    for (float* v : {&sc.ManagedSupply[r], &sc.ManagedReturn[r], &sc.ManagedFromOutdoors[r],
                     &sc.ManagedToOutdoors[r]}) {
      in.Real(*v);
    }
  }
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (i != j) in.Real(sc.ManagedRoomFlows[i][j]);
    }
  }
}

// The body of an older file, into `sc` (already reset).
void ReadBody(ItemSource& in, const Layout& l, const BuildingRecord& b, ScenarioRecord& sc) {
  const int n = b.NumRooms;
  PollutantRecord& first = sc.Pollutants[0];
  scenario_io::SetDroppedFieldsToReference(sc, n);

  // 1-3: general settings, with the first pollutant's values among them.
  scenario_io::ReadOpeningItems(in, sc);
  in.Real(sc.YearsSimulated);
  sc.NumPollutants = in.Count(kMaxPollutants);
  in.Fixed(sc.ConstantOutdoorConc);
  in.Real(sc.InitialConc[1][0]);
  // Older files keep room 1's first initial concentration here too; until the entered
  // values of item 13 say otherwise it is also what the user entered.
  sc.InitialConcInput[1][0] = sc.InitialConc[1][0];
  in.Fixed(sc.PollutantClass);
  if (From(l, 19)) {
    in.Real(sc.Pressure);
    in.Real(sc.Temperature);
  }
  if (sc.PollutantClass == "") sc.PollutantClass = "Other";
  in.Real(first.IrritantConc);
  in.Real(first.CancerRisk);
  in.Fixed(sc.GeneralFlag);
  in.Fixed(sc.VentScheduleFlag);
  in.Real(sc.CurrentOutdoorConc[0]);
  first.Name = in.Text();
  in.Real(first.IrritantConc);
  in.Real(first.CancerRisk);
  first.Comments = in.Text();
  in.Real(sc.RunSetting1);
  sc.RunSetting2 = in.Integer();
  in.Real(sc.StepSize);
  in.Real(sc.FilterPenetration[0][0]);
  in.Real(sc.FilterCapacity);
  sc.AirCleanerMass[0] = 0;
  const int np = sc.NumPollutants;

  // 4-6: HVAC flows, natural flows, schedules.
  scenario_io::ReadHVACFlowBlock(in, b, sc, n);
  scenario_io::ReadNaturalFlowsAndSchedules(in, sc, n);

  // 7: sources, room by room; the HVAC system's (room 0) only in versioned files.
  for (int r = l.versioned ? 0 : 1; r <= n; ++r) {
    sc.NumSources[r] = in.Count(kMaxSources);
    for (int s = 1; s <= sc.NumSources[r]; ++s) ReadSource(in, l, sc.Sources[r][s], np);
  }

  // 8: sinks; name and area stand once per pollutant, the last ones read stay.
  for (int r = 0; r <= n; ++r) {
    const int16_t stored = in.Integer();
    if (stored < 0) throw DamagedFile{};
    sc.NumSinks[r] = std::min<int16_t>(stored, kMaxSinks);
    for (int s = 1; s <= sc.NumSinks[r]; ++s) {
      SinkRecord& sink = sc.Sinks[r][s];
      for (int p = 0; p < np; ++p) {
        in.Integer();  // the stored length of the name
        sink.Name = in.Text();
        in.Real(sink.ka[p]);
        in.Real(sink.kd[p]);
        in.Real(sink.Area);
        in.Real(sink.Mass[p]);
      }
    }
  }

  // 9-10: occupants. A fourth occupant of the oldest files is read and dropped.
  const int claimed = l.oldest ? kOldOccupantClaim : in.Count(kOldOccupantClaim);
  sc.NumOccupants = static_cast<int16_t>(std::min(claimed, kMaxOccupants));
  OccupantRecord dropped;
  auto occupant = [&](int o) -> OccupantRecord& {
    return o <= kMaxOccupants ? sc.Occupants[o] : dropped;
  };
  for (int o = 1; o <= claimed; ++o) ReadOccupant(in, l, occupant(o));
  in.Fixed(sc.ConstantACH);
  in.Fixed(sc.ConstantHVAC);
  in.Fixed(sc.VentScheduleFlag);
  for (int o = 1; o <= claimed; ++o) {
    in.Real(occupant(o).StartTime);
    in.Real(occupant(o).EndTime);
  }

  // 11: optional tail items, each present only when the file goes on.
  bool units_read = false;
  auto finish = [&] {
    if (units_read) return;
    sc.NumOutdoorConcPoints = OutdoorPointsFromTimes(sc.OutdoorConcTime);
    sc.OutdoorConcUnits = sc.ConcUnits;
    sc.InitialConcUnits = sc.ConcUnits;
  };
  if (!in.Ended()) {
    sc.LongTermOptions = in.Integer();
    for (int o = 1; o <= claimed; ++o) {
      in.Real(occupant(o).Lifetime);
      in.Real(occupant(o).Population);
    }
  }
  if (!in.Ended()) sc.HVACHistoryOutdoorOnly = in.Integer();
  if (!in.Ended()) ReadManagedFlows(in, b, sc);
  if (in.Ended()) {
    sc.BuildingPenetration[0] = 1.0f;
    return finish();
  }
  in.Real(sc.BuildingPenetration[0]);

  // 12: pollutants.
  if (in.Ended()) return finish();
  const bool particles = scenario_io::IsParticleClass(sc.PollutantClass);
  for (int p = 0; p < np; ++p) {
    PollutantRecord& pol = sc.Pollutants[p];
    pol.Name = in.Text();
    if (particles) {
      in.Real(pol.Diameter);
    } else {
      in.Real(pol.MolWt);
      in.Real(pol.Diffusivity);
      in.Real(pol.C0);
    }
    for (float* v : {&pol.IrritantConc, &pol.RfD, &pol.RfC, &pol.CancerRisk}) in.Real(*v);
  }

  // 13: concentrations as entered.
  if (in.Ended()) return finish();
  scenario_io::ReadEnteredConcentrations(in, sc, 1, n, np);

  // 14: HVAC filter.
  if (in.Ended()) return finish();
  sc.HVACFilterType = in.Integer();
  in.Real(sc.FilterCapacity);
  if (sc.HVACFilterType == kUserDefinedFilter) {
    for (int p = 0; p < np; ++p) in.Real(sc.FilterPenetration[0][p]);
  }

  // 15: the outdoor point count and the units.
  if (in.Ended()) return finish();
  sc.NumOutdoorConcPoints = in.Count(kMaxHistory);
  sc.ConcUnits = in.Text();
  sc.OutdoorConcUnits = in.Text();
  sc.InitialConcUnits = in.Text();
  units_read = true;
}

}  // namespace

int OldScenarioGeneration(const std::string& first_item) {
  if (first_item == "V1.95") return 195;
  if (first_item == "V1.92") return 192;
  if (first_item == "V1.9") return 19;
  if (first_item == "V1.8") return 18;
  return 0;
}

ScenarioFileRead ReadScenarioFile(const BuildingRecord& building, const std::string& file_name,
                                  Prompt& prompt) {
  const std::optional<std::string> bytes = item_file::LoadOrSayMissing(file_name, prompt);
  if (!bytes) return {};
  Layout layout;
  ItemSource in(*bytes);
  try {
    const std::string first = in.Text();
    layout.generation = OldScenarioGeneration(first);
    layout.versioned = layout.generation != 0;
    if (layout.versioned || UpperAscii(first) == "NEWEST") {
      const std::string file_id = in.Text();
      const int16_t file_rooms = in.Integer();
      if (file_rooms != building.NumRooms) {
        scenario_io::TellWrongRoomCount(prompt, file_name, file_rooms, building.NumRooms);
        return {};
      }
      const Answer answer =
          prompt.AskYesNo("This scenario is for building " + file_id + " With " +
                              SignDouble(file_rooms) + " rooms" + " Do you wish to continue?",
                          "File is for", MessageIcon::Question);
      if (answer != Answer::Yes) return {ScenarioReadResult::Declined, std::nullopt};
    } else if (first != "New") {
      // No marker: the first line was already the scenario's name.
      layout.oldest = true;
      in = ItemSource(*bytes);
    }
  } catch (const DamagedFile&) {
    scenario_io::TellDamaged(prompt, file_name);
    return {};
  }

  return scenario_io::ReadIntoResetScenario(
      building, file_name, prompt, [&](ScenarioRecord& sc) { ReadBody(in, layout, building, sc); });
}

}  // namespace quarn
