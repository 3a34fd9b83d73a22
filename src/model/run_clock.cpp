#include "model/run_clock.h"

#include <algorithm>
#include <cmath>

#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {
namespace {

// The decimal number a Single shows at its seven digits: the step the user typed.
double DecimalValue(float value) {
  return ParseNumber(FormatSingle(value)).value_or(static_cast<double>(value));
}

}  // namespace

RunClock::RunClock(float step_size, float longest_step, float run_end, double tolerance)
    : step_size_(step_size), longest_step_(longest_step), run_end_(run_end), tolerance_(tolerance) {
  SetStep(step_size);
  step_changed_ = true;
}

double RunClock::GridPoint(int64_t count) const {
  return grid_base_ + static_cast<double>(count) * grid_step_;
}

RunClock::Plan RunClock::Next(double next_change) const {
  Plan plan;
  plan.start = now_;
  const double grid_end = GridPoint(grid_count_ + 1);
  plan.end = grid_end;
  // After a step that ended off the grid the next one only completes the grid's step.
  plan.regular = now_ == GridPoint(grid_count_);
  if (next_change > now_ + tolerance_ && next_change < grid_end - tolerance_) {
    plan.end = next_change;
    plan.regular = false;
    plan.at_change = true;
  } else if (std::fabs(next_change - grid_end) <= tolerance_) {
    plan.at_change = true;
  }
  // The run covers exactly the simulated period: the step that would pass its end is
  // shortened to land on it, and its record is the last.
  const double run_end = run_end_;
  if (run_end > 0 && plan.end >= run_end - tolerance_) {
    plan.last = true;
    if (plan.end > run_end + tolerance_) {
      plan.end = run_end;
      plan.regular = false;
    }
  }
  plan.length = plan.regular ? grid_step_ : plan.end - plan.start;
  return plan;
}

void RunClock::Taken(const Plan& plan, double end) {
  const double grid_end = GridPoint(grid_count_ + 1);
  if (end == plan.end && plan.end == grid_end) {
    ++grid_count_;
    now_ = grid_end;
  } else {
    now_ = end;
  }
}

void RunClock::SetStep(float step) {
  if (step == step_) return;
  step_ = step;
  grid_step_ = DecimalValue(step);
  grid_base_ = now_;
  grid_count_ = 0;
  step_changed_ = true;
}

void RunClock::Grow(float factor) {
  if (!(step_ < longest_step_)) return;
  SetStep(std::min(step_ * factor, longest_step_));
  multiplier_ = 2;
}

void RunClock::Halve() {
  if (!(step_ > step_size_)) return;
  SetStep(step_ / 2);
  multiplier_ = 2;
}

void RunClock::CutBackAhead(double change, int steps) {
  if (!(step_ > step_size_)) return;
  if (now_ + steps * static_cast<double>(step_) >= change - tolerance_ && now_ < change) {
    SetStep(step_size_);
    multiplier_ = 2;
  }
}

bool RunClock::IntervalPassed(double start) {
  if (!(start > static_cast<double>(next_output_) + tolerance_)) return false;
  output_base_ = next_output_;
  return true;
}

void RunClock::Recorded() {
  next_output_ = step_ * multiplier_ + output_base_;
}

void RunClock::StepDone() {
  if (step_changed_) {
    step_changed_ = false;
    multiplier_ = 2;
  }
}

}  // namespace quarn
