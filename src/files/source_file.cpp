#include "files/source_file.h"

#include <algorithm>

#include "files/item_file.h"
#include "model/records.h"

namespace quarn {

namespace {

using item_file::Damaged;
using item_file::Input;
using item_file::Output;

constexpr int kLastModel = 10;  // emission models 0..10
constexpr int kLastUnits = 2;   // mg/h, µg/h, number/h

bool PollutantCountFits(int num_pollutants) {
  return num_pollutants >= 0 && num_pollutants <= kMaxPollutants;
}

void WriteCycles(Output& out, const SourceRecord& source) {
  // The stored count is the record's; a count past the table writes only the table.
  const int cycles = CycleCount(source);
  for (int c = 1; c <= cycles; ++c) {
    out.Real(source.TimeOn[c], "TimeOn");
    out.Real(source.TimeOff[c], "TimeOff");
  }
}

void ReadCycles(Input& in, SourceRecord& source) {
  for (int c = 1; c <= source.NumCycles; ++c) {
    in.Real(source.TimeOn[c]);
    in.Real(source.TimeOff[c]);
  }
}

// Reads the file into a copy of `source` with `fill`, and hands it over only when the whole
// layout was read.
template <class Fill>
bool ReadInto(const std::string& file_name, SourceRecord& source, Prompt& prompt, Fill fill) {
  const std::optional<std::string> bytes = item_file::Load(file_name, prompt);
  if (!bytes) return false;
  Input in(*bytes);
  SourceRecord scratch = source;
  try {
    fill(in, scratch);
  } catch (const Damaged&) {
    item_file::TellDamaged(prompt, file_name, in.LineNumber());
    return false;
  }
  source = std::move(scratch);
  return true;
}

}  // namespace

void AddExtensionIfNone(std::string& file_name, const std::string& extension) {
  const std::size_t slash = file_name.find_last_of("/\\");
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  if (file_name.find('.', start) == std::string::npos) file_name += extension;
}

bool WriteRoomSourceFile(int num_pollutants, const SourceRecord& source,
                         const std::string& file_name, Prompt& prompt) {
  if (!PollutantCountFits(num_pollutants)) return false;
  Output out;
  out.Text(source.Name);
  out.Integer(source.Model);
  out.Integer(source.EmissionUnits);
  out.Real(source.Size, "Size");
  out.Text(source.CycleRepeats.str());
  out.Integer(CycleCount(source));
  out.Real(source.GasVelocity, "GasVelocity");
  WriteCycles(out, source);
  out.Real(source.TotalMass, "TotalMass");
  out.Real(source.SourceValue, "SourceValue");
  for (int k = 0; k < kNumParams; ++k) {
    for (int p = 0; p < num_pollutants; ++p) out.Real(source.Params[k][p], "Params");
  }
  for (int p = 0; p < num_pollutants; ++p) out.Real(source.RawParam3[p], "RawParam3");
  return item_file::Save(file_name, out, prompt);
}

bool ReadRoomSourceFile(int num_pollutants, SourceRecord& source, const std::string& file_name,
                        Prompt& prompt) {
  if (!PollutantCountFits(num_pollutants)) return false;
  return ReadInto(file_name, source, prompt, [num_pollutants](Input& in, SourceRecord& s) {
    s.Name = in.Text();
    s.Model = in.Bounded(0, kLastModel);
    s.EmissionUnits = in.Bounded(0, kLastUnits);
    in.Real(s.Size);
    in.Flag(s.CycleRepeats);
    s.NumCycles = in.Bounded(0, kMaxCycles);
    in.Real(s.GasVelocity);
    ReadCycles(in, s);
    in.Real(s.TotalMass);
    in.Real(s.SourceValue);
    for (int k = 0; k < kNumParams; ++k) {
      for (int p = 0; p < num_pollutants; ++p) in.Real(s.Params[k][p]);
    }
    for (int p = 0; p < num_pollutants; ++p) in.Real(s.RawParam3[p]);
    // The layout runs parameter by parameter: an item left over means every value above was
    // read for the wrong pollutant count.
    in.ExpectEnd();
  });
}

bool WriteSourceFile(std::string& file_name, int num_pollutants, const SourceRecord& source,
                     Prompt& prompt) {
  if (!PollutantCountFits(num_pollutants)) return false;
  AddExtensionIfNone(file_name, ".SOR");
  Output out;
  out.Text(source.Name);
  out.Real(source.Size, "Size");
  out.Real(source.GasVelocity, "GasVelocity");
  out.Integer(source.SourceUnitsCode);
  out.Real(source.SourceFactor, "SourceFactor");
  out.Integer(CycleCount(source));
  WriteCycles(out, source);
  out.Text(source.CycleRepeats.str());
  out.Integer(source.Model);
  for (int p = 0; p < num_pollutants; ++p) {
    for (int k = 0; k < kNumParams; ++k) out.Real(source.Params[k][p], "Params");
    out.Real(source.ParamPerMole[p], "ParamPerMole");
    out.Real(source.ModelWork1[p], "ModelWork1");
    out.Real(source.ModelWork2[p], "ModelWork2");
    out.Real(source.SourceWork1[p], "SourceWork1");
    out.Real(source.SourceValue, "SourceValue");
    out.Real(source.ScaledMass, "ScaledMass");
  }
  return item_file::Save(file_name, out, prompt);
}

bool ReadSourceFile(std::string& file_name, int num_pollutants, SourceRecord& source,
                    Prompt& prompt) {
  if (!PollutantCountFits(num_pollutants)) return false;
  AddExtensionIfNone(file_name, ".SOR");
  return ReadInto(file_name, source, prompt, [num_pollutants](Input& in, SourceRecord& s) {
    s.Name = in.Text();
    in.Real(s.Size);
    in.Real(s.GasVelocity);
    s.SourceUnitsCode = in.Integer();
    in.Real(s.SourceFactor);
    s.NumCycles = in.Bounded(0, kMaxCycles);
    ReadCycles(in, s);
    in.Flag(s.CycleRepeats);
    s.Model = in.Bounded(0, kLastModel);
    for (int p = 0; p < num_pollutants; ++p) {
      for (int k = 0; k < kNumParams; ++k) in.Real(s.Params[k][p]);
      in.Real(s.ParamPerMole[p]);
      in.Real(s.ModelWork1[p]);
      in.Real(s.ModelWork2[p]);
      in.Real(s.SourceWork1[p]);
      in.Real(s.SourceValue);
      in.Real(s.ScaledMass);
    }
  });
}

}  // namespace quarn
