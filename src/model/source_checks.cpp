#include "model/source_checks.h"

#include <algorithm>

#include "model/emission_models.h"
#include "model/records.h"
#include "model/spill_models.h"
#include "model/unit_conversion.h"
#include "text/number_text.h"

namespace quarn {
namespace {

// A source with no cycle of positive length is never on, so its model is never evaluated.
bool CanBeOn(const SourceRecord& source) {
  const int n = CycleCount(source);
  for (int i = 1; i <= n; ++i)
    if (source.TimeOff[i] > source.TimeOn[i]) return true;
  return false;
}

class Collector {
 public:
  Collector(std::vector<SourceProblem>& out, int room, int slot)
      : out_(out), room_(room), slot_(slot) {}
  void Add(int pollutant, std::string parameter, std::string reason) {
    out_.push_back({room_, slot_, pollutant, std::move(parameter), std::move(reason)});
  }

 private:
  std::vector<SourceProblem>& out_;
  int room_;
  int slot_;
};

void CheckPaint2(const SourceRecord& s, int np, Collector& add) {
  for (int p = 0; p < np; ++p)
    if (s.Params[2][p] == 0)
      add.Add(p, "MVB0", "is 0, and the model divides by it once the source has been on");
}

// A petroleum spill evaporates into the air that moves over it: with no air speed it would
// hold its liquid for ever and emit nothing, however much was spilled.
void CheckAirOverSpill(const SourceRecord& s, Collector& add) {
  if (s.Model == 8 && !(s.GasVelocity > 0))
    add.Add(-1, "Gas velocity",
            "is not above 0, so no air moves over the spill and it would never evaporate");
}

void CheckPetroleumSpill(const SourceRecord& s, const ScenarioRecord& sc, int np, Collector& add) {
  CheckAirOverSpill(s, add);
  // Nothing evaporates unless the total (pollutant 0) has mass at the start.
  if (!(s.Params[2][0] > 0)) return;
  if (!(sc.Pollutants[0].MolWt > 0))
    add.Add(0, "MW",
            "is not above 0, so the spill starts with no moles, and the model divides "
            "by them");
  if (s.Size < 0)
    add.Add(0, "Size", "is negative, and the model takes the square root of the spill area");
  for (int p = 1; p < np; ++p)
    if (s.Params[2][p] > 0 && sc.Pollutants[p].MolWt == 0)
      add.Add(p, "MW", "is 0, and the model divides by it");
}

void CheckDiffusivities(const SourceRecord& s, const ScenarioRecord& sc, int np, Collector& add) {
  if (!(s.Size > 0)) return;  // no area: the mass-transfer coefficient is never computed
  for (int p = 0; p < np; ++p)
    if (!(sc.Pollutants[p].Diffusivity > 0))
      add.Add(p, "Diffusivity",
              "is not above 0, and the model divides by it (Schmidt number) or raises a "
              "negative value to a fractional power");
}

void CheckSingleSpill(const SourceRecord& s, const ScenarioRecord& sc, int np, Collector& add) {
  // The area is scaled by the moles of pollutant 0 left over the moles at the start.
  if (MassToMoles(s.Params[2][0], sc.Pollutants[0].MolWt) == 0)
    add.Add(0, "mg spilled / MW",
            "give no moles at the start (mass 0 or molecular weight not above 0), and the model "
            "divides the spill area by them");
  CheckDiffusivities(s, sc, np, add);
}

void CheckExactSpill(const SourceRecord& s, const ScenarioRecord& sc, int np, Collector& add) {
  double moles = 0;
  for (int p = 0; p < np; ++p) moles += MassToMoles(s.Params[2][p], sc.Pollutants[p].MolWt);
  if (moles == 0)
    add.Add(-1, "mg/g product / MW",
            "give no moles in the spill at the start, and the model divides the spill area by "
            "them");
  for (int p = 0; p < np; ++p)
    if (sc.Pollutants[p].MolWt == 0)
      add.Add(p, "MW", "is 0, and the model divides the remaining mass by it");
  CheckDiffusivities(s, sc, np, add);
}

void CheckEmissionUnits(const SourceRecord& s, const ScenarioRecord& sc, Collector& add) {
  const bool mass = sc.ConcUnits == kMilligrams || sc.ConcUnits == kMicrograms;
  const bool known = mass || sc.ConcUnits == kPpm || sc.ConcUnits == kNumber;
  if (!known) return;
  if (s.EmissionUnits == 2 && (mass || sc.ConcUnits == kPpm))
    add.Add(-1, "Emission units",
            "are \"Number/h\", which cannot be converted into the scenario's " + sc.ConcUnits);
  else if ((s.EmissionUnits == 0 || s.EmissionUnits == 1) && sc.ConcUnits == kNumber)
    add.Add(-1, "Emission units",
            std::string("are \"") + (s.EmissionUnits == 0 ? "mg/h" : "\xB5g/h") +
                "\", a mass, which cannot be converted into the scenario's particle count");
  else if (s.EmissionUnits < 0 || s.EmissionUnits > 2)
    add.Add(-1, "Emission units", "are not mg/h, \xB5g/h or Number/h");
}

void CheckSource(const SourceRecord& s, const ScenarioRecord& sc, Collector& add) {
  CheckEmissionUnits(s, sc, add);
  const int np = PollutantCount(sc);
  switch (s.Model) {
    case 3:
      CheckPaint2(s, np, add);
      break;
    case 8:
      CheckPetroleumSpill(s, sc, np, add);
      break;
    case 9:
      CheckSingleSpill(s, sc, np, add);
      break;
    case 10:
      CheckExactSpill(s, sc, np, add);
      break;
    default:
      break;
  }
}

// Concentrations entered in one unit are converted into the scenario's at the start of a
// run; there is no conversion between a gas fraction and a particle count.
void CheckEnteredUnits(const ScenarioRecord& sc, std::vector<SourceProblem>& out) {
  auto check = [&](const std::string& entered, const char* field) {
    if ((entered == kPpm && sc.ConcUnits == kNumber) ||
        (entered == kNumber && sc.ConcUnits == kPpm)) {
      out.push_back({-1, 0, -1, field,
                     "are \"" + entered + "\", which cannot be converted into the scenario's \"" +
                         sc.ConcUnits + "\""});
    }
  };
  check(sc.InitialConcUnits, "Initial concentration units");
  check(sc.OutdoorConcUnits, "Outdoor concentration units");
}

std::string RoomText(const BuildingRecord& b, int room) {
  if (room == 0) return "HVAC system";
  std::string text = "Room " + FormatSingle(static_cast<float>(room));
  const std::string& name = b.RoomList[room].Name;
  if (!name.empty()) text += " (" + name + ")";
  return text;
}

std::string PollutantText(const ScenarioRecord& sc, int p) {
  if (p < 0) return "all pollutants";
  return "pollutant " + FormatSingle(static_cast<float>(p + 1)) + " (" + sc.Pollutants[p].Name +
         ")";
}

// One message for the problems of source `s` in `room`, `slot`, ending with what to do.
std::string SourceMessage(const BuildingRecord& b, int room, int slot, const SourceRecord& s,
                          const std::vector<SourceProblem>& problems, const std::string& ending) {
  const ScenarioRecord& sc = b.Scenario;
  std::string text = RoomText(b, room) + ", source " + FormatSingle(static_cast<float>(slot)) +
                     " (" + s.Name + "), model \"" + EmissionModelName(s.Model) + "\":";
  for (const SourceProblem& q : problems)
    text += "\n" + PollutantText(sc, q.pollutant) + ": " + q.parameter + " " + q.reason + ".";
  text += "\n\n" + ending;
  return text;
}

}  // namespace

std::vector<SourceProblem> FindSourceProblems(const BuildingRecord& building) {
  const ScenarioRecord& sc = building.Scenario;
  std::vector<SourceProblem> out;
  CheckEnteredUnits(sc, out);
  const int rooms = RoomBound(building.NumRooms);
  for (int r = 0; r <= rooms; ++r) {
    const int count = SourceSlotCount(sc, r);
    for (int k = 1; k <= count; ++k) {
      const SourceRecord& s = sc.Sources[r][k];
      if (!CanBeOn(s)) continue;
      Collector add(out, r, k);
      CheckSource(s, sc, add);
    }
  }
  return out;
}

std::string SourceScheduleRefusal(const BuildingRecord& building, int room, int slot,
                                  const SourceRecord& source) {
  const std::string which = RoomText(building, room) + ", source " +
                            FormatSingle(static_cast<float>(slot)) + " (" + source.Name + ")";
  if (source.NumCycles < 1) {
    return "Error.  " + which +
           " has no on/off cycle, so it would never emit.  Give it at least one cycle, or "
           "lower \"# sources in room\".";
  }
  const int n = CycleCount(source);
  for (int i = 1; i <= n; ++i) {
    if (source.TimeOff[i] > source.TimeOn[i]) continue;
    return "Error.  " + which + ": cycle " + FormatSingle(static_cast<float>(i)) + " goes off at " +
           FormatSingle(source.TimeOff[i]) + " h, not after it comes on at " +
           FormatSingle(source.TimeOn[i]) + " h.  Correct its times.";
  }
  return "";
}

bool CheckSourcesBeforeRun(const BuildingRecord& building, Prompt& prompt) {
  const std::vector<SourceProblem> problems = FindSourceProblems(building);
  const std::string title = "Cannot start the run";
  size_t i = 0;
  while (i < problems.size()) {
    const SourceProblem& p = problems[i];
    if (p.room < 0) {
      prompt.Message("The scenario's " + p.parameter + " " + p.reason +
                         ".  Please correct them "
                         "before running.",
                     title, MessageIcon::Critical);
      ++i;
      continue;
    }
    size_t j = i;
    while (j < problems.size() && problems[j].room == p.room && problems[j].slot == p.slot) ++j;
    prompt.Message(
        SourceMessage(building, p.room, p.slot, building.Scenario.Sources[p.room][p.slot],
                      {problems.begin() + i, problems.begin() + j},
                      "Please correct the source before running."),
        title, MessageIcon::Critical);
    i = j;
  }
  return problems.empty();
}

bool SourceMayBeStored(const BuildingRecord& building, int room, int slot,
                       const SourceRecord& source, Prompt& prompt) {
  std::vector<SourceProblem> problems;
  Collector add(problems, room, slot);
  CheckAirOverSpill(source, add);
  if (problems.empty()) return true;
  prompt.Message("Error.  " + SourceMessage(building, room, slot, source, problems,
                                            "Please correct the source before transferring."),
                 "Error", MessageIcon::Critical);
  return false;
}

}  // namespace quarn
