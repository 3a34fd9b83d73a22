#include "files/window_files.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "files/item_file.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/text_reader.h"

namespace quarn {

namespace {

using item_file::Damaged;
using item_file::Input;
using item_file::Output;

constexpr int kHVACColumns = 3;  // supply, return, exhaust

bool RoomsFit(int num_rooms) {
  return num_rooms >= 1 && num_rooms <= kMaxRooms;
}
bool PollutantsFit(int num_pollutants) {
  return num_pollutants >= 0 && num_pollutants <= kMaxPollutants;
}

// Reads the file and runs `fill` over its items; false after a message when the file
// cannot be read or `fill` meets the end of the file or a value that does not fit.
template <class Fill>
bool ReadItems(const std::string& file_name, Prompt& prompt, Fill fill) {
  const std::optional<std::string> bytes = item_file::Load(file_name, prompt);
  if (!bytes) return false;
  Input in(*bytes);
  try {
    fill(in);
  } catch (const Damaged&) {
    item_file::TellDamaged(prompt, file_name, in.LineNumber());
    return false;
  }
  return true;
}

// One number of a line split at the separator; blanks around it are allowed.
float JoinedReal(std::string_view item) {
  const std::optional<float> single = ParseSingle(item);
  if (!single) throw Damaged{};
  return *single;
}

std::vector<std::string_view> SplitAt(std::string_view line, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = line.find(separator, start);
    parts.push_back(line.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

}  // namespace

// ---- pollutant file ----

bool WritePollutantFile(const PerPollutant<float>& particle_diameters, int num_pollutants,
                        const std::string& file_name, Prompt& prompt) {
  if (!PollutantsFit(num_pollutants)) return false;
  Output out;
  for (int p = 0; p < num_pollutants; ++p) out.Real(particle_diameters[p], "Diameter");
  return item_file::Save(file_name, out, prompt);
}

bool ReadPollutantFile(PerPollutant<float>& particle_diameters, int num_pollutants,
                       const std::string& file_name, Prompt& prompt) {
  if (!PollutantsFit(num_pollutants)) return false;
  PerPollutant<float> scratch = particle_diameters;
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        for (int p = 0; p < num_pollutants; ++p) in.Real(scratch[p]);
      })) {
    return false;
  }
  particle_diameters = scratch;
  return true;
}

// ---- initial indoor concentrations ----

bool WriteInitialIndoorFile(const ScenarioRecord& scenario, int num_rooms,
                            const std::string& file_name, Prompt& prompt) {
  if (!RoomsFit(num_rooms) || !PollutantsFit(scenario.NumPollutants)) return false;
  Output out;
  for (int p = 0; p < scenario.NumPollutants; ++p) {
    for (int r = 1; r <= num_rooms; ++r) out.Real(scenario.InitialConc[r][p], "InitialConc");
  }
  return item_file::Save(file_name, out, prompt);
}

bool ReadInitialIndoorFile(ScenarioRecord& scenario, int num_rooms, const std::string& file_name,
                           Prompt& prompt) {
  if (!RoomsFit(num_rooms) || !PollutantsFit(scenario.NumPollutants)) return false;
  RoomPollutant scratch = scenario.InitialConc;
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        for (int p = 0; p < scenario.NumPollutants; ++p) {
          for (int r = 1; r <= num_rooms; ++r) in.Real(scratch[r][p]);
        }
        in.ExpectEnd();  // a file of another building shape would fill the wrong cells
      })) {
    return false;
  }
  scenario.InitialConc = scratch;
  return true;
}

// ---- outdoor concentration history ----

namespace {

void TellTooManyPoints(Prompt& prompt, const std::string& file_name) {
  prompt.Message("Error.  " + file_name + " holds more than 50 points.", "Error",
                 MessageIcon::Critical);
}

}  // namespace

bool WriteOutdoorConcentrationFile(const ScenarioRecord& scenario, char separator,
                                   const std::string& file_name, Prompt& prompt) {
  if (!PollutantsFit(scenario.NumPollutants)) return false;
  Output out;
  const std::string joint(1, separator);
  for (int t = 1; t <= kMaxHistory; ++t) {
    out.Line().Put(FileSingle(out.Check()(scenario.OutdoorConcTime[t], "OutdoorConcTime")));
    for (int p = 0; p < scenario.NumPollutants; ++p) {
      out.Line().Put(joint);
      out.Line().Put(FileSingle(out.Check()(scenario.OutdoorConcInput[t][p], "OutdoorConcInput")));
    }
    out.Line().NewLine();
  }
  return item_file::Save(file_name, out, prompt);
}

bool ReadOutdoorConcentrationFile(ScenarioRecord& scenario, const std::string& file_name,
                                  Prompt& prompt) {
  if (!PollutantsFit(scenario.NumPollutants)) return false;
  const std::optional<std::string> bytes = item_file::Load(file_name, prompt);
  if (!bytes) return false;
  std::vector<std::string> lines;
  ItemReader file(*bytes);
  while (auto line = file.ReadLine()) lines.push_back(std::move(*line));
  // Blank lines after the last point are not points.
  while (!lines.empty() && item_file::Trim(lines.back()).empty()) lines.pop_back();

  History times = scenario.OutdoorConcTime;
  HistoryPollutant values = scenario.OutdoorConcInput;
  int count = 0;
  const int n = scenario.NumPollutants;
  const int last = std::min<int>(kMaxHistory, static_cast<int>(lines.size()));
  for (int t = 1; t <= last; ++t) {
    ItemReader in(lines[static_cast<std::size_t>(t - 1)]);
    auto number = [&]() {
      const auto v = in.ReadNumber();
      const std::optional<float> single = v ? AsSingle(*v) : std::nullopt;
      if (!single) throw Damaged{};
      return *single;
    };
    try {
      const float time = number();
      // A time of 0 after the first point ends the history there.
      if (t > 1 && time == 0) break;
      times[t] = time;
      for (int p = 0; p < n; ++p) values[t][p] = number();
    } catch (const Damaged&) {
      item_file::TellDamaged(prompt, file_name, t);
      return false;
    }
    count = t;
  }
  if (count == 0) {
    item_file::TellDamaged(prompt, file_name, 1);
    return false;
  }
  // Dropping the further points would run a different history from the one in the file.
  if (count == kMaxHistory && lines.size() > static_cast<std::size_t>(kMaxHistory)) {
    TellTooManyPoints(prompt, file_name);
    return false;
  }
  for (int t = count + 1; t <= kMaxHistory; ++t) {
    times[t] = 0;
    values[t].fill(0);
    scenario.OutdoorConc[t].fill(0);
  }
  scenario.OutdoorConcTime = times;
  scenario.OutdoorConcInput = values;
  scenario.NumOutdoorConcPoints = static_cast<int16_t>(count);
  return true;
}

// ---- general sinks ----

bool WriteGeneralSinkFile(const ScenarioRecord& scenario, int num_rooms, char separator,
                          const std::string& file_name, Prompt& prompt) {
  if (!RoomsFit(num_rooms) || !PollutantsFit(scenario.NumPollutants)) return false;
  const std::string sep(1, separator);
  Output out;
  LineWriter& line = out.Line();
  for (int r = 1; r <= num_rooms; ++r) {
    const int sinks = SinkSlotCount(scenario, r);
    for (int s = 1; s <= sinks; ++s) {
      const SinkRecord& sink = scenario.Sinks[r][s];
      line.Put(sink.Name);
      line.Put(sep);
      line.Put(FileSingle(out.Check()(sink.Area, "Area")));
      line.NewLine();
      for (int p = 0; p < scenario.NumPollutants; ++p) {
        line.Put(FileSingle(out.Check()(sink.Mass[p], "Mass")));
        line.Put(sep);
        line.Put(FileSingle(out.Check()(sink.ka[p], "ka")));
        line.Put(sep);
        line.Put(FileSingle(out.Check()(sink.kd[p], "kd")));
        line.NewLine();
      }
    }
  }
  return item_file::Save(file_name, out, prompt);
}

bool ReadGeneralSinkFile(ScenarioRecord& scenario, int num_rooms, char separator,
                         const std::string& file_name, Prompt& prompt) {
  if (!RoomsFit(num_rooms) || !PollutantsFit(scenario.NumPollutants)) return false;
  auto scratch = scenario.Sinks;
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        for (int r = 1; r <= num_rooms; ++r) {
          const int sinks = SinkSlotCount(scenario, r);
          for (int s = 1; s <= sinks; ++s) {
            SinkRecord& sink = scratch[r][s];
            // The name may hold the separator itself: the area is after the last one.
            const std::string head = in.Line();
            const std::size_t at = head.rfind(separator);
            if (at == std::string::npos) throw Damaged{};
            sink.Name = head.substr(0, at);
            sink.Area = JoinedReal(std::string_view(head).substr(at + 1));
            for (int p = 0; p < scenario.NumPollutants; ++p) {
              const std::string values = in.Line();
              const auto parts = SplitAt(values, separator);
              if (parts.size() != 3) throw Damaged{};
              sink.Mass[p] = JoinedReal(parts[0]);
              sink.ka[p] = JoinedReal(parts[1]);
              sink.kd[p] = JoinedReal(parts[2]);
            }
          }
        }
        in.ExpectEnd();  // a file of another building shape would fill the wrong sinks
      })) {
    return false;
  }
  scenario.Sinks = std::move(scratch);
  return true;
}

// ---- steady HVAC flows ----

bool WriteHVACFlowFile(const std::vector<double>& cells, int num_rooms,
                       const std::string& file_name, Prompt& prompt) {
  if (!RoomsFit(num_rooms)) return false;
  const std::size_t count = static_cast<std::size_t>(num_rooms + 1) * kHVACColumns;
  if (cells.size() != count) return false;
  Output out;
  for (double value : cells) out.Double(value, "HVACFlow");
  return item_file::Save(file_name, out, prompt);
}

std::optional<std::vector<double>> ReadHVACFlowFile(int num_rooms, const std::string& file_name,
                                                    Prompt& prompt) {
  if (!RoomsFit(num_rooms)) return std::nullopt;
  std::vector<double> cells(static_cast<std::size_t>(num_rooms + 1) * kHVACColumns);
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        for (double& cell : cells) cell = in.Double();
      })) {
    return std::nullopt;
  }
  return cells;
}

// ---- HVAC flow history ----

bool WriteHVACFlowHistoryFile(ScenarioRecord& scenario, bool outdoor_flows_option,
                              bool cycle_option, const std::string& file_name, Prompt& prompt) {
  scenario.HVACHistoryOutdoorOnly = outdoor_flows_option ? 1 : 0;
  scenario.HVACHistoryCycle = cycle_option ? "Y" : "N";
  Output out;
  out.Integer(scenario.HVACHistoryOutdoorOnly);
  out.Text(scenario.HVACHistoryCycle.str());
  for (int t = 1; t <= kMaxHistory; ++t) {
    out.Pair(scenario.HVACHistoryTime[t], scenario.HVACHistoryFraction[t], "HVACHistoryTime",
             "HVACHistoryFraction");
  }
  return item_file::Save(file_name, out, prompt);
}

bool ReadHVACFlowHistoryFile(ScenarioRecord& scenario, const std::string& file_name,
                             Prompt& prompt) {
  int16_t outdoor_only = 0;
  FixedString<1> cycle;
  History times = scenario.HVACHistoryTime;
  History fractions = scenario.HVACHistoryFraction;
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        outdoor_only = in.Integer();
        in.Flag(cycle);
        for (int t = 1; t <= kMaxHistory; ++t) {
          in.Real(times[t]);
          in.Real(fractions[t]);
        }
      })) {
    return false;
  }
  scenario.HVACHistoryOutdoorOnly = outdoor_only;
  scenario.HVACHistoryCycle = cycle;
  scenario.HVACHistoryTime = times;
  scenario.HVACHistoryFraction = fractions;
  return true;
}

// ---- ventilation ----

bool WriteVentilationFile(const std::vector<TimeValue>& points, const std::string& file_name,
                          Prompt& prompt) {
  Output out;
  const std::size_t count = std::min<std::size_t>(points.size(), kMaxHistory);
  for (std::size_t i = 0; i < count; ++i) {
    out.Pair(points[i].first, points[i].second, "VentTime", "VentRate");
  }
  return item_file::Save(file_name, out, prompt);
}

std::optional<std::vector<TimeValue>> ReadVentilationFile(ScenarioRecord& scenario,
                                                          const std::string& file_name,
                                                          Prompt& prompt) {
  std::vector<TimeValue> rows;
  bool too_many = false;
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        while (!in.Ended()) {
          if (rows.size() == static_cast<std::size_t>(kMaxHistory)) {
            too_many = true;
            return;
          }
          const float time = in.Real();
          const float rate = in.Real();
          rows.emplace_back(time, rate);
        }
      })) {
    return std::nullopt;
  }
  // Dropping the further points would run a different history from the one in the file.
  if (too_many) {
    TellTooManyPoints(prompt, file_name);
    return std::nullopt;
  }
  // Older points after the file's last would still be run though the window hides them.
  for (int i = 1; i <= kMaxHistory; ++i) {
    const auto k = static_cast<std::size_t>(i - 1);
    scenario.VentTime[i] = k < rows.size() ? rows[k].first : 0.0f;
    scenario.VentRate[i] = k < rows.size() ? rows[k].second : 0.0f;
  }
  return rows;
}

// ---- outdoor and room flows ----

bool WriteOutdoorFlowFile(const ScenarioRecord& scenario, int num_rooms,
                          const std::string& file_name, Prompt& prompt) {
  if (!RoomsFit(num_rooms)) return false;
  Output out;
  for (int r = 1; r <= num_rooms; ++r) {
    out.Real(scenario.NaturalFromOutdoors[r], "NaturalFromOutdoors");
    out.Real(scenario.NaturalToOutdoors[r], "NaturalToOutdoors");
    out.Real(scenario.HVACSupply[r], "HVACSupply");
    out.Real(scenario.HVACReturn[r], "HVACReturn");
    out.Real(scenario.HVACExhaust[r], "HVACExhaust");
    for (int j = 1; j <= num_rooms; ++j) {
      if (j == r) continue;
      out.Real(scenario.NaturalRoomFlows[r][j], "NaturalRoomFlows");
      out.Real(scenario.HVACRoomFlows[r][j], "HVACRoomFlows");
    }
  }
  return item_file::Save(file_name, out, prompt);
}

std::optional<NaturalOutdoorFlows> ReadOutdoorFlowFile(int num_rooms, const std::string& file_name,
                                                       Prompt& prompt) {
  if (!RoomsFit(num_rooms)) return std::nullopt;
  // The file holds no count: its length alone tells the building it was written for.
  const auto per_room = static_cast<std::size_t>(2 * num_rooms + 3);
  const std::size_t expected = static_cast<std::size_t>(num_rooms) * per_room;
  std::vector<float> values;
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        // One number past the count already shows another building's file.
        while (values.size() <= expected && !in.Ended()) values.push_back(in.Real());
      })) {
    return std::nullopt;
  }
  if (values.size() != expected) {
    prompt.Message("Error.  " + file_name + " is not a flow file for this building.", "Error",
                   MessageIcon::Critical);
    return std::nullopt;
  }
  NaturalOutdoorFlows flows;
  for (int r = 1; r <= num_rooms; ++r) {
    const std::size_t first = static_cast<std::size_t>(r - 1) * per_room;
    flows.entering[r] = values[first];
    flows.leaving[r] = values[first + 1];
  }
  return flows;
}

// ---- risk data ----

bool WriteRiskDataFile(const ScenarioRecord& scenario, const std::string& file_name,
                       Prompt& prompt) {
  const PollutantRecord& pollutant = scenario.Pollutants[0];
  Output out;
  out.Text(pollutant.Name);
  out.Real(pollutant.IrritantConc, "IrritantConc");
  out.Real(pollutant.CancerRisk, "CancerRisk");
  out.Text(pollutant.Comments);
  return item_file::Save(file_name, out, prompt);
}

bool ReadRiskDataFile(ScenarioRecord& scenario, int pollutant, const std::string& file_name,
                      Prompt& prompt) {
  if (pollutant < 0 || pollutant >= kMaxPollutants) return false;
  PollutantRecord scratch = scenario.Pollutants[pollutant];
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        scratch.Name = in.Text();
        in.Real(scratch.IrritantConc);
        in.Real(scratch.CancerRisk);
        scratch.Comments = in.Text();
      })) {
    return false;
  }
  scenario.Pollutants[pollutant] = std::move(scratch);
  return true;
}

// ---- filter file ----

bool WriteFilterFile(const ScenarioRecord& scenario, const std::string& file_name, Prompt& prompt) {
  if (!PollutantsFit(scenario.NumPollutants)) return false;
  Output out;
  LineWriter& line = out.Line();
  for (int p = 0; p < scenario.NumPollutants; ++p) {
    line.PutZoned(scenario.Pollutants[p].Name);
    line.Put(FileSingle(out.Check()(scenario.FilterPenetration[0][p], "FilterPenetration")));
    line.NewLine();
  }
  return item_file::Save(file_name, out, prompt);
}

bool ReadFilterFile(ScenarioRecord& scenario, const std::string& file_name, Prompt& prompt) {
  if (!PollutantsFit(scenario.NumPollutants)) return false;
  const int np = scenario.NumPollutants;
  std::vector<std::string> names(np);
  std::vector<float> penetrations(np);
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        for (int p = 0; p < np; ++p) {
          const std::string text = in.Line();
          const std::string_view line = item_file::Trim(text);
          const std::size_t blank = line.find_last_of(" \t");
          const std::string_view number =
              blank == std::string_view::npos ? line : line.substr(blank + 1);
          const std::string_view name =
              blank == std::string_view::npos ? std::string_view() : line.substr(0, blank);
          penetrations[p] = JoinedReal(number);
          names[p] = std::string(item_file::Trim(name));
        }
      })) {
    return false;
  }
  for (int p = 0; p < np; ++p) {
    scenario.Pollutants[p].Name = names[p];
    scenario.FilterPenetration[0][p] = penetrations[p];
  }
  return true;
}

// ---- penetration file ----

bool ReadPenetrationFile(ScenarioRecord& scenario, PerPollutant<float>& particle_diameters,
                         const std::string& file_name, Prompt& prompt) {
  if (!PollutantsFit(scenario.NumPollutants)) return false;
  PerPollutant<float> diameters = particle_diameters;
  PerPollutant<float> penetration = scenario.BuildingPenetration;
  if (!ReadItems(file_name, prompt, [&](Input& in) {
        for (int p = 0; p < scenario.NumPollutants; ++p) {
          in.Real(diameters[p]);
          in.Real(penetration[p]);
        }
      })) {
    return false;
  }
  particle_diameters = diameters;
  scenario.BuildingPenetration = penetration;
  return true;
}

}  // namespace quarn
