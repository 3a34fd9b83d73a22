#include "ui/results/result_errors.h"

namespace quarn {

std::string ResultErrorText(ResultError error, std::string_view context) {
  std::string text = "Error " + std::to_string(static_cast<int>(error));
  text += context;
  return text;
}

}  // namespace quarn
