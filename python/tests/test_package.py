"""The Python package against the simulator: sweeps, the crystal meter and the
calibrations come back as they were measured, with their intervals and marks."""
import csv

import numpy as np
import pytest

import kolm
from conftest import connect


def test_an_analyzer_sweep_holds_the_load_and_equals_its_export(cli, folder):
    with connect(cli, folder, board="ideal", load="rlc:r=75,l=1u,c=125p") as k:
        t = k.sweep(10e6, 20e6, points=201)
        assert t.frequency.shape == (201,)
        assert np.allclose(t.frequency[[0, -1]], [10e6, 20e6], rtol=1e-12)
        w = 2 * np.pi * t.frequency
        truth = {"R": np.full(201, 75.0), "X": w * 1e-6 - 1 / (w * 125e-12)}
        truth["Z"] = np.hypot(truth["R"], truth["X"])
        for name, value in truth.items():
            q = t[name]
            read = (q.mark == 0) | (q.mark == kolm.MARKS.index("uncertain"))
            assert read.sum() > 150, name
            assert np.all((q.low[read] <= value[read]) & (value[read] <= q.high[read])), name
        report = k.report()
        assert abs(report["swr_min"] - 1.5) <= report["swr_min_pm"]
        assert abs(report["res_mhz"] - 14.235) < 0.1
        # The same numbers as the file the server writes.
        k.store("t.csv")
        with open(folder / "t.csv", newline="") as f:
            # Lines led by "#" say what the values stand for.
            rows = list(csv.DictReader(line for line in f if not line.startswith("#")))
        assert len(rows) == 201
        for name, column in (("R", "r_ohm"), ("X", "x_ohm"), ("SWR", "swr")):
            written = np.array([float(row[column]) for row in rows])
            assert np.allclose(t[name].value, written, rtol=2e-6, atol=0)


def test_ascii_and_binary_transfers_agree(cli, folder):
    with connect(cli, folder, dut="lowpass:fc=10,order=3") as k:
        t = k.sweep(1e6, 30e6, points=301, instrument="power", average=2)
        level = t["LEVEL"]
        assert level.value[0] > level.value[-1] + 20  # the low-pass falls off
        assert set(np.unique(level.mark)) <= set(range(len(kolm.MARKS)))
        ascii_rows = kolm.client.numbers(k.query("CALC:DATA? LEV"))
        binary = np.column_stack([level.value, level.low, level.high, level.mark])
        assert np.array_equal(np.array(ascii_rows).reshape(-1, 4), binary, equal_nan=True)
        assert k.errors() == []


def test_the_crystal_meter_finds_the_crystal_it_was_given(cli, folder):
    with connect(cli, folder, dut="through") as k:
        with pytest.raises(kolm.KolmError, match="R0"):
            k.calibrate_crystal()  # no R0 kept yet
        assert "entries=1601 r0_ohm=50" in k.calibrate_crystal(r0=50)
    crystal = "crystal:fs=10,r=15,c=20f,c0=5p,r0=50"
    with connect(cli, folder, dut=crystal) as k:
        c = k.measure_crystal(9.998e6, 10.003e6, points=501)
    assert c["method"] == "fit"
    fs, fs_pm = c["fs"]
    r, r_pm = c["r"]
    assert abs(fs - 10e6) <= fs_pm and abs(r - 15) <= r_pm


def test_each_power_calibration_step_can_be_undone(cli, folder):
    with connect(cli, folder, dut="through") as k:
        before = k.calibration()
        assert before == {"cal0": 826, "cal60": 235, "default": True}
        zero = k.calibrate_power(0)
        assert zero["cal0"] != 826 and zero["cal60"] == 235 and not zero["default"]
        assert k.calibrate_power_undo() == before
        assert k.calibrate_power_undo() == zero  # the undone step is kept in turn
        assert k.calibrate_power_default() == before
        with pytest.raises(kolm.KolmError, match="-224"):
            k.calibrate_power(-30)
    with connect(cli, folder, dut="atten:20") as k, pytest.raises(kolm.KolmError, match="-200"):
        k.calibrate_power(0)  # 20 dB short of 0 dBm: refused, pow.ini kept
    with connect(cli, folder) as k:
        assert k.calibration() == before


def test_the_bridge_check_takes_three_standards_and_is_forgotten(cli, folder):
    for standard, load in (("load", "r=50"), ("open", "open"), ("short", "short")):
        with connect(cli, folder, load=load) as k:
            report = k.calibrate_bridge(standard, points=51)
    assert "figures=stored" in report and (folder / "bridge.cfg").exists()
    with connect(cli, folder) as k:
        k.calibrate_bridge_forget()
    assert not (folder / "bridge.cfg").exists()


def test_a_trace_becomes_a_network(cli, folder):
    skrf = pytest.importorskip("skrf")
    with connect(cli, folder, board="ideal", load="r=75") as k:
        network = kolm.to_network(k.sweep(1e6, 30e6, points=51))
    assert isinstance(network, skrf.Network)
    assert np.allclose(abs(network.s[:, 0, 0]), 0.2, atol=0.02)
