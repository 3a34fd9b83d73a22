#pragma once

#include <optional>
#include <string>

#include "model/emission_model_titles.h"
#include "model/program_state.h"
#include "model/records.h"
#include "ui/grids/hvac_grids.h"

namespace quarn {

class FlexGrid;
class Prompt;

// The controls of the room source window other than its grids.
struct SourceWindowValues {
  std::string room_number;    // label, sign-position form
  std::string room_name;      // label Msg
  std::string source_number;  // box
  // The two number boxes as filled (text and exact value) and their texts now, so that an
  // untouched box reads back the stored value and not its rounded text.
  NumberBox total_mass;  // "#####.##"
  NumberBox gas_velocity;
  std::string total_mass_text;
  std::string gas_velocity_text;
  int source_model = 0;              // selected entry of the model list
  bool milligrams_per_hour = false;  // Option1 "mg/h"
  bool micrograms_per_hour = false;  // Option2 "µg/h"
  bool number_per_hour = false;      // Option3 "Number/h"
  bool number_per_hour_enabled = false;
};

// The labels of the source composition window.
struct CompositionLabels {
  std::string lblcurrentroom;
  std::string lblcurrentsource;
};

// The title table is constant data shared with the printouts.
inline const ModelTitleTable& SetSourceParameterLabels() {
  return ModelParameterTitles();
}

void SetupSourceScheduleGrid(FlexGrid& grid);
// Heads the parameter grid with the titles of the source's model and the pollutant names.
void SetupSourceParameterGrid(FlexGrid& grid, const SourceRecord& source, ProgramState& state);

// Row 1 of the schedule grid; the repeat code is upper-cased in the record too. The times
// of cycles the source does not have are empty. A cycle count outside 0 to 5 (the grid's
// and the record's room) is reported and no cycle is shown (false).
bool LoadSourceScheduleRow(FlexGrid& grid, SourceRecord& source, const std::string& model_text,
                           Prompt& prompt);
// Reads row 1 back into the source: name, size, cycle count, repeat code and cycles. A
// cycle count outside 0 to 5 is reported and nothing is stored (false).
bool ReadSourceScheduleRow(const FlexGrid& grid, SourceRecord& source, Prompt& prompt);

// The parameter rows of the source's model. The models that start from the pollutant's
// saturation concentration take C0 into their first parameter first.
void LoadSourceParameterGrid(FlexGrid& grid, SourceRecord& source, const ScenarioRecord& scenario);

// Shows `work`, the window's copy of source `slot` of `room`, in the window's values and
// grids: the model's titles and parameters, the schedule and the boxes. In gas mode a number
// emission (units 2) is shown as "mg/h" and becomes 0 in `work`.
void FillSourceGrids(SourceRecord& work, int room, int slot, FlexGrid& schedule,
                     FlexGrid& parameters, SourceWindowValues& window, ProgramState& state,
                     Prompt& prompt);
// For a "VBX" source, the note that the first pollutant is the mixture total; the window
// shows it once the source is shown whole, so that the note and what it is about come
// together.
void NoteSourceModel(const SourceRecord& source, const ProgramState& state, Prompt& prompt);
// The source shown, rebuilt from `stored` (the scenario's record of the shown slot) and the
// window: model, units, boxes, schedule and parameters. Nothing when the schedule's cycle
// count is refused.
std::optional<SourceRecord> ReadSourceGrids(const FlexGrid& schedule, const FlexGrid& parameters,
                                            const SourceWindowValues& window,
                                            const SourceRecord& stored,
                                            const ScenarioRecord& scenario, Prompt& prompt);

// Opens the source window's values and grids on source 1 of the room (0 the HVAC system)
// and gives back the working copy shown; the record is changed only by the window's Transfer.
SourceRecord ShowRoomSources(int room, FlexGrid& schedule, FlexGrid& parameters,
                             SourceWindowValues& window, ProgramState& state, Prompt& prompt);

// Every model parameter of the source, of every pollutant, and the values derived from
// them (component contents, masses and moles) set to 0: what one model holds has no meaning
// under another.
void ClearSourceParameters(SourceRecord& source);
// The same before the source's model becomes `model`, but for the column that both models
// head alike and read alike: the "mg/g product" of the product and spill models, which a
// change between them keeps.
void KeepSharedParameters(SourceRecord& source, int model);
// The question to ask before the source's model becomes `model` and its parameters are
// cleared, naming the source and the pollutants whose parameters were given (any but a C0
// the model takes from the pollutant, and a column both models share); empty when nothing
// given would be lost.
std::string ModelChangeQuestion(const SourceRecord& source, int slot, int model,
                                const ScenarioRecord& scenario);

// A source as an R0/k fit of its first pollutant returns it: model 1 ("R0k") with the
// fitted R0 and k and every other parameter of that pollutant 0, so that nothing of its
// former model is read as R2, k2, R3 or k3. A source of another model loses every other
// pollutant's parameters too; an "R0k" source keeps them.
void TakeR0kFit(SourceRecord& source, float r0, float k);
// The question to ask before TakeR0kFit clears parameters that other pollutants were given,
// naming the source and the pollutants; empty when nothing given would be lost.
std::string R0kFitQuestion(const SourceRecord& source, int slot, const ScenarioRecord& scenario);
// Stores the fit (R0 and k in the first pollutant's rows 0 and 1 of `fit`) into
// Sources(CurrentRoom, CurrentSource) of the scenario, for a source that no window shows,
// after R0kFitQuestion (default No). False, changing nothing, when the current room or
// source is not a source slot or the answer is not Yes.
bool StoreFitInScenario(const SourceRecord& fit, ProgramState& state, Prompt& prompt);

void SetupSourceCompositionGrid(FlexGrid& source_compositionss, CompositionLabels& labels,
                                const SourceRecord& source, int room, int source_number,
                                const ScenarioRecord& scenario);
// The question to ask before the composition grid's mixture row replaces pollutant 1's
// molecular weight and C0, naming it and both pairs of values; empty when nothing would be
// lost.
std::string PollutantOneReplacement(const FlexGrid& grid, const ScenarioRecord& scenario);
void SaveSourceCompositionGrid(const FlexGrid& grid, SourceRecord& source,
                               ScenarioRecord& scenario);
// Writes the mixture C0 and each component's amount into the source window's parameter
// grid, as the source's model reads that column back: the composition in mg/g for models 7,
// 8 and 10, mg spilled (total mass box / 1000 × mg/g) for model 9. The grid of any other
// model is left as it is.
void LoadSourceCompositionGrid(FlexGrid& parameters, const SourceRecord& source,
                               const std::string& total_mass_text, const ScenarioRecord& scenario);
// The mixture row from the components: molecular weight Σm / Σ(m/MW) and the mole-fraction
// weighted vapour pressure. Components without a molecular weight are skipped; with no mass
// left the mixture is undefined and nothing changes (false, after a message).
bool CalculateSourceComposition(FlexGrid& grid, Prompt& prompt);
// The mixture of a TVOC source from its components (pollutants 1 on, their masses in the
// third parameter column): its C0 into the first parameter of row 1 and, with its molecular
// weight, into pollutant 0. As above, nothing changes without a mass (false, after a message).
bool CalculateTVOCProperties(FlexGrid& parameters, ScenarioRecord& scenario, Prompt& prompt);

}  // namespace quarn
