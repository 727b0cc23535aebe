"""A client of kolm-cli serve (SCPI over raw TCP)."""
import os
import shutil
import signal
import socket
import subprocess
from dataclasses import dataclass

import numpy as np

# What CALCulate:DATA? says of each value, by its number.
MARKS = ("valid", "at_least", "at_most", "approximate", "open", "invalid", "uncertain")

ANALYZER_QUANTITIES = ("RL", "PHASE", "Z", "R", "X", "SWR")


class KolmError(RuntimeError):
    """The instrument refused something; `errors` holds its SYSTem:ERRor? entries."""

    def __init__(self, errors):
        super().__init__("; ".join(errors))
        self.errors = errors


@dataclass
class Quantity:
    """One quantity of a sweep: each point's value, its interval and its mark."""
    value: np.ndarray
    low: np.ndarray    # NaN where the instrument states no interval
    high: np.ndarray
    mark: np.ndarray   # indices into MARKS; 0 is a plain reading

    @property
    def plain(self):
        """The points whose reading carries no mark."""
        return self.mark == 0


@dataclass
class Trace:
    instrument: str          # "analyzer" or "power"
    frequency: np.ndarray    # Hz
    quantities: dict

    def __getitem__(self, name):
        return self.quantities[name.upper()]


class Instrument:
    """A connection to kolm-cli serve; `process` is the server when connect() started it."""

    def __init__(self, host, port, process=None, timeout=60.0):
        self.process = process
        self.sock = socket.create_connection((host, port), timeout=timeout)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self._buffer = b""

    # ---- the wire ----
    def write(self, command):
        self.sock.sendall(command.encode("ascii") + b"\n")

    def _read(self, n):
        while len(self._buffer) < n:
            chunk = self.sock.recv(max(65536, n - len(self._buffer)))
            if not chunk:
                raise ConnectionError("kolm-cli serve closed the connection")
            self._buffer += chunk
        data, self._buffer = self._buffer[:n], self._buffer[n:]
        return data

    def _line(self):
        while b"\n" not in self._buffer:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise ConnectionError("kolm-cli serve closed the connection")
            self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\n", 1)
        return line.decode("ascii")

    def query(self, command):
        self.write(command)
        return self._line()

    def ask(self, command):
        """The answer to a query; KolmError with the error queue when it failed (a query
        that fails answers nothing: the error count asked after it tells)."""
        self.write(command + ";:SYST:ERR:COUN?")
        answer, separator, count = self._line().rpartition(";")
        if int(count):
            raise KolmError(self.errors())
        return answer

    def ask_block(self, command):
        """The definite length block of big-endian 64-bit reals a query answers."""
        self.write(command + ";:SYST:ERR:COUN?")
        if self._read(1) != b"#":
            self._line()
            raise KolmError(self.errors())
        digits = int(self._read(1))
        data = self._read(int(self._read(digits)))
        if int(self._line().lstrip(";")):
            raise KolmError(self.errors())
        return np.frombuffer(data, dtype=">f8").astype(float)

    def errors(self):
        """Every entry of the error queue, emptied."""
        found = []
        while True:
            entry = self.query("SYST:ERR?")
            if entry.startswith("0,"):
                return found
            found.append(entry)

    def check(self):
        errors = self.errors()
        if errors:
            raise KolmError(errors)

    # ---- measurements ----
    def sweep(self, start, stop, points=501, average=1, instrument="analyzer", dwell=0.0):
        """One sweep from `start` to `stop` Hz; its values with intervals and marks."""
        name = "ANAL" if instrument == "analyzer" else "POW"
        self.write(f"INST {name};:FREQ:STAR {float(start)!r};STOP {float(stop)!r};:SWE:POIN {int(points)}"
                   f";DWEL {float(dwell)!r};:AVER:COUN {int(average)};:FORM REAL,64;:INIT")
        self.ask("*OPC?")
        frequency = self.ask_block("CALC:DATA:FREQ?")
        names = ANALYZER_QUANTITIES if instrument == "analyzer" else ("LEVEL",)
        quantities = {}
        for q in names:
            rows = self.ask_block(f"CALC:DATA? {q if q != 'LEVEL' else 'LEV'}").reshape(-1, 4)
            quantities[q] = Quantity(rows[:, 0], rows[:, 1], rows[:, 2], rows[:, 3].astype(int))
        self.write("FORM ASC")
        self.check()
        return Trace(instrument, frequency, quantities)

    def report(self):
        """The last sweep's analysis (the keys of kolm-cli's --report)."""
        text = self.ask("CALC:REP?").strip('"')
        out = {}
        for item in filter(None, text.split(";")):
            key, _, value = item.partition("=")
            out[key] = _value(value)
        return out

    def measure_crystal(self, start, stop, points=401, average=1):
        """The crystal in the fixture: each of fs, fp, r, l, cs, c0, q as (value, half-width)
        in Hz, ohm, H and F (NaN where the sweep cannot give it), and the method."""
        self.sweep(start, stop, points=points, average=average, instrument="power")
        values = numbers(self.ask("CALC:CRYS?"))
        names = ("fs", "fp", "r", "l", "cs", "c0", "q")
        result = {n: (values[2 * k], values[2 * k + 1]) for k, n in enumerate(names)}
        result["method"] = "fit" if values[-1] == 0 else "edges"
        return result

    def _operation(self, command):
        self.write(command)
        self.ask("*OPC?")
        return self.ask("CAL:REP?").strip('"')

    def calibrate_power(self, level_dbm, frequency=None):
        """One step of the power meter's calibration (0 or -60 dBm applied)."""
        extra = f",{float(frequency)!r}" if frequency is not None else ""
        self.write(f"CAL:POW:LEV {level_dbm}{extra}")
        return self.calibration()

    def calibrate_power_undo(self):
        self.write("CAL:POW:UNDO")
        return self.calibration()

    def calibrate_power_default(self):
        self.write("CAL:POW:DEF")
        return self.calibration()

    def calibration(self):
        cal0, cal60, default = (int(v) for v in self.ask("CAL:POW:DATA?").split(","))
        return {"cal0": cal0, "cal60": cal60, "default": bool(default)}

    def calibrate_bridge(self, standard, start=1e6, stop=60e6, points=101):
        """One standard ("load", "open", "short") of the bridge check over the sweep."""
        self.write(f"INST ANAL;:FREQ:STAR {float(start)!r};STOP {float(stop)!r};:SWE:POIN {int(points)}")
        return self._operation(f"CAL:BRID:STAN {standard}")

    def calibrate_bridge_forget(self):
        self.write("CAL:BRID:FORG")
        self.check()

    def calibrate_crystal(self, r0=None):
        """The crystal fixture's through calibration (the crystal bypassed), with the
        fixture's R0 in ohm (default: the one kept)."""
        return self._operation("CAL:CRYS" + (f" {float(r0)!r}" if r0 is not None else ""))

    def generator(self, frequency, on=True):
        self.write(f"SOUR:FREQ {float(frequency)!r};:OUTP {'ON' if on else 'OFF'}")
        self.check()

    def store(self, name):
        """The last trace into `name` in the server's working folder (.vna, .csv, .s1p, .pwm)."""
        self.write(f"MMEM:STOR:TRAC '{name}'")
        self.check()

    # ---- the end ----
    def close(self):
        try:
            self.sock.close()
        finally:
            if self.process is not None:
                self.process.send_signal(signal.SIGTERM)
                self.process.wait(timeout=30)
                self.process = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def numbers(text):
    """NR3 numbers separated by commas, SCPI's 9.9E37 as infinity and 9.91E37 as NaN."""
    values = np.array([float(v) for v in text.split(",")]) if text else np.zeros(0)
    values[values == 9.91e37] = np.nan
    values[values == 9.9e37] = np.inf
    values[values == -9.9e37] = -np.inf
    return values


def _value(text):
    if text == "none":
        return None
    try:
        return float(text)
    except ValueError:
        return text


def to_network(trace, z0=50.0):
    """The analyzer's trace as a scikit-rf Network (its reflection from R and signed X)."""
    import skrf  # optional: pip install scikit-rf
    z = trace["R"].value + 1j * trace["X"].value
    gamma = (z - z0) / (z + z0)
    frequency = skrf.Frequency.from_f(trace.frequency, unit="hz")
    return skrf.Network(frequency=frequency, s=gamma.reshape(-1, 1, 1), z0=z0)


def connect(address=None, cli=None, cwd=None, backend=None, dut=None, load=None, board=None,
            timeout=60.0):
    """Connects to "host:port", or starts kolm-cli serve on a free loopback port (`cli` or
    $KOLM_CLI or kolm-cli on the PATH, in `cwd`, with the simulator's `dut`, `load`, `board`)."""
    if address is not None:
        host, _, port = address.rpartition(":")
        return Instrument(host or "127.0.0.1", int(port), timeout=timeout)
    program = cli or os.environ.get("KOLM_CLI") or shutil.which("kolm-cli")
    if not program:
        raise FileNotFoundError("kolm-cli was not found: give cli= or set KOLM_CLI")
    args = [program]
    for option, value in (("--backend", backend), ("--dut", dut), ("--load", load),
                          ("--board", board)):
        if value is not None:
            args += [option, value]
    args += ["serve", "--listen", "127.0.0.1:0"]
    process = subprocess.Popen(args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               text=True)
    line = process.stdout.readline().strip()
    if not line.startswith("listening="):
        process.wait(timeout=30)
        raise RuntimeError("kolm-cli serve did not start: " + process.stderr.read().strip())
    host, _, port = line[len("listening="):].rpartition(":")
    return Instrument(host, int(port), process=process, timeout=timeout)
