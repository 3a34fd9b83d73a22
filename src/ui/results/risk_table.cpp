#include "ui/results/risk_table.h"

#include <utility>

#include "files/database_service.h"
#include "files/reference_data.h"
#include "platform/data_control.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/main_context.h"

namespace quarn {

namespace {

constexpr const char* kTable = "PollutantList";
constexpr const char* kPollutantField = "Pollutant";

bool IsNumberField(const std::string& field) {
  return field == "IrritantConcentration" || field == "OdorConcentration" ||
         field == "ThresholdConcentration" || field == "CancerRisk";
}

// The database's own number text in the program's plain form; a text that is no number, a
// Null included, stays as it is.
std::string PlainNumber(const std::string& text) {
  const std::optional<float> single = ParseSingle(text);
  return single ? FormatSingle(*single) : text;
}

}  // namespace

std::optional<JetTable> ReadRiskTable(MainContext& ctx, const std::string& file, bool report) {
  DatabaseTable read = ctx.database.ReadTable(file, kTable);
  if (!read.table) {
    if (report) ShowTableNotRead(read, file, kTable, ctx.prompt);
    return std::nullopt;
  }
  JetTable& table = *read.table;
  for (size_t c = 0; c < table.columns.size(); ++c) {
    if (!IsNumberField(table.columns[c])) continue;
    for (auto& row : table.rows) {
      if (c < row.size()) row[c] = PlainNumber(row[c]);
    }
  }
  return std::move(read.table);
}

void ShowRecords(DataControl& data, JetTable table) {
  data.SetRecords(std::move(table.columns), std::move(table.rows));
}

void CaptionFollowsRecord(DataControl& data) {
  QObject::connect(&data, &DataControl::Reposition, &data, [&data] {
    const std::string pollutant = data.Field(kPollutantField);
    data.SetCaption(pollutant.empty() ? "End of data" : pollutant);
  });
}

}  // namespace quarn
