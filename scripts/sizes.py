#!/usr/bin/env python3
"""Files and functions that grew too long to read at once.

  scripts/sizes.py [SRC]        lists every file over 600 lines and every
                                function over 80 lines under SRC (src/) but
                                those still PENDING; exit 1 when there is one
  scripts/sizes.py --all [SRC]  the same, the PENDING ones too
  scripts/sizes.py --self-test  the scanner against made-up sources

A function's extent is found by scanning its file, not by compiling it: block
and line comments, string, raw string and character literals and preprocessor
lines are blanked first (a brace inside them counts for nothing), then the
braces are matched at namespace and class level. A brace block whose head (the
text since the last ';', '{' or '}' at that level) has a parameter list and is
no initializer ('= {...}', 'x{...}') is a function body, counted from the
head's first line to its closing brace; the brace initializers of a
constructor's member list belong to the head. Lambdas inside a function are
part of it; one at namespace level ('auto f = [...](...) {...};') is counted
as a function of its own.
"""
import bisect
import os
import re
import sys

MAX_FILE_LINES = 600
MAX_FUNCTION_LINES = 80
# Data rather than code, read as a table is read: {path under SRC: why}.
EXEMPT = {}
# Long ones not split yet, as "path" or "path:function"; the list only
# shrinks: an entry that is no longer too long is an error too.
PENDING = set()


def blanked(text):
    """`text` with comments, literals and preprocessor lines turned to blanks,
    line breaks kept, so that positions and line numbers stay."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            # A preprocessor line, with its continuations.
            while i < n and not (text[i] == "\n" and text[i - 1] != "\\"):
                out.append("\n" if text[i] == "\n" else " ")
                i += 1
            continue
        if c == "\n":
            line_start = True
            out.append(c)
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c == "R" and text.startswith('"', i + 1) and not (i and (text[i - 1].isalnum()
                                                                  or text[i - 1] == "_")):
            m = re.match(r'R"([^()\\\s]{0,16})\(', text[i:])
            if not m:
                out.append(c)
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i + m.end())
            j = n if end < 0 else end + len(m.group(1)) + 2
        elif c == '"' or (c == "'" and not (i and text[i - 1].isalnum())):
            # A string or a character literal; a quote after a digit is a
            # digit separator (1'000).
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
        else:
            out.append(c)
            i += 1
            continue
        out.append("".join(ch if ch == "\n" else " " for ch in text[i:j]))
        i = j
    return "".join(out)


def matching(code, at):
    """The index of the brace closing the one at `at`."""
    depth = 0
    for j in range(at, len(code)):
        if code[j] == "{":
            depth += 1
        elif code[j] == "}":
            depth -= 1
            if depth == 0:
                return j
    return len(code) - 1


SCOPE = re.compile(r"^(template\s*<.*>\s*)?(namespace|class|struct|union|extern)\b", re.S)
ENUM = re.compile(r"^(typedef\s+)?enum\b")


def is_function(head):
    if "(" not in head or ENUM.match(head):
        return False
    eq = re.sub(r"operator\s*(==|!=|<=|>=|=)|\[[^\]]*=[^\]]*\]|\([^()]*=[^()]*\)", "", head)
    if "=" not in eq:
        return True
    after = eq.split("=", 1)[1].lstrip()
    return after.startswith("[")  # a lambda at namespace level


LABEL = re.compile(r"\b(?:(?:public|private|protected)(?:\s+(?:slots|Q_SLOTS))?|signals|Q_SIGNALS)"
                   r"\s*:(?!:)\s*")
INIT_LIST = re.compile(r"\)\s*(?:const\s*)?(?:noexcept\s*)?:")
NAME = re.compile(r"((?:[\w:~]*operator\s*(?:\(\)|[^\s(]+))|[\w:~]+)\s*\(")
NEXT = re.compile(r"\s*(\S?)")


def functions(text):
    """(name, first line, last line) of each function body in `text`."""
    code = blanked(text)
    breaks = [m.start() for m in re.finditer("\n", code)]
    found = []

    def line(pos):
        return bisect.bisect_left(breaks, pos) + 1

    def scan(start, stop):
        head = start
        i = start
        while i < stop:
            c = code[i]
            if c in ";}":
                head = i + 1
            elif c == "{":
                close = matching(code, i)
                raw = code[head:i]
                after = NEXT.match(code, close + 1, stop).group(1)
                if INIT_LIST.search(raw) and after in (",", "{"):
                    i = close + 1  # a member initializer: still the head
                    continue
                labels = list(LABEL.finditer(raw))  # public:, signals: begin no head
                skip = labels[-1].end() if labels else 0
                text_head = raw[skip:].strip()
                if SCOPE.match(text_head):
                    scan(i + 1, close)
                elif is_function(text_head):
                    first = head + skip + len(raw[skip:]) - len(raw[skip:].lstrip())
                    lambda_ = re.search(r"(\w+)\s*=\s*\[", text_head)
                    if lambda_:
                        name = [lambda_.group(1)]
                    else:
                        name = [m.group(1) for m in NAME.finditer(text_head)]
                    found.append((name[0] if name else "?", line(first), line(close)))
                i = close + 1
                head = i
                continue
            i += 1

    scan(0, len(code))
    return found


def offenders(src):
    out = []
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            rel = os.path.relpath(path, src)
            if rel in EXEMPT:
                continue
            with open(path, encoding="utf-8") as f:
                text = f.read()
            lines = text.count("\n")
            shown = os.path.join(src, rel)
            if lines > MAX_FILE_LINES:
                out.append((rel, f"{shown}: {lines} lines (at most {MAX_FILE_LINES})"))
            for fn, first, last in functions(text):
                if last - first + 1 > MAX_FUNCTION_LINES:
                    out.append((f"{rel}:{fn}", f"{shown}:{first}: {fn} spans "
                                f"{last - first + 1} lines (at most {MAX_FUNCTION_LINES})"))
    return sorted(out)


SELF_TEST = r'''
#include "x.h"
#define BRACE {
namespace a {
namespace {
constexpr int kTable[] = {1, 2, 3};
std::string s = "}{";
char c = '{';
int big = 1'000'000;
auto f = [](int x) {
  return x;
};
}  // namespace
/* { */
Thing::Thing(int v) : a_(v), b_{v}, c_{} {
  call(R"({)");
}
struct S {
 public:
  int m() const {
    // }
    return 1;
  }
  int v{0};
};
enum class E { A, B };
int g(int x)
{
  if (x) { return 1; }
  return 0;
}
bool operator==(const S&, const S&) { return true; }
}  // namespace a
'''


def self_test():
    want = [("f", 10, 12), ("Thing::Thing", 15, 17), ("m", 20, 23), ("g", 27, 31),
            ("operator==", 32, 32)]
    got = functions(SELF_TEST)
    if got != want:
        print(f"self-test: found {got}\n           wanted {want}", file=sys.stderr)
        return 1
    long_body = "void h() {\n" + "  x();\n" * MAX_FUNCTION_LINES + "}\n"
    if functions(long_body) != [("h", 1, MAX_FUNCTION_LINES + 2)]:
        print("self-test: a long function is not measured whole", file=sys.stderr)
        return 1
    return 0


def main(argv):
    if argv[:1] == ["--self-test"]:
        return self_test()
    everything = argv[:1] == ["--all"]
    found = offenders(argv[1 if everything else 0] if len(argv) > everything else "src")
    keys = {key for key, _ in found}
    problems = [why for key, why in found if everything or key not in PENDING]
    problems += [f"{key}: no longer too long; take it off PENDING in scripts/sizes.py"
                 for key in sorted(PENDING - keys)]
    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
