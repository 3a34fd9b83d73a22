#pragma once

#include <optional>
#include <string>

#include "files/jet_database.h"

namespace quarn {

class DataControl;
struct MainContext;

// The reference table of pollutant risk factors that the two risk database windows show.

// The file's risk table with its numbers in plain form; nullopt when the file does not open
// as a database or holds no such table, after a message when `report` is set.
std::optional<JetTable> ReadRiskTable(MainContext& ctx, const std::string& file, bool report);

// The table's records become the data control's.
void ShowRecords(DataControl& data, JetTable table);

// The data control's caption names its record's pollutant, "End of data" a record without.
void CaptionFollowsRecord(DataControl& data);

}  // namespace quarn
