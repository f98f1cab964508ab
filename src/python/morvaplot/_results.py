"""The answers of the analysis calls: dicts that also go straight into pandas."""


class Statistics(dict):
    """The figures of one area: count, mean, min, min_x, min_y, max, max_x,
    max_y, range, sigma_n1, sigma1_pct_n1, sigma3_pct_n1, uniformity_mean_pct, uniformity_maxmin_pct (NaN, apart
    from count, when no data cell lies inside)."""

    def to_dict(self):
        """A plain dict of the figures."""
        return dict(self)

    def to_frame(self):
        """A one-row pandas DataFrame; pandas.DataFrame([s1, s2, ...]) makes
        one row per result."""
        import pandas

        return pandas.DataFrame([self])


class Columns(dict):
    """Columns of equal length (numpy arrays) by name: a profile or the rings
    of a radial profile."""

    def to_dict(self):
        """A plain dict of the columns."""
        return dict(self)

    def to_frame(self):
        """A pandas DataFrame with one column per key."""
        import pandas

        return pandas.DataFrame(self)


class Histogram(dict):
    """edges (bins + 1 values), counts (bins), min, max and total; edges, min
    and max are NaN when no value was counted."""

    def to_dict(self):
        """A plain dict of the histogram."""
        return dict(self)

    def to_frame(self):
        """A pandas DataFrame with one row per bin: lower, upper, count."""
        import pandas

        edges = self["edges"]
        return pandas.DataFrame({"lower": edges[:-1], "upper": edges[1:], "count": self["counts"]})
