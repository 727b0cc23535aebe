"""kolm-cli serve through its socket: several clients, the order of replies,
*OPC? and the busy flag, the output's owner, bad input and stop signals."""
import signal
import socket
import threading
import time

import pytest

from kolm.client import Instrument


def client(port):
    return Instrument("127.0.0.1", port, timeout=30)


def until(condition, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.01)
    return False


def test_clients_get_their_own_replies(server):
    _, port = server()
    failures = []

    def talk(n):
        c = client(port)
        c.write("FORM " + ("REAL,64" if n % 2 else "ASC"))
        for k in range(40):
            # Each client's own format, error and sequence come back to it alone.
            answer = c.query(f"FORM?;*ESE {n};*ESE?;:SENS:SWE:POIN?")
            if answer != ("REAL,64" if n % 2 else "ASC") + f";{n};501":
                failures.append((n, k, answer))
            c.write("BOGUS" if k == n else "*CLS")
        if c.errors():
            failures.append((n, "errors left"))
        c.close()

    threads = [threading.Thread(target=talk, args=(n,)) for n in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join(60)
    assert failures == []


def test_opc_waits_for_the_sweep_while_the_busy_flag_reads_true(server):
    _, port = server()
    a, b = client(port), client(port)
    a.write("FREQ:STAR 1 MHZ;STOP 60 MHZ;:SWE:POIN 20001;:INIT")
    assert until(lambda: int(b.query("STAT:OPER:COND?")) & 16)
    assert b.query("*OPC?") == "1" and a.query("*OPC?;:CALC:DATA:COUN?") == "1;1"
    assert b.query("STAT:OPER:COND?") == "0"
    # Off from another client is carried out at once and ends the sweep.
    a.write("INIT:CONT ON")
    assert until(lambda: int(b.query("STAT:OPER:COND?")) & 16)
    assert b.query("OUTP OFF;:INIT:CONT?;:STAT:OPER:COND?") == "0;0"
    assert a.errors() == [] and b.errors() == []


@pytest.mark.parametrize("persistent", [False, True])
def test_the_output_goes_off_with_the_client_that_switched_it_on(server, persistent):
    _, port = server()
    a, b = client(port), client(port)
    a.write(f"OUTP:PERS {int(persistent)};:SOUR:FREQ 7.1 MHZ;:OUTP ON")
    assert a.query("*OPC?") == "1"  # a's commands are carried out before b asks
    assert b.query("OUTP?") == "1"
    a.close()
    if persistent:
        time.sleep(0.2)
        assert b.query("OUTP?") == "1"
    else:
        assert until(lambda: b.query("OUTP?") == "0")


def test_bad_input_is_an_error_and_harms_no_other_client(server):
    process, port = server()
    good = client(port)
    bad = client(port)
    bad.sock.sendall(b"\x00\xff\xfe binary\n" + b"A" * 100_000 + b"\nMMEM:STOR:TRAC #13abcdef\n"
                     + b"MMEM:STOR:TRAC #9999999999\n")
    errors = bad.errors()
    assert [e.split(",")[0] for e in errors] == ["-101", "-223", "-103", "-223"]
    # Half a command, then gone; a block header that says more than it brings.
    for last in (b"SENS:FREQ:ST", b"MMEM:STOR:TRAC #9000000100abc\nSYST:ERR?\n"):
        gone = socket.create_connection(("127.0.0.1", port))
        gone.sendall(last)
        gone.close()
    # A client that never reads its replies is cut off; the others are served.
    greedy = socket.create_connection(("127.0.0.1", port))
    greedy.sendall(b"SWE:POIN 20001;:INIT;*WAI\n" + b"CALC:DATA:FREQ?\n" * 400)
    assert good.query("*IDN?").startswith("Kolm,")
    greedy.settimeout(30)
    assert until(lambda: good.query("*OPC?") == "1")
    with pytest.raises((ConnectionError, OSError)):
        time.sleep(1)
        for _ in range(10_000):
            if not greedy.recv(1 << 20):
                raise ConnectionError("closed")
    assert process.poll() is None and good.errors() == []


@pytest.mark.parametrize("stop", [signal.SIGTERM, signal.SIGINT, signal.SIGHUP])
def test_a_stop_signal_switches_the_output_off_and_ends_the_server(server, stop):
    process, port = server()
    c = client(port)
    c.write("OUTP:PERS ON;:OUTP ON")
    assert c.query("OUTP?") == "1"
    process.send_signal(stop)
    assert process.wait(timeout=10) == 128 + stop
    assert "the generator is off" in process.stderr.read()


def test_listening_beyond_the_loopback_only_when_named(cli, folder):
    import subprocess
    r = subprocess.run([cli, "serve", "--listen", "localhost:5025"], cwd=folder,
                       capture_output=True, text=True, timeout=10)
    assert r.returncode == 2 and "not an IP address" in r.stderr
