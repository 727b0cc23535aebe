"""The package and the server against the simulator: kolm-cli comes from $KOLM_CLI."""
import os
import subprocess
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))

import kolm  # noqa: E402

DDS_CFG = '"20"\r\n"20"\r\n"400"\r\n"888"\r\n"sim"\r\n'


@pytest.fixture
def cli():
    path = os.environ.get("KOLM_CLI")
    if not path:
        pytest.fail("KOLM_CLI names no kolm-cli (CTest sets it)")
    return path


@pytest.fixture
def folder(tmp_path):
    """A working folder with the simulator's dds.cfg."""
    (tmp_path / "dds.cfg").write_bytes(DDS_CFG.encode())
    return tmp_path


@pytest.fixture
def server(cli, folder):
    """A started kolm-cli serve: (process, port); stopped at the end."""
    started = []

    def start(*options):
        process = subprocess.Popen([cli, *options, "serve", "--listen", "127.0.0.1:0"],
                                   cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   text=True)
        line = process.stdout.readline().strip()
        assert line.startswith("listening="), process.stderr.read()
        started.append(process)
        return process, int(line.rpartition(":")[2])

    yield start
    for process in started:
        if process.poll() is None:
            process.terminate()
            process.wait(timeout=30)


def connect(cli, folder, **sim):
    return kolm.connect(cli=cli, cwd=folder, **sim)
