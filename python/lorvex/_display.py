"""Tree displays: the nodes of a tree as arrays and DataFrames, and its picture."""
from collections import namedtuple

Lattice = namedtuple("Lattice", "dt discount growth up_probability up down")
Lattice.__doc__ = ("The binomial lattice: dt years per step, discount exp(-r dt), growth exp((r - q) dt), "
                   "up_probability, up and down factors.")


class _Picture:
    def svg(self):
        """The tree as a standalone SVG picture (text)."""
        return self._svg

    def _repr_svg_(self):
        return self._svg

    def save_svg(self, path):
        with open(path, "w", encoding="utf-8") as out:
            out.write(self._svg)


class TreeBondDisplay(_Picture):
    """tree_bond_option's Hull-White tree on at most 10 steps.

    levels    array (levels x 3): time (years), the bond's accrued interest, node count
    nodes     array (nodes x 6): level, node (lowest rate first), option value,
              bond's dirty price, exercise (1 exercised, -1 held), one-step short rate
    branches  array (nodes of the level before expiry x 3): up, middle, down probabilities
    """

    def __init__(self, result):
        self.levels = result["levels"]
        self.nodes = result["nodes"]
        self.branches = result["branches"]
        self._svg = result["svg"]

    @property
    def value(self):
        """The option's value today (the root node's)."""
        return float(self.nodes[0, 2])

    def nodes_frame(self):
        import pandas as pd
        frame = pd.DataFrame(self.nodes, columns=["level", "node", "value", "bond_price", "exercise", "rate"])
        return frame.astype({"level": int, "node": int, "exercise": int})

    def levels_frame(self):
        import pandas as pd
        return pd.DataFrame(self.levels, columns=["time", "accrued", "nodes"]).astype({"nodes": int})

    def __repr__(self):
        return f"<lorvex.TreeBondDisplay: {len(self.levels)} levels, {len(self.nodes)} nodes, value {self.value:.6g}>"


class EquityTreeDisplay(_Picture):
    """The whole binomial stock tree of equity_option.

    nodes    array (nodes x 5): level k, node m (0 = lowest price), option value,
             stock price (dividends included), exercised (1 or 0)
    times    array: k dt for each level, years
    lattice  Lattice(dt, discount, growth, up_probability, up, down)
    """

    def __init__(self, result):
        self.nodes = result["nodes"]
        self.times = result["times"]
        self.lattice = Lattice(*result["lattice"])
        self._svg = result["svg"]

    @property
    def value(self):
        return float(self.nodes[0, 2])

    def nodes_frame(self):
        import pandas as pd
        frame = pd.DataFrame(self.nodes, columns=["level", "node", "value", "price", "exercised"])
        return frame.astype({"level": int, "node": int, "exercised": bool})

    def __repr__(self):
        return f"<lorvex.EquityTreeDisplay: {len(self.times) - 1} steps, value {self.value:.6g}>"
