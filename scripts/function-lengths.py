#!/usr/bin/env python3
"""Lists the functions of the C++ sources longer than a limit, longest first.

    scripts/function-lengths.py [--limit N] [PATH...]   (default: 80 lines, src/ and cli/)

A function is a brace block at namespace or class level whose opening follows a ")" (with
"const", "override", "noexcept", an initialiser list or a trailing return type between);
its length counts the lines from its first line to its closing brace. Exit status 1 when
any function is longer than the limit.
"""
import os
import re
import sys


def strip(text):
    """The text with comments, strings and character literals blanked, lines kept."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(" " * (j + 1 - i))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


HEAD = re.compile(r"\)\s*(const|override|final|noexcept|mutable|->[^{;]*|\s)*(:[^;{]*)?\s*$", re.S)


def functions(path):
    text = strip(open(path, encoding="utf-8", errors="replace").read())
    stack = []  # (kind, start offset)
    found = []
    for i, c in enumerate(text):
        if c == "{":
            inside_function = any(k == "f" for k, _ in stack)
            before = text[max(0, i - 400):i]
            kind = "b"
            if not inside_function:
                seg = before[before.rfind(";") + 1:] if ";" in before else before
                seg = seg[max(seg.rfind("{"), seg.rfind("}")) + 1:]
                if HEAD.search(seg) and not re.search(r"\b(namespace|class|struct|enum|union)\b[^()]*$", seg):
                    kind = "f"
            stack.append((kind, i))
        elif c == "}" and stack:
            kind, start = stack.pop()
            if kind == "f":
                # the function's first line: the first one holding code after the statement,
                # block or brace before it
                lines = text.split("\n")
                head = text[:start]
                cut = max(head.rfind(";"), head.rfind("}"), head.rfind("{"))
                first = text.count("\n", 0, cut) + 2 if cut >= 0 else 1
                opening = text.count("\n", 0, start) + 1
                while first < opening and not lines[first - 1].strip():
                    first += 1
                first = min(first, opening)
                last = text.count("\n", 0, i) + 1
                name_line = lines[first - 1].strip()
                found.append((last - first + 1, path, first, name_line[:90]))
    return found


def main(argv):
    limit = 80
    paths = []
    args = list(argv)
    while args:
        a = args.pop(0)
        if a == "--limit":
            limit = int(args.pop(0))
        else:
            paths.append(a)
    if not paths:
        paths = ["src", "cli"]
    files = []
    for p in paths:
        if os.path.isdir(p):
            for root, _, names in os.walk(p):
                files += [os.path.join(root, f) for f in names if f.endswith((".cpp", ".h"))]
        else:
            files.append(p)
    every = [f for path in sorted(files) for f in functions(path)]
    long_ones = sorted((f for f in every if f[0] > limit), reverse=True)
    for length, path, line, name in long_ones:
        print(f"{length:5d}  {path}:{line}  {name}")
    print(f"{len(long_ones)} of {len(every)} functions longer than {limit} lines")
    return 1 if long_ones else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
