#pragma once

#include <cstdint>

namespace quarn {

// The clock of a concentration run: the grid of steps, where a step ends early, how the
// step grows and shrinks, and when a record is due.
//
// The grid counts whole steps of one size from the last change of step, each step taken as
// the decimal number it shows (0.1, not 0.100000001), so that n steps reach n × step
// exactly instead of drifting as a running Single sum does. A step ends at the next point of
// the grid, or earlier on the next change of an input (a source's switch, a point of an
// outdoor, ventilation or HVAC history, the managed period) and on the end of the run; after
// such a step the grid goes on where it was. A change within the tolerance of a step's
// boundary takes effect there.
//
// Records follow the output rule: one is due when some concentration moved by more than the
// change threshold in a step, or when a step starts after the output time, which lies
// `multiplier` steps after the last output base (20 until the first step is done, 2 from
// then on and after every change of the step).
class RunClock {
 public:
  // stepSize is the smallest step (h), longestStep the most it may grow to, runEnd the end
  // of the simulated period (0 or less when none was given); a change within `tolerance` of
  // a step boundary takes effect on it.
  RunClock(float step_size, float longest_step, float run_end, double tolerance);

  struct Plan {
    double start = 0;
    double end = 0;
    bool regular = true;     // from one point of the grid to the next
    bool last = false;       // it ends the simulated period
    bool at_change = false;  // it ends on the change of an input it was asked about
    // The step's length: the grid's own step for a regular step (the difference of its ends
    // may differ from it in the last bit), so that every step of the grid is worked out with
    // one length.
    double length = 0;
    double Length() const { return length; }
  };
  // The next step, given the first change of an input after now (a very large value when
  // none is ahead).
  Plan Next(double next_change) const;
  // The step was taken up to `end`: its planned end, or earlier where something within it
  // (an event the plan could not foresee) ended it.
  void Taken(const Plan& plan, double end);

  double Now() const { return now_; }
  float Time() const { return static_cast<float>(now_); }  // the time the work file shows
  float Step() const { return step_; }
  float StepSize() const { return step_size_; }
  double Tolerance() const { return tolerance_; }

  // The step grows by `factor`, to at most the longest step.
  void Grow(float factor);
  // Halves a grown step (after a block of records is written).
  void Halve();
  // A grown step goes back to the smallest when the next `steps` steps would reach `change`.
  void CutBackAhead(double change, int steps);

  // The output rule, asked after every step with the step's start: true when its interval
  // has passed.
  bool IntervalPassed(double start);
  // A record was written: the next output time lies `multiplier` steps after the base.
  void Recorded();
  // At the end of every step: the first step, and every change of the step, bring the
  // multiplier to 2.
  void StepDone();

 private:
  void SetStep(float step);
  double GridPoint(int64_t count) const;

  float step_size_;
  float longest_step_;
  float run_end_;
  double tolerance_;
  float step_ = 0;
  double grid_base_ = 0;
  double grid_step_ = 0;
  int64_t grid_count_ = 0;  // the grid points passed since the base
  double now_ = 0;
  bool step_changed_ = true;
  float multiplier_ = 20;
  float output_base_ = 0;
  float next_output_ = 0;
};

}  // namespace quarn
