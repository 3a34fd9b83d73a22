#include "files/result_files.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "files/item_file.h"
#include "model/exposure_units.h"
#include "model/records.h"
#include "model/work_file_reader.h"
#include "text/number_text.h"
#include "text/text_writer.h"

namespace quarn {

namespace {

constexpr const char* kErrorTitle = "Error";

void TellError(Prompt& prompt, const std::string& description) {
  prompt.Message("Error.  " + description, kErrorTitle, MessageIcon::Critical);
}

// Result files need at least one room and one pollutant, within the record's bounds.
bool HoldsRoomsAndPollutants(const BuildingRecord& building) {
  return building.NumRooms >= 1 && building.NumRooms <= kMaxRooms &&
         building.Scenario.NumPollutants >= 1 && building.Scenario.NumPollutants <= kMaxPollutants;
}

// ---- concentration file ----

void PutConcRow(LineWriter& out, float time, const std::vector<float>& values,
                const std::string& sep) {
  out.Put(FileSingle(time));
  out.Put(sep);
  for (float v : values) {
    out.Put(FileSingle(v));
    out.Put(sep);
  }
  out.NewLine();
}

// ---- exposure files ----

// The lines of one occupant's work file, read one at a time; a file that is missing counts
// as one that has ended.
class WorkLines {
 public:
  explicit WorkLines(const std::string& path) : source_(path) { open_ = source_.IsOpen(); }
  bool Next(std::string& line) {
    if (!open_) return false;
    if (source_.Next(line)) return true;
    open_ = false;
    return false;
  }
  bool Open() const { return open_; }
  void Close() { open_ = false; }

 private:
  TextLineSource source_;
  bool open_ = false;
};

// Whether a text is how a number text shows an infinite value or no number ("Inf", "-Inf",
// "NaN"), blanks around it aside.
std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool ShowsNonFinite(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  return text == "Inf" || text == "NaN";
}

void PutEmptyCells(LineWriter& out, int count, const std::string& sep) {
  for (int i = 0; i < count; ++i) out.Put(sep);
}

// The cumulative line without its time: from the character after its first separator up
// to, not including, its last character (the separator that ends it).
std::string_view CumulativeCells(std::string_view line, char separator) {
  const std::size_t first = line.find(separator);
  if (first == std::string_view::npos || line.size() < first + 2) return {};
  return line.substr(first + 1, line.size() - first - 2);
}

}  // namespace

bool WriteConcentrationFile(const BuildingRecord& building, char separator,
                            const std::string& file_name, Prompt& prompt) {
  if (!HoldsRoomsAndPollutants(building)) {
    TellError(prompt, "The building has no rooms or the scenario no pollutants.");
    return false;
  }
  const ScenarioRecord& scenario = building.Scenario;
  const int rooms = building.NumRooms;
  const int np = scenario.NumPollutants;
  ConcWorkFileReader work(building.ConcWorkFile, separator, rooms, np);
  if (!work.IsOpen()) {
    TellError(prompt, "The concentration work file " + building.ConcWorkFile + " cannot be read.");
    return false;
  }
  const std::string sep(1, separator);
  LineWriter out;
  out.Put("Results for " + building.ID + " Scenario " + scenario.Name);
  out.NewLine();
  // Each room's name stands above its first pollutant's column.
  out.Put("Time" + sep);
  for (int r = 0; r <= rooms; ++r) {
    out.Put((r == 0 ? std::string("Outdoors") : building.RoomList[r].Name) + sep);
    for (int p = 1; p < np; ++p) out.Put(" " + sep);
  }
  out.NewLine();
  out.Put("Pollutant name" + sep);
  for (int r = 0; r <= rooms; ++r) {
    for (int p = 0; p < np; ++p) out.Put(scenario.Pollutants[p].Name + sep);
  }
  out.NewLine();
  // After the three heading lines of the layout: the unit of every column, the scenario's.
  const std::string unit = ConcentrationText(scenario.ConcUnits);
  out.Put("Concentration unit" + sep);
  for (int i = 0; i < (rooms + 1) * np; ++i) out.Put(unit + sep);
  out.NewLine();

  std::vector<float> values;
  for (;;) {
    const auto status = work.Next();
    if (status == ConcWorkFileReader::Status::Error) {
      TellError(prompt, work.ErrorText());
      return false;
    }
    if (status == ConcWorkFileReader::Status::End) break;
    values.assign(work.Concentrations().begin(), work.Concentrations().end());
    PutConcRow(out, work.Time(), values, sep);
  }
  return item_file::Save(file_name, out.Bytes(), prompt);
}

bool WriteExposureFile(const BuildingRecord& building, char separator, const std::string& file_name,
                       Prompt& prompt) {
  const ScenarioRecord& scenario = building.Scenario;
  const int occupants = OccupantCount(scenario);
  const int np = PollutantCount(scenario);
  const std::string sep(1, separator);
  LineWriter out;
  out.Put("Exposure calculations for building " + building.ID + " scenario " + scenario.Name);
  out.NewLine();
  for (int o = 1; o <= occupants; ++o) {
    out.Put("Occupant " + sep + scenario.Occupants[o].Name + sep + " " + sep);
  }
  out.NewLine();
  const ExposureUnits units = ExposureUnitsOf(scenario);
  for (int o = 1; o <= occupants; ++o) {
    out.Put("Time" + sep + "Inst exposure (" + units.instantaneous + ")" + sep + "Cum. exposure (" +
            units.cumulative + ")" + sep);
  }
  out.NewLine();

  // The exposure run creates both files of every occupant: one that is missing means there
  // are no exposures to save, which the user is told rather than handed a file without data.
  std::vector<std::unique_ptr<WorkLines>> inst, cum;
  for (int o = 1; o <= occupants; ++o) {
    const OccupantRecord& occupant = scenario.Occupants[o];
    inst.push_back(std::make_unique<WorkLines>(occupant.InstExposureFile));
    cum.push_back(std::make_unique<WorkLines>(occupant.CumExposureFile));
    const std::string* missing = !inst.back()->Open()  ? &occupant.InstExposureFile
                                 : !cum.back()->Open() ? &occupant.CumExposureFile
                                                       : nullptr;
    if (missing != nullptr) {
      TellError(prompt, "The exposure work file " + *missing + " cannot be read.");
      return false;
    }
  }
  // Time, then the instantaneous and the cumulative value of every pollutant.
  const int cells = 1 + 2 * np;
  bool any_open = occupants > 0;
  while (any_open) {
    any_open = false;
    for (int i = 0; i < occupants; ++i) {
      std::string inst_line, cum_line;
      if (inst[i]->Next(inst_line) && cum[i]->Next(cum_line)) {
        out.Put(inst_line);
        out.Put(CumulativeCells(cum_line, separator));
        out.Put(sep);
        any_open = true;
      } else {
        inst[i]->Close();
        cum[i]->Close();
        PutEmptyCells(out, cells, sep);
      }
    }
    out.NewLine();
  }
  return item_file::Save(file_name, out.Bytes(), prompt);
}

bool WriteAverageExposureFile(const BuildingRecord& building, char separator,
                              const std::string& file_name, Prompt& prompt) {
  const ScenarioRecord& scenario = building.Scenario;
  const int occupants = OccupantCount(scenario);
  const int np = PollutantCount(scenario);
  const bool particles = IsParticleMode(scenario);
  const std::string sep(1, separator);
  // An occupant's row: time, window number, the averages (and in particle mode the mean
  // diameter and the geometric standard deviation) as the work file holds them, then the
  // separator after the line and one more, which leave two empty cells (one in particle
  // mode, whose work-file lines end without a separator).
  const int width = 4 + np + (particles ? 1 : 0);

  LineWriter out;
  out.Put("Average Exposure calculations for building " + building.ID + " scenario " +
          scenario.Name);
  out.NewLine();
  for (int o = 1; o <= occupants; ++o) {
    out.Put("Occupant " + sep + scenario.Occupants[o].Name + sep + "Average exposure (" +
            ExposureUnitsOf(scenario).instantaneous + ")" + sep + " " + sep);
    PutEmptyCells(out, width - 4, sep);
  }
  out.NewLine();
  for (int o = 1; o <= occupants; ++o) {
    out.Put("Time" + sep + "Period" + sep);
    for (int p = 0; p < np; ++p) out.Put(scenario.Pollutants[p].Name + sep);
    int used = 2 + np;
    if (particles) {
      out.Put("Mean diameter" + sep + "Geometric standard deviation" + sep);
      used += 2;
    }
    PutEmptyCells(out, width - used, sep);
  }
  out.NewLine();

  std::vector<std::unique_ptr<WorkLines>> avg;
  for (int o = 1; o <= occupants; ++o) {
    avg.push_back(std::make_unique<WorkLines>(scenario.Occupants[o].AvgExposureFile));
  }
  bool any_open = occupants > 0;
  while (any_open) {
    any_open = false;
    for (int i = 0; i < occupants; ++i) {
      std::string line;
      if (avg[i]->Next(line)) {
        out.Put(line + sep + sep);
        any_open = true;
      } else {
        PutEmptyCells(out, width, sep);
      }
    }
    out.NewLine();
  }
  return item_file::Save(file_name, out.Bytes(), prompt);
}

bool WriteSummaryFile(const BuildingRecord& building, CalculatedResults calculated,
                      const std::string& file_name, Prompt& prompt) {
  const ScenarioRecord& scenario = building.Scenario;
  const int np = PollutantCount(scenario);
  LineWriter out;
  FiniteCheck check;
  auto text = [&out](const std::string& t) {
    out.Put(t);
    out.NewLine();
  };
  auto number = [&out, &check](std::optional<float> v, std::string_view field) {
    out.Put(v ? FileSingle(check(*v, field)) : std::string("---"));
    out.NewLine();
  };
  text(building.ID);
  text(scenario.Name);
  for (int p = 0; p < np; ++p) {
    text(scenario.Pollutants[p].Name);
    number(scenario.Pollutants[p].IrritantConc, "IrritantConc");
  }
  for (int o = 1; o <= OccupantCount(scenario); ++o) {
    const OccupantRecord& occupant = scenario.Occupants[o];
    text(occupant.Name);
    for (int p = 0; p < np; ++p) {
      const SummaryFigures f = SummaryFiguresOf(scenario, calculated, o, p);
      number(f.hours_above, "HoursAboveIrritant");
      number(f.total_exposure, "TotalExposure");
      number(f.peak_exposure, "PeakExposure");
      number(f.cancer_risk, "CancerRiskResult");
    }
  }
  return item_file::Save(file_name, out.Bytes(), check, prompt);
}

namespace {

// What the figures of the risk framework report are, after all its fixed lines so that a
// reader of those lines still finds each where it was: the units of the exposures and
// doses, the irritant level in the unit it was counted in, the unit risk, the mass of a
// particle a particle count's risk goes through, each occupant's conversion factor, and
// what the individual risk is.
void PutRiskNotes(LineWriter& out, const ScenarioRecord& scenario, const PollutantRecord& shown,
                  const std::vector<RiskFrameworkTexts>& occupants) {
  auto line = [&out](const std::string& t) {
    out.Put(t);
    out.NewLine();
  };
  const ExposureUnits units = ExposureUnitsOf(scenario);
  const std::string conc_hours = units.concentration + "\xB7h";
  // The irritant concentration line keeps the level as entered, in mg/m³; the window
  // counts in the scenario's unit.
  if (const std::optional<float> level = IrritantLevelInUnits(scenario.ConcUnits, shown)) {
    line("Irritant level in " + units.concentration + FileSingle(*level));
  }
  line("Irritant exposure and dose in " + conc_hours + ": the level x hours above");
  line("Cancer exposure in " + conc_hours + ", dose in " + units.cumulative);
  line("Unit risk " + UnitRiskText(shown));
  if (const std::string mass = ParticleMassText(scenario.ConcUnits, shown); !mass.empty()) {
    line(mass);
  }
  const std::string factor =
      scenario.ExposureMode == "I" ? "Breathing rate x efficiency of " : "Conversion factor of ";
  for (int o = 1; o <= OccupantCount(scenario); ++o) {
    const std::size_t i = static_cast<std::size_t>(o - 1);
    line(factor + scenario.Occupants[o].Name + " " +
         (i < occupants.size() ? occupants[i].conversion : std::string()));
  }
  line("Individual risk is the lifetime cancer risk at the period's mean concentration");
}

}  // namespace

bool WriteRiskFile(const BuildingRecord& building, int pollutant, const std::string& comment,
                   const std::vector<RiskFrameworkTexts>& occupants, const std::string& file_name,
                   Prompt& prompt) {
  static constexpr std::array<const char*, 6> kLabels = {
      "Duration ", "Exposure ", "Efficiency ", " Dose ", "Dose/Response", "Individual risk "};
  const ScenarioRecord& scenario = building.Scenario;
  LineWriter out;
  FiniteCheck check;
  auto line = [&out](const std::string& t) {
    out.Put(t);
    out.NewLine();
  };
  // The cells hold the window's texts of computed values: one of an overflow is refused as a
  // value that is not finite.
  auto cells = [&](const std::array<std::string, 6>& texts) {
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
      if (ShowsNonFinite(texts[i])) check(std::nanf(""), Trimmed(kLabels[i]));
      line(kLabels[i] + texts[i]);
    }
  };
  line("Risk analysis for " + building.ID);
  line("Scenario " + scenario.Name);
  const PollutantRecord& shown =
      scenario.Pollutants[static_cast<std::size_t>(std::clamp(pollutant, 0, kMaxPollutants - 1))];
  line("Pollutant " + shown.Name);
  line("Comments " + comment);
  const RiskFrameworkTexts none;
  for (int o = 1; o <= OccupantCount(scenario); ++o) {
    const std::size_t i = static_cast<std::size_t>(o - 1);
    const RiskFrameworkTexts& texts = i < occupants.size() ? occupants[i] : none;
    const std::string& name = scenario.Occupants[o].Name;
    line("Analysis for occupant " + name);
    line("Irritant/Non Cancer:");
    line("Irritant Concentration " + FileSingle(check(shown.IrritantConc, "IrritantConc")));
    cells(texts.irritant);
    line("Analysis for occupant " + name);
    line("Cancer ");
    line("Integrated ");
    cells(texts.cancer);
  }
  PutRiskNotes(out, scenario, shown, occupants);
  return item_file::Save(file_name, out.Bytes(), check, prompt);
}

bool WriteRiskAnalysisFile(const BuildingRecord& building, const RiskAnalysisTexts& texts,
                           const std::string& file_name, Prompt& prompt) {
  const ScenarioRecord& scenario = building.Scenario;
  LineWriter out;
  for (const std::string& t : {"Risk analysis for " + building.ID, "Scenario " + scenario.Name,
                               "Pollutant " + scenario.Pollutants[0].Name,
                               "Exposure adsorbed dose after " + texts.period + " " + texts.dose,
                               "Cancer risk lifetime " + texts.risk, "Comments " + texts.comment,
                               // After the fixed lines: what the risk is.
                               std::string("Cancer risk lifetime is the lifetime risk at the "
                                           "period's mean concentration")}) {
    out.Put(t);
    out.NewLine();
  }
  return item_file::Save(file_name, out.Bytes(), prompt);
}

std::string ResultBaseName(const std::string& file_name) {
  if (file_name.size() >= 4 && file_name[file_name.size() - 4] == '.') {
    return file_name.substr(0, file_name.size() - 4);
  }
  return file_name;
}

bool SaveAllResults(const BuildingRecord& building, char separator, const std::string& file_name,
                    Prompt& prompt) {
  const std::string base = ResultBaseName(file_name);
  const bool concentrations = WriteConcentrationFile(building, separator, base + ".con", prompt);
  const bool exposures = WriteExposureFile(building, separator, base + ".EXP", prompt);
  return concentrations && exposures;
}

}  // namespace quarn
