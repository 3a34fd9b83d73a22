#pragma once

#include <string>
#include <string_view>

namespace quarn {

// Which reader the scenario editor's Open hands a file to, by the file's first item.
enum class ScenarioLayout {
  Current,  // "V1.96" and later: NewReadScenario
  Older,    // "V1.95", "V1.92", "V1.9", "V1.8", "NEWEST", "New" and files with no marker:
            // ReadScenarioFile
};

// The version number of a first item: a capital "V" followed by digits with at most one
// point, times 100, rounded half to even ("V1.96" 196, "V1.95" 195, "V1.9" 190); 0 for any
// other item, so that a scenario name such as "R2 test" on the first line of an unmarked
// file is no version.
int ScenarioVersionNumber(std::string_view first_item);

// Current when the version number is at least 196, Older otherwise.
ScenarioLayout ScenarioLayoutFor(std::string_view first_item);

// The first item of the file (up to the first comma or line end, quotes removed) and its
// layout. A file that cannot be read goes to the older reader, which reports it.
ScenarioLayout ScenarioLayoutOfFile(const std::string& file_name);

}  // namespace quarn
