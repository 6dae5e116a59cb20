// One loop for the library's one-dimensional root searches (Newton's method
// and the secant method): the caller's step rule says where the next point
// is and whether the search is over; the loop counts the steps and enforces
// the limit. Each search keeps its documented behaviour (its own limit,
// tolerance and step, including a last step taken after the tolerance is
// met), so the rule, not the loop, decides what a step does.
#pragma once

namespace lorvex {

// What a step rule returns: the next point, and whether the search stops
// there (kDone: converged; kFailed: the point cannot be used).
struct IterationStep {
  enum Outcome { kContinue, kDone, kFailed };
  double next;
  Outcome outcome;
};

struct IterationResult {
  double point;    // the last point stepped to (the start when no step ran)
  int steps;       // steps taken
  bool converged;  // false: failed, or the limit reached first
};

// From `start`, applies `rule(x) -> IterationStep` at most maxSteps times.
template <class StepRule>
IterationResult Iterate(double start, int maxSteps, StepRule rule) {
  double x = start;
  int n = 0;
  while (n < maxSteps) {
    const IterationStep s = rule(x);
    x = s.next;
    ++n;
    if (s.outcome != IterationStep::kContinue) return {x, n, s.outcome == IterationStep::kDone};
  }
  return {x, n, false};
}

}  // namespace lorvex
