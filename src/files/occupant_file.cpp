#include "files/occupant_file.h"

#include <cmath>
#include <limits>

#include "files/item_file.h"
#include "text/number_read.h"

namespace quarn {

namespace {

using item_file::Damaged;
using item_file::Input;
using item_file::Output;

void ReadEntry(Input& in, OccupantRecord& o, int e, float time_enter) {
  o.TimeEnter[e] = time_enter;
  in.Real(o.TimeLeave[e]);
  o.Location[e] = in.Text();
  in.Real(o.LocationRoom[e]);
}

float LeadingReal(const std::string& text) {
  const std::optional<float> single = AsSingle(LeadingNumber(text));
  if (!single) throw Damaged{};
  return *single;
}

}  // namespace

bool WriteActivityFile(const OccupantRecord& occupant, const std::string& file_name,
                       Prompt& prompt) {
  Output out;
  out.Text(occupant.Name);
  for (int e = 1; e <= kMaxSchedule; ++e) {
    // Entry 1 always belongs to the schedule; a later entry entered at time 0 ends it.
    if (e > 1 && occupant.TimeEnter[e] == 0.0f) break;
    out.Real(occupant.TimeEnter[e], "TimeEnter");
    out.Real(occupant.TimeLeave[e], "TimeLeave");
    out.Text(occupant.Location[e]);
    out.Real(occupant.LocationRoom[e], "LocationRoom");
  }
  out.Raw("DONE");
  out.Real(occupant.BreathingRate, "BreathingRate");
  out.Real(occupant.EfficiencyFactor, "EfficiencyFactor");
  out.Real(occupant.StartTime, "StartTime");
  out.Real(occupant.EndTime, "EndTime");
  out.Real(occupant.CycleLength, "CycleLength");
  out.Real(occupant.Lifetime, "Lifetime");
  out.Real(occupant.Population, "Population");
  out.Real(occupant.Weight, "Weight");
  return item_file::Save(file_name, out, prompt);
}

bool ReadOccupantFile(ScenarioRecord& scenario, int occupant, const std::string& file_name,
                      Prompt& prompt) {
  if (occupant < 1 || occupant > kMaxOccupants) return false;
  const std::optional<std::string> bytes = item_file::Load(file_name, prompt);
  if (!bytes) return false;
  Input in(*bytes);
  OccupantRecord o = scenario.Occupants[occupant];
  try {
    o.Name = in.Text();
    o.Number = static_cast<int16_t>(occupant);
    const float first_enter = in.Real();
    ReadEntry(in, o, 1, first_enter);
    int last = 1;
    for (;;) {
      // The field after an entry is the next entry's TimeEnter, or the end line ("DONE",
      // "0", an empty line: anything whose leading number is 0).
      const float next = LeadingReal(in.Text());
      if (next == 0.0f) break;
      // A 25th entry has no place in the schedule.
      if (last == kMaxSchedule) throw Damaged{};
      ++last;
      ReadEntry(in, o, last, next);
    }
    for (int e = last + 1; e <= kMaxSchedule; ++e) {
      o.TimeEnter[e] = 0;
      o.TimeLeave[e] = 0;
      o.Location[e].clear();
      o.LocationRoom[e] = 0;
    }
    in.Real(o.BreathingRate);
    in.Real(o.EfficiencyFactor);
    in.Real(o.StartTime);
    // Older files end here or after CycleLength.
    if (!in.Ended()) {
      in.Real(o.EndTime);
      in.Real(o.CycleLength);
    }
    if (!in.Ended()) {
      in.Real(o.Lifetime);
      in.Real(o.Population);
      in.Real(o.Weight);
    }
  } catch (const Damaged&) {
    item_file::TellDamaged(prompt, file_name, in.LineNumber());
    return false;
  }
  scenario.Occupants[occupant] = std::move(o);
  return true;
}

}  // namespace quarn
