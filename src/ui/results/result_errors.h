#pragma once

#include <string>
#include <string_view>

namespace quarn {

// The numbers under which the results windows have always reported a failure that stops
// a fill, so that a user's "Error 53" means what it meant before.
enum class ResultError {
  Overflow = 6,         // a number too large for its field
  IndexOutOfRange = 9,  // a field or index a line or record does not have
  TypeMismatch = 13,    // a text where a number stands
  FileNotFound = 53,    // a work file that is not there
  InputPastEnd = 62,    // a file that ends inside a record
  PathFileAccess = 75,  // a file that is there but cannot be opened
};

// "Error " and the number, then `context` as it stands (" in Bar plot program.").
std::string ResultErrorText(ResultError error, std::string_view context = {});

}  // namespace quarn
