"""A client no one here wrote: PyVISA with its pure-Python backend drives the server."""
import numpy as np
import pytest

pyvisa = pytest.importorskip("pyvisa")


def test_pyvisa_sets_up_a_sweep_waits_and_reads_it_both_ways(server):
    _, port = server("--load", "rlc:r=75,l=1u,c=125p")
    rm = pyvisa.ResourceManager("@py")
    inst = rm.open_resource(f"TCPIP::127.0.0.1::{port}::SOCKET", read_termination="\n",
                            write_termination="\n", timeout=30000)
    try:
        assert inst.query("*IDN?").startswith("Kolm,")
        inst.write("*CLS;:INST ANAL;:FREQ:STAR 13 MHZ;STOP 15.5 MHZ;:SWE:POIN 251;:INIT")
        assert inst.query("*OPC?").strip() == "1"
        ascii_rows = np.array(inst.query_ascii_values("CALC:DATA? SWR")).reshape(-1, 4)
        inst.write("FORM REAL,64")
        binary = np.array(inst.query_binary_values("CALC:DATA? SWR", datatype="d",
                                                   is_big_endian=True)).reshape(-1, 4)
        assert ascii_rows.shape == (251, 4)
        finite = ascii_rows < 9e37  # SCPI's NaN and infinity in ASCII
        assert np.array_equal(ascii_rows[finite], binary[finite])
        assert inst.query("SYST:ERR?").strip() == '0,"No error"'
    finally:
        inst.close()
        rm.close()
