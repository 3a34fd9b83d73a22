#pragma once

#include <optional>
#include <string>

#include "model/chamber_fit.h"
#include "model/prompt.h"

namespace quarn {

// Chamber data file (".dat"), one chamber test: Volume, AirChangeRate and SourceArea on line
// 1 and PeakConc, PeakTime on line 2, each further value at the next 14-column print zone;
// NumPoints; one line per point with its time and concentration in the same zones; then the
// fitted R0 and k, one a line.

// Writes the record's points 1..NumPoints and the fitted values.
bool WriteChamberDataFile(const std::string& file_name, const ChamberDataRecord& record,
                          float fitted_r0, float fitted_k, Prompt& prompt);

// What a chamber data file holds: the test and the R0 and k fitted to it.
struct ChamberFileContents {
  ChamberDataRecord record;
  float fitted_r0 = 0;
  float fitted_k = 0;
};

// Reads the values as one stream of numbers across blanks, commas and line ends, so a file
// typed by hand need not keep the layout; one that ends right after its points gives R0 = k =
// 0. A missing file, more than 1000 points, a text in a number's place or an end before the
// last point gives a message and nullopt.
std::optional<ChamberFileContents> ReadChamberDataFile(const std::string& file_name,
                                                       Prompt& prompt);

}  // namespace quarn
