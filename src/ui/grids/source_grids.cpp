#include "ui/grids/source_grids.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "model/emission_models.h"
#include "model/mixture.h"
#include "model/prompt.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/grids/grid_cells.h"

namespace quarn {

namespace {

constexpr int kScheduleCols = 15;
constexpr int kTitleColumns = 8;  // parameter titles shown by the lay-out, rows 1 to 8

void PutMasked(FlexGrid& g, int r, int c, double v, std::string_view mask) {
  g.SetNumber(r, c, v, FormatPattern(v, mask));
}

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Models whose first parameter is the pollutant's saturation concentration.
bool StartsFromC0(int model) {
  return model == 0 || (model >= 7 && model <= 10);
}
// Models whose third column is the component content as entered (RawParam3).
bool ShowsComponentContent(int model) {
  return model >= 7 && model <= 10;
}

void RefuseCycles(Prompt& prompt, const std::string& count) {
  prompt.Message("Error.  A source has 0 to 5 on/off cycles, not " + count + ".", "Error",
                 MessageIcon::Exclamation);
}

}  // namespace

void SetupSourceScheduleGrid(FlexGrid& grid) {
  grid.SetRows(2);
  grid.SetCols(kScheduleCols);
  grid.SetFixedRows(1);
  grid.SetFixedCols(1);
  for (int c = 0; c < kScheduleCols; ++c) grid.SetColWidth(c, 1360);
  grid.SetTextMatrix(0, 1, "Source name");
  grid.SetTextMatrix(0, 0, "Model");
  grid.SetTextMatrix(0, 2, "Size ");
  grid.SetTextMatrix(0, 3, "# on/off cycles");
  grid.SetTextMatrix(0, 4, "Cycle repeats?");
  for (int i = 1; i <= kMaxCycles; ++i) {
    grid.SetTextMatrix(0, 2 * i + 3, "Time on");
    grid.SetTextMatrix(0, 2 * i + 4, "Time off");
  }
}

void SetupSourceParameterGrid(FlexGrid& grid, const SourceRecord& source, ProgramState& state) {
  const ScenarioRecord& s = state.Building.Scenario;
  const int n = PollutantCount(s);
  grid.SetRows(std::max(n + 1, 2));
  grid.SetCols(kTitleColumns + 1);
  grid.SetTextMatrix(0, 0, "Pollutant");
  for (int c = 1; c <= kTitleColumns; ++c) {
    grid.SetTextMatrix(0, c, std::string(ModelParameterTitle(source.Model, c)));
  }
  for (int p = 0; p < n; ++p) grid.SetTextMatrix(p + 1, 0, s.Pollutants[p].Name);
  grid.SetRowCol(1, 1);
}

bool LoadSourceScheduleRow(FlexGrid& grid, SourceRecord& source, const std::string& model_text,
                           Prompt& prompt) {
  grid.SetTextMatrix(1, 1, source.Name);
  grid.SetTextMatrix(1, 0, model_text);
  SetSingleCell(grid, 1, 2, source.Size);
  SetSingleCell(grid, 1, 3, source.NumCycles);
  source.CycleRepeats = std::string(1, UpperAscii(source.CycleRepeats[0]));
  grid.SetTextMatrix(1, 4, source.CycleRepeats.str());
  // The source shown before may have had more cycles: none of its times is left beside
  // this source's count.
  for (int c = 5; c < kScheduleCols; ++c) grid.SetTextMatrix(1, c, "");
  if (source.NumCycles < 0 || source.NumCycles > kMaxCycles) {
    RefuseCycles(prompt, std::to_string(source.NumCycles));
    return false;
  }
  for (int i = 1; i <= source.NumCycles; ++i) {
    SetSingleCell(grid, 1, 2 * i + 3, source.TimeOn[i]);
    SetSingleCell(grid, 1, 2 * i + 4, source.TimeOff[i]);
  }
  return true;
}

bool ReadSourceScheduleRow(const FlexGrid& grid, SourceRecord& source, Prompt& prompt) {
  const std::optional<int16_t> cycles = RoundToInt16(CellValue(grid, 1, 3));
  if (!cycles || *cycles < 0 || *cycles > kMaxCycles) {
    RefuseCycles(prompt, "\"" + grid.TextMatrix(1, 3) + "\"");
    return false;
  }
  source.Name = grid.TextMatrix(1, 1);
  source.Size = static_cast<float>(CellValue(grid, 1, 2));
  source.NumCycles = *cycles;
  const std::string repeats = grid.TextMatrix(1, 4);
  source.CycleRepeats = repeats.empty() ? std::string(" ") : repeats.substr(0, 1);
  for (int i = 1; i <= source.NumCycles; ++i) {
    source.TimeOn[i] = static_cast<float>(CellValue(grid, 1, 2 * i + 3));
    source.TimeOff[i] = static_cast<float>(CellValue(grid, 1, 2 * i + 4));
  }
  return true;
}

void LoadSourceParameterGrid(FlexGrid& grid, SourceRecord& source, const ScenarioRecord& scenario) {
  const int n = PollutantCount(scenario);
  const int columns = ParameterColumnCount(source.Model);
  grid.SetCols(12);
  grid.SetRows(n + 1);
  for (int p = 0; p < n; ++p) {
    const int row = p + 1;
    grid.SetTextMatrix(row, 0, scenario.Pollutants[p].Name);
    for (int c = 1; c <= columns; ++c) {
      if (c == 1 && StartsFromC0(source.Model)) source.Params[0][p] = scenario.Pollutants[p].C0;
      if (c == 3 && ShowsComponentContent(source.Model)) {
        PutMasked(grid, row, c, source.RawParam3[p], "####.##");
      } else {
        SetSingleCell(grid, row, c, source.Params[c - 1][p]);
      }
    }
  }
  // Only the model's own parameters stay in view; the read-back finds the rest empty.
  grid.SetCols(columns + 1);
}

void FillSourceGrids(SourceRecord& work, int room, int slot, FlexGrid& schedule,
                     FlexGrid& parameters, SourceWindowValues& window, ProgramState& state,
                     Prompt& prompt) {
  if (room < 0 || room > kMaxRooms || slot < 0 || slot > kMaxSources) return;
  ScenarioRecord& s = state.Building.Scenario;
  window.room_number = SignSingle(static_cast<float>(room));
  window.room_name = state.Building.RoomList[room].Name;
  window.source_number = std::to_string(slot);
  window.total_mass = {FormatPattern(work.TotalMass, "#####.##"), work.TotalMass};
  window.gas_velocity = {FormatSingle(work.GasVelocity), work.GasVelocity};
  window.total_mass_text = window.total_mass.text;
  window.gas_velocity_text = window.gas_velocity.text;
  window.source_model = work.Model;

  // A number emission has a mass only through a particle size, so it is offered for
  // particles alone.
  const bool particles = IsParticleMode(s);
  window.number_per_hour_enabled = particles;
  window.milligrams_per_hour = window.micrograms_per_hour = window.number_per_hour = false;
  if (work.EmissionUnits == 1) {
    window.micrograms_per_hour = true;
  } else if (work.EmissionUnits == 2 && particles) {
    window.number_per_hour = true;
  } else {
    window.milligrams_per_hour = true;
    work.EmissionUnits = 0;
  }

  SetupSourceScheduleGrid(schedule);
  SetupSourceParameterGrid(parameters, work, state);
  LoadSourceScheduleRow(schedule, work, EmissionModelName(work.Model), prompt);
  LoadSourceParameterGrid(parameters, work, s);
}

void NoteSourceModel(const SourceRecord& source, const ProgramState& state, Prompt& prompt) {
  if (source.Model == 7) {
    prompt.Message("Note that for VBX and petroleum solvent spill the first pollutant is TVOC",
                   state.ProgramTitle, MessageIcon::None);
  }
}

std::optional<SourceRecord> ReadSourceGrids(const FlexGrid& schedule, const FlexGrid& parameters,
                                            const SourceWindowValues& window,
                                            const SourceRecord& stored,
                                            const ScenarioRecord& scenario, Prompt& prompt) {
  SourceRecord source = stored;
  if (!ReadSourceScheduleRow(schedule, source, prompt)) return std::nullopt;
  source.Model = static_cast<int16_t>(window.source_model);
  source.TotalMass = BoxValue(window.total_mass, window.total_mass_text);
  source.GasVelocity = BoxValue(window.gas_velocity, window.gas_velocity_text);
  source.EmissionUnits = window.milligrams_per_hour   ? 0
                         : window.micrograms_per_hour ? 1
                         : window.number_per_hour     ? 2
                                                      : 0;
  // The spill models release what was spilled; the others scale the mass per area by size.
  const int model = source.Model;
  const bool spill = model >= 8 && model <= 10;
  source.ScaledMass = spill ? source.TotalMass : source.Size * source.TotalMass;

  for (int p = 0; p < PollutantCount(scenario); ++p) {
    const int row = p + 1;
    for (int c = 1; c <= kTitleColumns; ++c) {
      const auto cell = static_cast<float>(CellValue(parameters, row, c));
      if (c != 3 || model < 7 || model > 10) {
        source.Params[c - 1][p] = cell;
        continue;
      }
      // Column 3 of the product and spill models is the content as entered: mg per g of
      // product (times g applied gives mg; times the mg spilled, over 1000 mg a g, gives
      // mg), or mg spilled as it stands.
      source.RawParam3[p] = cell;
      source.Params[2][p] = model == 9   ? cell
                            : model == 7 ? cell * source.TotalMass
                                         : cell * source.TotalMass / 1000.0F;
      if (model == 8 || model == 10) LiquidMass(source)[p] = source.Params[2][p];
    }
    const float mw = scenario.Pollutants[p].MolWt;
    if (mw > 0) source.ParamPerMole[p] = source.Params[2][p] / mw / 1000.0f;
  }
  return source;
}

SourceRecord ShowRoomSources(int room, FlexGrid& schedule, FlexGrid& parameters,
                             SourceWindowValues& window, ProgramState& state, Prompt& prompt) {
  if (room < 0 || room > kMaxRooms) return SourceRecord{};
  SourceRecord work = state.Building.Scenario.Sources[room][1];
  FillSourceGrids(work, room, 1, schedule, parameters, window, state, prompt);
  return work;
}

void ClearSourceParameters(SourceRecord& source) {
  for (auto& row : source.Params) row.fill(0);
  source.RawParam3.fill(0);
  LiquidMass(source).fill(0);
  source.ParamPerMole.fill(0);
}

namespace {

// Whether the third column holds the component content as entered under both models, under
// one title: then it means the same to both.
bool SharesContentColumn(int from_model, int to_model) {
  return ShowsComponentContent(from_model) && ShowsComponentContent(to_model) &&
         ModelParameterTitle(from_model, 3) == ModelParameterTitle(to_model, 3);
}

}  // namespace

void KeepSharedParameters(SourceRecord& source, int model) {
  const auto content = source.RawParam3;
  const bool keep = SharesContentColumn(source.Model, model);
  ClearSourceParameters(source);
  // The rest follows from the content when the grid is read back.
  if (keep) source.RawParam3 = content;
}

namespace {

// The names of the pollutants, from `first` on, that have a parameter of the source's model
// the user gave and `to_model` would lose, "toluene, formaldehyde"; empty when there is none.
std::string PollutantsWithParameters(const SourceRecord& source, const ScenarioRecord& scenario,
                                     int first, int to_model) {
  const int model = source.Model;
  const int columns = ParameterColumnCount(model);
  std::string names;
  for (int p = first; p < PollutantCount(scenario); ++p) {
    bool given = false;
    for (int c = 1; c <= columns && c <= kTitleColumns; ++c) {
      if (c == 1 && StartsFromC0(model)) continue;  // the pollutant's, not the source's
      if (c == 3 && SharesContentColumn(model, to_model)) continue;  // kept
      const float v =
          c == 3 && ShowsComponentContent(model) ? source.RawParam3[p] : source.Params[c - 1][p];
      given = given || v != 0;
    }
    if (!given) continue;
    if (!names.empty()) names += ", ";
    names += scenario.Pollutants[p].Name;
  }
  return names;
}

std::string SourceText(const SourceRecord& source, int slot) {
  return "Source " + std::to_string(slot) + " (" + source.Name + ")";
}

std::string Quoted(int model) {
  return "\"" + EmissionModelName(model) + "\"";
}

}  // namespace

std::string ModelChangeQuestion(const SourceRecord& source, int slot, int model,
                                const ScenarioRecord& scenario) {
  const std::string names = PollutantsWithParameters(source, scenario, 0, model);
  if (names.empty()) return "";
  return SourceText(source, slot) + " changes from " + Quoted(source.Model) + " to " +
         Quoted(model) + ".  Its " + Quoted(source.Model) + " parameters of " + names +
         " have no meaning under " + Quoted(model) +
         " and are cleared.  Do you wish to change the model?";
}

void TakeR0kFit(SourceRecord& source, float r0, float k) {
  constexpr int16_t kR0k = 1;  // R0 e^(-k t)
  if (source.Model != kR0k) ClearSourceParameters(source);
  source.Model = kR0k;
  for (auto& row : source.Params) row[0] = 0;
  source.Params[0][0] = r0;
  source.Params[1][0] = k;
}

std::string R0kFitQuestion(const SourceRecord& source, int slot, const ScenarioRecord& scenario) {
  if (source.Model == 1 || PollutantCount(scenario) < 1) return "";
  const std::string names = PollutantsWithParameters(source, scenario, 1, 1);
  if (names.empty()) return "";
  return "The fit makes " + SourceText(source, slot) + " an " + Quoted(1) +
         " source, with R0 and k for " + scenario.Pollutants[0].Name + " alone.  Its " +
         Quoted(source.Model) + " parameters of " + names + " have no meaning under " + Quoted(1) +
         " and are set to 0.  Do you wish to store the fit?";
}

bool StoreFitInScenario(const SourceRecord& fit, ProgramState& state, Prompt& prompt) {
  const int room = state.CurrentRoom;
  const int slot = state.CurrentSource;
  if (room < 0 || room > kMaxRooms || slot < 1 || slot > kMaxSources) return false;
  SourceRecord& source = state.Building.Scenario.Sources[room][slot];
  const std::string question = R0kFitQuestion(source, slot, state.Building.Scenario);
  if (!question.empty() && prompt.AskYesNoDefault(question, "Warning", MessageIcon::Exclamation,
                                                  Answer::No) != Answer::Yes) {
    return false;
  }
  TakeR0kFit(source, fit.Params[0][0], fit.Params[1][0]);
  return true;
}

void SetupSourceCompositionGrid(FlexGrid& source_compositionss, CompositionLabels& labels,
                                const SourceRecord& source, int room, int source_number,
                                const ScenarioRecord& scenario) {
  labels.lblcurrentroom = FormatSingle(static_cast<float>(room));
  labels.lblcurrentsource = FormatSingle(static_cast<float>(source_number));
  const int n = PollutantCount(scenario);
  FlexGrid& g = source_compositionss;
  g.SetCols(5);
  g.SetRows(n + 1);
  // Column 3 is C0, the saturation concentration the emission models and the VOC database
  // give in mg/m³, not a vapour pressure.
  const char* headers[5] = {"Component #", "Name", "MW g/mole", "C0 mg/m3", "mg/g in source"};
  for (int c = 0; c < 5; ++c) g.SetTextMatrix(0, c, headers[c]);
  if (n < 1) return;
  // Row 1 is the whole mixture, kept in pollutant 0.
  g.SetTextMatrix(1, 0, "1");
  g.SetTextMatrix(1, 1, "TVOC");
  PutMasked(g, 1, 2, scenario.Pollutants[0].MolWt, "###.##");
  PutMasked(g, 1, 3, scenario.Pollutants[0].C0, "#####.##");
  PutMasked(g, 1, 4, CompositionMgPerGram(source)[0], "####.##");
  for (int r = 2; r <= n; ++r) {
    const PollutantRecord& pol = scenario.Pollutants[r - 1];
    g.SetTextMatrix(r, 0, FormatSingle(static_cast<float>(r)));
    g.SetTextMatrix(r, 1, pol.Name);
    SetSingleCell(g, r, 2, pol.MolWt);
    SetSingleCell(g, r, 3, pol.C0);
    PutMasked(g, r, 4, CompositionMgPerGram(source)[r - 1], "###.##");
  }
}

std::string PollutantOneReplacement(const FlexGrid& grid, const ScenarioRecord& scenario) {
  if (PollutantCount(scenario) < 1) return "";
  const PollutantRecord& one = scenario.Pollutants[0];
  const auto mw = static_cast<float>(CellValue(grid, 1, 2));
  const auto c0 = static_cast<float>(CellValue(grid, 1, 3));
  // Nothing is lost where pollutant 1 holds nothing yet or already holds the mixture.
  if ((one.MolWt == 0 && one.C0 == 0) || (one.MolWt == mw && one.C0 == c0)) return "";
  return "Transfer replaces pollutant 1, " + one.Name + ", molecular weight " +
         FormatSingle(one.MolWt) + " and C0 " + FormatSingle(one.C0) +
         " mg/m3, with the mixture's " + FormatSingle(mw) + " and " + FormatSingle(c0) +
         " mg/m3.  Replace them?";
}

void SaveSourceCompositionGrid(const FlexGrid& grid, SourceRecord& source,
                               ScenarioRecord& scenario) {
  const int n = PollutantCount(scenario);
  if (n < 1) return;
  scenario.Pollutants[0].MolWt = static_cast<float>(CellValue(grid, 1, 2));
  scenario.Pollutants[0].C0 = static_cast<float>(CellValue(grid, 1, 3));
  for (int r = 1; r <= n; ++r)
    CompositionMgPerGram(source)[r - 1] = static_cast<float>(CellValue(grid, r, 4));
}

void LoadSourceCompositionGrid(FlexGrid& parameters, const SourceRecord& source,
                               const std::string& total_mass_text, const ScenarioRecord& scenario) {
  // Only the product and spill models start from the mixture's C0 and take each
  // component's amount third; the other models keep other parameters in those cells.
  const int model = source.Model;
  if (!ShowsComponentContent(model)) return;
  const int n = PollutantCount(scenario);
  if (n < 1) return;
  // The third column is read back as mg per g of product, except for the single spill,
  // which takes mg spilled: the total mg spilled / 1000 (g) × mg/g.
  const double f = model == 9 ? LeadingNumber(total_mass_text) / 1000.0 : 1.0;
  PutMasked(parameters, 1, 1, scenario.Pollutants[0].C0, "#####.##");
  for (int r = 1; r <= n; ++r) {
    PutMasked(parameters, r, 3, f * CompositionMgPerGram(source)[r - 1], "#####.##");
  }
}

bool CalculateSourceComposition(FlexGrid& grid, Prompt& prompt) {
  // Row 1 is the mixture; below it each component's MW, vapour pressure and mg/g.
  std::vector<MixtureComponent> components;
  for (int r = 2; r < grid.Rows(); ++r) {
    components.push_back({CellValue(grid, r, 4), CellValue(grid, r, 2), CellValue(grid, r, 3),
                          grid.TextMatrix(r, 1)});
  }
  const std::optional<Mixture> mixture = MixtureProperties(components, prompt);
  if (!mixture) return false;
  PutMasked(grid, 1, 2, mixture->mol_wt, "###.##");
  PutMasked(grid, 1, 3, mixture->c0, "#####.##");
  return true;
}

bool CalculateTVOCProperties(FlexGrid& parameters, ScenarioRecord& scenario, Prompt& prompt) {
  // Pollutant 0 stands for the mixture, the others for its components, whose masses are
  // the third parameter column as the grid shows it now.
  const int n = PollutantCount(scenario);
  std::vector<MixtureComponent> components;
  for (int p = 1; p < n; ++p) {
    const PollutantRecord& pol = scenario.Pollutants[p];
    components.push_back({CellValue(parameters, p + 1, 3), pol.MolWt, pol.C0, pol.Name});
  }
  const std::optional<Mixture> mixture = MixtureProperties(components, prompt);
  if (!mixture) return false;
  PutMasked(parameters, 1, 1, mixture->c0, "######.##");
  scenario.Pollutants[0].C0 = static_cast<float>(mixture->c0);
  scenario.Pollutants[0].MolWt = static_cast<float>(mixture->mol_wt);
  return true;
}

}  // namespace quarn
