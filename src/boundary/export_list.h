/* Every export with its ordinal in the Windows DLLs and its argument bytes
 * under 32-bit __stdcall. The Windows module definitions are generated from
 * this list, and the acceptance programs resolve each export from it.
 * X(name, ordinal, argument bytes), one family per line below. */
#ifndef LORVEX_EXPORT_LIST_H
#define LORVEX_EXPORT_LIST_H

#define LORVEX_BOND_EXPORTS(X) X(HW_BondPrice, 4, 40)

#define LORVEX_BLACK_EXPORTS(X) X(HW_BlackBondOption, 1, 72) X(HW_BlackCap, 2, 60) X(HW_BlackSwapOption, 3, 60)

#define LORVEX_HULLWHITE_EXPORTS(X) X(HW_HullWhiteBondOption, 8, 80) X(HW_HullWhiteCap, 9, 68) X(HW_HullWhiteSwapOption, 10, 68)

#define LORVEX_TREE_EXPORTS(X) X(HW_TreeBondOption, 12, 92) X(HW_TreeBondDisplay, 11, 100)

#define LORVEX_TREE_PRICING_EXPORTS(X) X(HW_BondTreeRateDelta, 5, 52) X(HW_CapTreeRateDelta, 6, 56) X(HW_TreeCap, 13, 76) X(HW_TreeSwapOption, 15, 76)

#define LORVEX_EQUITY_EXPORTS(X) X(HW_TreeEquityOpt, 14, 84) X(HW_EquityTreeDisplay, 7, 80)

#define LORVEX_EXOTIC_EXPORTS(X)                                                   \
  X(HW_avgopt_compute, 16, 72) X(HW_barrier_compute, 17, 68) X(HW_binary_compute, 18, 68) \
  X(HW_chooser_compute, 19, 60) X(HW_compound_compute, 20, 76) X(HW_lookback_compute, 21, 64)

#define LORVEX_EXPORT_LIST(X)                                                    \
  LORVEX_BOND_EXPORTS(X) LORVEX_BLACK_EXPORTS(X) LORVEX_HULLWHITE_EXPORTS(X)     \
  LORVEX_TREE_EXPORTS(X) LORVEX_TREE_PRICING_EXPORTS(X) LORVEX_EQUITY_EXPORTS(X) \
  LORVEX_EXOTIC_EXPORTS(X)

#endif
