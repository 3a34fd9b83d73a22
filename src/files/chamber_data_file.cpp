#include "files/chamber_data_file.h"

#include "files/item_file.h"
#include "text/number_text.h"

namespace quarn {

bool WriteChamberDataFile(const std::string& fileName, const ChamberDataRecord& record,
                          float fittedR0, float fittedK, Prompt& prompt) {
  item_file::Output out;
  out.Line().PutZoned(FileSingle(out.Check()(record.Volume, "Volume")));
  out.Pair(record.AirChangeRate, record.SourceArea, "AirChangeRate", "SourceArea");
  out.Pair(record.PeakConc, record.PeakTime, "PeakConc", "PeakTime");
  const int n = ChamberPointCount(record);
  out.Integer(n);
  for (int i = 1; i <= n; ++i) out.Pair(record.Times[i], record.Concs[i], "Times", "Concs");
  out.Real(fittedR0, "R0");
  out.Real(fittedK, "k");
  return item_file::Save(fileName, out, prompt);
}

bool ReadChamberDataFile(const std::string& fileName, ChamberDataRecord& record, float& fittedR0,
                         float& fittedK, Prompt& prompt) {
  std::string bytes;
  if (!item_file::Load(fileName, bytes, prompt)) return false;
  item_file::Input in(bytes);
  auto real = [&] { return in.Real(); };
  ChamberDataRecord read;
  float r0 = 0;
  float k = 0;
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
      r0 = real();
      k = real();
    }
  } catch (const item_file::Damaged&) {
    item_file::TellDamaged(prompt, fileName, in.LineNumber());
    return false;
  }
  record = read;
  fittedR0 = r0;
  fittedK = k;
  return true;
}

}  // namespace quarn
