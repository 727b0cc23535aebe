"""kolm-cli --json says what key=value says: the same keys, numbers as numbers."""
import json
import subprocess

COMMANDS = [
    ["dds", "--freq", "7.05"],
    ["--dut", "atten:90", "read-detector"],
    ["--load", "rlc:r=75,l=1u,c=125p", "analyze", "--start", "13", "--stop", "15.5",
     "--points", "60", "--out", "a.csv", "--report", "--match-at", "14"],
    ["--dut", "lowpass:fc=10,order=3", "power-sweep", "--start", "1", "--stop", "30",
     "--points", "100", "--out", "p.csv", "--report"],
    ["match", "--r", "20", "--x", "30", "--freq", "14"],
    ["calibrate", "--default"],
    ["port-test"],
]


def pairs(line):
    """key=value fields of a line, values with blanks kept whole."""
    out = []
    for token in line.split(" "):
        key, eq, value = token.partition("=")
        if eq and key.replace("_", "").isalnum() and key.islower():
            out.append([key, value])
        elif out:
            out[-1][1] += " " + token
    return out


def test_json_holds_every_key_and_value(cli, folder):
    for words in COMMANDS:
        plain = subprocess.run([cli, *words], cwd=folder, capture_output=True, text=True)
        as_json = subprocess.run([cli, "--json", *words], cwd=folder, capture_output=True,
                                 text=True)
        assert plain.returncode == as_json.returncode == 0, (words, as_json.stderr)
        objects = [json.loads(line) for line in as_json.stdout.splitlines()]
        assert objects, words
        seen = {}
        for obj in objects:
            for key, value in obj.items():
                for v in (value if isinstance(value, list) else [value]):
                    seen.setdefault(key, []).append(v)
        lines = [l for l in plain.stdout.splitlines() if l]
        for line in lines:
            found = pairs(line) if not line.startswith("warning=") else [line.split("=", 1)]
            if not found:
                assert line in seen["text"], (words, line)
            for key, text in found:
                value = seen[key].pop(0)
                if text == "none":
                    assert value is None
                elif isinstance(value, (int, float)):
                    assert value == float(text), (words, key)
                else:
                    assert value == text, (words, key)
        assert all(not rest for key, rest in seen.items() if key != "text"), (words, seen)
