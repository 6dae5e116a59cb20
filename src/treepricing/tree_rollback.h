// The one backward induction of every tree pricer.
//
// The lattice is read-only; an instrument owns nothing of it and says only
// what happens at a level: an exercise decision, a caplet settling, a
// value recorded for the display. The rollback keeps two levels of values:
// from the expiry level (where the values start at 0) down to the root,
// each level's values are first the discounted expected values of the
// level after it (RollbackLevel) and then whatever the instrument makes of
// them. The level's rates, discounts and branching are loaded once
// (LatticeLevel) and handed to the instrument, whose node curves read the
// same numbers. A new tree instrument is one class with one function.
#pragma once

#include "hwtree/hull_white_tree.h"
#include "hwtree/lattice_level.h"

namespace lorvex {

class TreeInstrument {
 public:
  virtual ~TreeInstrument() = default;
  // On entry values[j] (j < level.count) holds the value of holding node j
  // of the level for one more step (0 on the expiry level); on return the
  // node's value. False stops the induction: the instrument could not
  // value the level (a node curve that could not be built).
  virtual bool AdjustValues(const LatticeLevel& level, double* values) = 0;
};

// Rolls the instrument back from the tree's expiry level to the root and
// returns the root's value; 0 when the tree is unusable or the instrument
// stopped.
double RollBack(const HullWhiteTree& tree, TreeInstrument& instrument);

}  // namespace lorvex
