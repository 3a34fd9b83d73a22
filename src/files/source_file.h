#pragma once

#include <string>

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// Source files (".SOR"): one source record as text, one item a line, so that a source
// defined once can be loaded into another room or scenario. Two layouts share the
// extension and do not read each other's files. Neither holds a pollutant count: the
// caller passes Scenario.NumPollutants, and a file reads correctly only with the count it
// was saved with.
//
// Readers fill a copy and replace `source` only when the whole file was read; a missing or
// damaged file, or a stored cycle count, model or unit code past its table, gives a message
// and leaves `source` unchanged. Writers replace the file only when the new one is complete.

// The room-source layout of the room-source window, in the item order of one source of the
// scenario file: Name, Model, EmissionUnits, Size, CycleRepeats, NumCycles, GasVelocity,
// the on/off times of each cycle, TotalMass, SourceValue, Params (row by row, pollutants
// inner) and RawParam3 per pollutant. No extension is added.
bool WriteRoomSourceFile(int num_pollutants, const SourceRecord& source,
                         const std::string& file_name, Prompt& prompt);
// After a true result the window shows the record (ShowRoomSource) and sets its grid-edit
// flag.
bool ReadRoomSourceFile(int num_pollutants, SourceRecord& source, const std::string& file_name,
                        Prompt& prompt);

// The HVAC-source layout: Name, Size, GasVelocity, SourceUnitsCode, SourceFactor,
// NumCycles, the cycle times, CycleRepeats, Model, then per pollutant the eleven Params,
// ParamPerMole, ModelWork1, ModelWork2, SourceWork1, SourceValue and ScaledMass (the last
// two are scalars, repeated in every block; the last block's values are kept).
// A file name whose last part holds no "." gets ".SOR", in the caller's variable itself.
bool WriteSourceFile(std::string& file_name, int num_pollutants, const SourceRecord& source,
                     Prompt& prompt);
bool ReadSourceFile(std::string& file_name, int num_pollutants, SourceRecord& source,
                    Prompt& prompt);

// Appends `extension` when the file name (the part after the last folder separator) holds
// no ".".
void AddExtensionIfNone(std::string& file_name, const std::string& extension);

}  // namespace quarn
