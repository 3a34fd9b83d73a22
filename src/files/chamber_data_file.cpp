#include "files/chamber_data_file.h"

#include "files/item_file.h"
#include "text/number_text.h"

namespace quarn {

bool WriteChamberDataFile(const std::string& file_name, const ChamberDataRecord& record,
                          float fitted_r0, float fitted_k, Prompt& prompt) {
  item_file::Output out;
  out.Line().PutZoned(FileSingle(out.Check()(record.Volume, "Volume")));
  out.Pair(record.AirChangeRate, record.SourceArea, "AirChangeRate", "SourceArea");
  out.Pair(record.PeakConc, record.PeakTime, "PeakConc", "PeakTime");
  const int n = ChamberPointCount(record);
  out.Integer(n);
  for (int i = 1; i <= n; ++i) out.Pair(record.Times[i], record.Concs[i], "Times", "Concs");
  out.Real(fitted_r0, "R0");
  out.Real(fitted_k, "k");
  return item_file::Save(file_name, out, prompt);
}

std::optional<ChamberFileContents> ReadChamberDataFile(const std::string& file_name,
                                                       Prompt& prompt) {
  const std::optional<std::string> bytes = item_file::Load(file_name, prompt);
  if (!bytes) return std::nullopt;
  item_file::Input in(*bytes);
  auto real = [&] { return in.Real(); };
  ChamberFileContents contents;
  ChamberDataRecord& read = contents.record;
  try {
    read.Volume = real();
    read.AirChangeRate = real();
    read.SourceArea = real();
    read.PeakConc = real();
    read.PeakTime = real();
    read.NumPoints = in.Bounded(0, kMaxChamberPoints);
    for (int i = 1; i <= read.NumPoints; ++i) {
      read.Times[i] = real();
      read.Concs[i] = real();
    }
    if (!in.Ended()) {
      contents.fitted_r0 = real();
      contents.fitted_k = real();
    }
  } catch (const item_file::Damaged&) {
    item_file::TellDamaged(prompt, file_name, in.LineNumber());
    return std::nullopt;
  }
  return contents;
}

}  // namespace quarn
