"""Kolm from Python: sweeps, crystals and calibrations as numpy arrays.

    import kolm
    with kolm.connect() as k:                 # starts kolm-cli serve on a free port
        t = k.sweep(13e6, 15.5e6, points=251)
        swr = t["SWR"]
        print(t.frequency[swr.value.argmin()], swr.low.min(), swr.high.min())
"""
from .client import MARKS, Instrument, KolmError, Quantity, Trace, connect, to_network

__all__ = ["Instrument", "KolmError", "Quantity", "Trace", "connect", "to_network", "MARKS"]
