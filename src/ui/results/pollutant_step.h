#pragma once

#include <optional>
#include <string>

class QLineEdit;

namespace quarn {

struct ScenarioRecord;

// The pollutant a spinner click brings up from the text of a pollutant box: the number
// (not a number counts as 0) brought into 0 to count - 1, then one step within those
// bounds; nullopt when that is the pollutant the box already shows.
std::optional<int> SteppedPollutant(const std::string& box_text, int count, int step);

// A spinner click beside the pollutant box of a results window: the box shows the pollutant
// brought up, which is returned so that the window shows it; nullopt when nothing changed.
std::optional<int> StepPollutantBox(QLineEdit& box, const ScenarioRecord& scenario, int step);

}  // namespace quarn
