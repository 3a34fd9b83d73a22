#!/usr/bin/python3
"""Reference values of the chamber fit test, by scipy's Levenberg-Marquardt least squares.

Run once; paste its output into chamber_fit_test.cpp. Chamber: V = 1 m3, A = 0.4 m2,
R0 = 5 mg/m2/h, hourly points from t = 1 h. Each noisy case multiplies the model by
1 + 0.05 z (z standard normal, seed 61) and keeps four significant digits, as a
measurement would.
"""
import textwrap

import numpy as np
from scipy.optimize import least_squares

V, A, R0 = 1.0, 0.4, 5.0
AIR_CHANGES = [0.5, 1, 2, 4]
DECAYS = [0.01, 0.05, 0.2, 1]
POINTS = [6, 12, 30]


def shape(n, k, t):
    """(e^(-k t) - e^(-n t)) / (n - k), written to keep its digits as k nears n."""
    d = n - k
    x = d * t
    if abs(d) < 1e-12:
        return t * np.exp(-n * t)
    return np.exp(-k * t) * -np.expm1(-x) / d


def model(p, n, t):
    return p[0] * A / V * shape(n, p[1], t)


def fit(n, t, c, start):
    res = least_squares(lambda p: model(p, n, t) - c, start, method="lm",
                        xtol=1e-15, ftol=1e-15, gtol=1e-15, max_nfev=100000)
    return res.x


def lit(value, form):
    """A C++ float literal."""
    text = form % value
    return text + ("f" if "." in text or "e" in text else ".f")


def main():
    rng = np.random.default_rng(61)
    for n in AIR_CHANGES:
        for k in DECAYS:
            for points in POINTS:
                t = np.arange(1, points + 1, dtype=float)
                exact = model([R0, k], n, t)
                clean = exact.astype(np.float32).astype(float)
                noisy_text = ["%.4g" % c for c in exact * (1 + 0.05 * rng.standard_normal(points))]
                noisy = np.array([float(np.float32(c)) for c in noisy_text])
                r0, kf = fit(n, t, clean, [R0, k])
                nr0, nk = fit(n, t, noisy, [R0, k])
                values = [lit(float(v), "%.7g") for v in (n, k, r0, kf, nr0, nk)]
                points = ", ".join(lit(float(c), "%.4g") for c in noisy_text)
                print("    {%s,\n%s}," % (", ".join(values), textwrap.fill(
                    "{" + points + "}", 98, initial_indent=" " * 5, subsequent_indent=" " * 6)))

if __name__ == "__main__":
    main()
