#include "ui/results/pollutant_step.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "model/records.h"
#include "platform/qt_text.h"
#include "text/number_read.h"

namespace quarn {

std::optional<int> SteppedPollutant(const std::string& box_text, int count, int step) {
  if (count < 1) return std::nullopt;
  const double typed = LeadingNumber(box_text);
  const double within =
      std::isnan(typed) ? 0.0 : std::clamp(typed, 0.0, static_cast<double>(count - 1));
  const int p = std::clamp(static_cast<int>(std::nearbyint(within)) + step, 0, count - 1);
  if (p == typed) return std::nullopt;
  return p;
}

std::optional<int> StepPollutantBox(QLineEdit& box, const ScenarioRecord& scenario, int step) {
  const int count = PollutantCount(scenario);
  const auto p = SteppedPollutant(FromQt(box.text()), count, step);
  if (p) box.setText(ToQt(std::to_string(*p)));
  return p;
}

}  // namespace quarn
