#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "files/item_file.h"
#include "model/fixed_string.h"
#include "model/prompt.h"
#include "model/records.h"
#include "text/text_reader.h"
#include "text/text_writer.h"

namespace quarn {

// The scenario file (".SEN"), current layout "V1.96": one item per line, CR LF, in the
// order of the scenario record's sections (general settings, pollutants and the entered
// concentrations, HVAC flows, HVAC filter, natural flows, schedules, sources, sinks,
// occupants). Room-indexed data follow the rooms of the building loaded when it was saved.
//
// The layout drops some fields that change a run (the HVAC type, managed flows, room air
// cleaners, the outdoor point count and the entered units). When one of them differs from
// its reference value (kReferenceHVACType, no managed flows or air cleaners, the point count
// of the outdoor times, the scenario's units) a trailer keeps them after the last occupant, from
// the line "Quarn extra 1" to the line "end extra". Readers of the plain layout stop after the last
// occupant, so they still read such a file; a file whose fields all hold their reference
// values is the plain layout byte for byte.

inline constexpr const char* kScenarioExtension = ".SEN";
inline constexpr const char* kScenarioVersion = "V1.96";
inline constexpr const char* kTrailerStart = "Quarn extra 1";
inline constexpr const char* kTrailerEnd = "end extra";

// The HVAC type that a file without it stands for: the editor stores its list's index + 1
// and shows the first entry ("Residential in return") for a scenario without a type, so
// every scenario that passed through it holds 1 to 4. Taking 1 keeps the ordinary scenario
// in the plain layout and gives a stored file the type the editor would show for it.
inline constexpr int32_t kReferenceHVACType = 1;

// How a scenario read ended. The caller sets its saved flags only after Read; after
// Declined or Failed the model is exactly as it was.
enum class ScenarioReadResult { Read, Declined, Failed };

// What a scenario reader gives back: how the read ended and, after Read only, the scenario
// that the file holds. Readers never touch the model: the caller puts the scenario into the
// building, so that a read that ends any other way changes nothing.
struct ScenarioFileRead {
  ScenarioReadResult result = ScenarioReadResult::Failed;
  std::optional<ScenarioRecord> scenario;
};

// Puts the scenario of a read into `building` when the read ended in Read, as the editor's
// Open does; otherwise the building stays as it was. Returns how the read ended.
ScenarioReadResult CommitScenarioRead(ScenarioFileRead read, BuildingRecord& building);

// The bytes of the V1.96 file of building.Scenario.
std::string ScenarioFileBytes(const BuildingRecord& building);

// Writes the scenario to `fileName`, used as given (the editor adds ".SEN"). `selectedUnits`
// is the caption name of the editor's checked unit button ("number", "micrograms",
// "milligrams") and becomes ConcUnits; empty when none is checked, and ConcUnits stays.
// The file is written beside the target and renamed over it. False, after telling the
// user, when it could not be written.
bool NewSaveScenario(BuildingRecord& building, std::string_view selected_units,
                     const std::string& file_name, Prompt& prompt);

// Reads a V1.96 file for `building`. The reader asks whether to go on with the file's
// building, and only then reads the file over a copy of building.Scenario reset the way the
// editor's Open resets it: the caller must not reset before it. A file for another room count
// is refused (Failed); after Read the scenario's ConcUnits tells the caller which unit button
// to select.
ScenarioFileRead NewReadScenario(const BuildingRecord& building, const std::string& file_name,
                                 Prompt& prompt);

// The number of outdoor history points that the stored times give, counted as the outdoor
// grid counts them: the points before the first point after the first whose time is 0 or
// less, or all 50.
int16_t OutdoorPointsFromTimes(const History& times);

// Pieces shared by the readers and writer of every scenario layout.
namespace scenario_io {

// Thrown by ItemSource when the file ends early, a number is not a number or a count is past
// its table; the reader catches it and leaves the model as it was. The item files throw the
// same on the same faults.
using DamagedFile = item_file::Damaged;

// Reads the items of a scenario file and converts them, throwing DamagedFile on failure: the
// items of the small item files, with fixed-length fields, Longs and counts besides.
class ItemSource : public item_file::Input {
 public:
  using Input::Input;

  template <std::size_t N>
  void Fixed(FixedString<N>& field) {
    field = Text();
  }
  int32_t Long();
  // An integer count that must lie in 0..limit.
  int16_t Count(int limit) { return Bounded(0, limit); }
};

// Writes the line forms of the scenario file: those of the item files, but for free texts,
// which keep their line breaks inside quotes, and fixed-length fields.
class LineSink : private item_file::Output {
 public:
  // A free text. A text that would not read back whole as a bare item (a comma, a double
  // quote at its start, a line break, a blank at either end) is written in double quotes,
  // its own double quotes turned into single ones (the layout has no escape for them).
  void Text(std::string_view text) { Quoted(text); }
  // A fixed-length field at its full length, unquoted ("PM      ", a blank flag " "),
  // unless it would not read back whole: then quoted as Text() quotes.
  void Fixed(std::string_view text);
  using Output::Bytes;
  using Output::Check;
  using Output::Integer;
  using Output::Pair;
  using Output::Real;
};

// Reads a file's body into a copy of building.Scenario reset the way the editor's Open resets
// it (ClearScenario, then InitializeScenario, for the building's rooms). `read_body` fills it,
// throwing DamagedFile when it cannot; the scenario is handed back only when the whole file
// was read, so the model never holds half a file, and a damaged file is reported (Failed).
ScenarioFileRead ReadIntoResetScenario(const BuildingRecord& building, const std::string& file_name,
                                       Prompt& prompt,
                                       const std::function<void(ScenarioRecord&)>& read_body);

// Particle mode as the scenario files test it: "PM" in the first two characters, in any case.
bool IsParticleClass(const FixedString<8>& pollutant_class);

// The fields that the stored layouts may not hold (HVAC type, managed flows, room air
// cleaners of rooms 1..num_rooms) at the values a file without them stands for, so that
// nothing of the previous scenario survives a read.
void SetDroppedFieldsToReference(ScenarioRecord& scenario, int num_rooms);

// The six items every layout opens its body with: name, comments, units, overall ACH, and the
// constant-ACH and constant-HVAC flags.
void ReadOpeningItems(ItemSource& in, ScenarioRecord& sc);
// The item blocks that every layout stores alike: the HVAC flows (cycle flag, the system's
// two totals, each room's supply, return, exhaust and outdoor air, then the flows between
// connected rooms), and the natural flows (each room's to and from outdoors, then every
// pair of rooms) followed by the four 50-point schedules.
void ReadHVACFlowBlock(ItemSource& in, const BuildingRecord& b, ScenarioRecord& sc, int n);
void ReadNaturalFlowsAndSchedules(ItemSource& in, ScenarioRecord& sc, int n);
// The flows between connected rooms (neighbours, never a room with itself), row by row.
void ReadConnectedFlows(ItemSource& in, const BuildingRecord& b, RoomMatrix& flows, int n);
// The concentrations as entered: the initial ones of rooms first_room..n, the building
// penetrations, then the outdoor history as time and value pairs.
void ReadEnteredConcentrations(ItemSource& in, ScenarioRecord& sc, int first_room, int n, int np);

// The messages of the scenario readers.
void TellDamaged(Prompt& prompt, const std::string& file_name);
void TellWrongRoomCount(Prompt& prompt, const std::string& file_name, int file_rooms,
                        int building_rooms);

}  // namespace scenario_io

}  // namespace quarn
