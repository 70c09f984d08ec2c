#!/usr/bin/env python3
"""Seeded mutation testing: how many small faults in the sources do the tests catch?

For each source file given, picks mutation sites with a random generator seeded from --seed and
the file's path (the same seed and the same source give the same mutants, whatever else is
listed), writes one mutant at a time into the file, rebuilds only the test executables that
link it and belong to its folder (tests/<folder> for src/<folder>; --all-linking: every one
that links it), and runs only their tests. Outcomes per mutant:
  killed         a test failed
  survived       every test passed
  timeout        the tests ran past the mutant's time limit
  build-failure  the mutant does not compile or link (counted apart, not killed)
The source is always put back: after each mutant, on Ctrl+C, on any error; a copy is kept in
<tree>/mutate/ while a mutant is in the file, and a later run puts back a copy left by a run
that was killed outright.

Mutations: flipped comparisons, integer constants +1 or -1, a deleted statement, && swapped
with ||. Only .c/.cpp files: a header's users are not found in the build graph.

  tools/mutate.py --tree host src/convert src/util/StrUtils.cpp
  tools/mutate.py --tree win32 --per-file 6 src/shell/fMain.cpp   (under build.sh mutate)
"""
import argparse
import fcntl
import json
import os
import random
import re
import shlex
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KINDS = ("compare", "constant", "statement", "logical")
OUTCOMES = ("killed", "survived", "timeout", "build-failure")


# --- Finding mutation sites ------------------------------------------------------------

def mask_source(text):
    """The text with comments, string and character literals and preprocessor lines blanked
    (same length, newlines kept), so that sites are looked for in code only."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = i
            while j < n:  # the directive, with its continuation lines
                e = text.find("\n", j)
                e = n if e < 0 else e
                if e > 0 and text[e - 1] == "\\":
                    j = e + 1
                    continue
                j = e
                break
            blank(i, j)
            i = j
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if c in " \t\r":
            i += 1
            continue
        line_start = False
        if text.startswith("//", i):
            e = text.find("\n", i)
            e = n if e < 0 else e
            blank(i, e)
            i = e
        elif text.startswith("/*", i):
            e = text.find("*/", i + 2)
            e = n if e < 0 else e + 2
            blank(i, e)
            i = e
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            d = text.find("(", i + 2)
            delim = ")" + text[i + 2:d] + '"'
            e = text.find(delim, d)
            e = n if e < 0 else e + len(delim)
            blank(i, e)
            i = e
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isdigit():  # a digit separator: 1'000
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j + 1, n))
            i = j + 1
        else:
            i += 1
    return "".join(out)


COMPARE = re.compile(r"(?<=\s)(==|!=|<=|>=|<|>)(?=\s)")
COMPARE_TO = {"<": ("<=", ">="), "<=": ("<", ">"), ">": (">=", "<="), ">=": (">", "<"),
              "==": ("!=",), "!=": ("==",)}
LOGICAL = re.compile(r"(?<=\s)(&&|\|\|)(?=\s)")
CONSTANT = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.'])")
# A whole statement on one line that does something: a call, an assignment, an increment.
# Declarations ("Type name = ...") do not match: the first word is followed by a space.
STATEMENT = re.compile(
    r"^(?P<indent>\s*)(?P<stmt>(?:\+\+|--)?[\w:.\[\]*>()-]+?"
    r"\s*(?:\(|=[^=]|\+=|-=|\*=|/=|\|=|&=|\^=|<<=|>>=|\+\+|--|\.|->).*;)\s*$")
NOT_STATEMENTS = ("return", "case", "default", "goto", "using", "typedef", "delete", "throw",
                  "co_return", "static_assert", "break", "continue", "public", "private",
                  "protected", "template", "friend", "operator", "if", "for", "while",
                  "switch", "do", "else", "new")


def line_of(text, pos):
    return text.count("\n", 0, pos) + 1


def find_sites(text):
    """Every candidate mutation: (kind, start, end, replacement choices)."""
    code = mask_source(text)
    sites = []
    for m in COMPARE.finditer(code):
        sites.append(("compare", m.start(), m.end(), COMPARE_TO[m.group(1)]))
    for m in LOGICAL.finditer(code):
        sites.append(("logical", m.start(), m.end(), ("||" if m.group(1) == "&&" else "&&",)))
    for m in CONSTANT.finditer(code):
        digits, suffix = m.group(1), m.group(2)
        value = int(digits, 0) if not (len(digits) > 1 and digits[0] == "0" and digits[1].isdigit()) \
            else int(digits, 8)
        hexa = digits[:2].lower() == "0x"
        choices = []
        for v in (value + 1, value - 1):
            if v >= 0:
                choices.append((("0x%X" % v) if hexa else str(v)) + suffix)
        sites.append(("constant", m.start(), m.end(), tuple(choices)))
    # Statements: at brace depth one or more, a line that starts a statement (the line before
    # ends one, opens or closes a block, or is a label or an unbraced if/for/while/else).
    depth = 0
    prev_end = "{"
    pos = 0
    for line in code.split("\n"):
        stripped = line.strip()
        m = STATEMENT.match(line)
        if (m and depth >= 1 and prev_end in ("{", "}", ";", ":", ")", "else")
                and line.count("(") == line.count(")")
                and line.count("{") == 0 and line.count("}") == 0
                and re.match(r"[A-Za-z_]\w*", stripped.lstrip("+-*")) is not None
                and re.match(r"[A-Za-z_]\w*", stripped.lstrip("+-*")).group(0) not in NOT_STATEMENTS):
            a = pos + len(m.group("indent"))
            b = pos + len(line.rstrip())
            sites.append(("statement", a, b, ("{}",)))
        depth += line.count("{") - line.count("}")
        if stripped:
            prev_end = "else" if stripped.endswith("else") else stripped[-1]
        pos += len(line) + 1
    sites.sort(key=lambda s: (s[1], s[0]))
    return sites


def choose_mutants(relpath, text, seed, per_file):
    """The mutants of one file for this seed: sites drawn kind by kind in turn, so that each
    file gets a mix, then one replacement per site."""
    rng = random.Random("%s:%s" % (seed, relpath))
    by_kind = {k: [] for k in KINDS}
    for s in find_sites(text):
        by_kind[s[0]].append(s)
    for k in KINDS:
        rng.shuffle(by_kind[k])
    chosen = []
    while len(chosen) < per_file and any(by_kind.values()):
        for k in KINDS:
            if by_kind[k] and len(chosen) < per_file:
                chosen.append(by_kind[k].pop())
    mutants = []
    for kind, a, b, choices in sorted(chosen, key=lambda s: s[1]):
        new = choices[rng.randrange(len(choices))]
        mutants.append({"kind": kind, "start": a, "end": b, "old": text[a:b], "new": new,
                        "line": line_of(text, a)})
    return mutants


# --- The build graph and the tests ------------------------------------------------------

def read_ninja_edges(build_dir):
    """(outputs, inputs) of every build statement; inputs are the explicit and implicit ones,
    not the order-only ones (a build order is no link)."""
    edges = []
    with open(os.path.join(build_dir, "build.ninja")) as f:
        raw = f.read()
    logical = raw.replace("$\n", "")
    for line in logical.split("\n"):
        if not line.startswith("build "):
            continue
        body = line[6:]
        tokens, cur, i = [], "", 0
        while i < len(body):
            c = body[i]
            if c == "$" and i + 1 < len(body):
                cur += body[i + 1]
                i += 2
                continue
            if c == " ":
                if cur:
                    tokens.append(cur)
                cur = ""
            else:
                cur += c
            i += 1
        if cur:
            tokens.append(cur)
        # outputs [| implicit outputs] : rule inputs [| implicit] [|| order-only]
        colon = next(k for k, t in enumerate(tokens) if t.endswith(":") and t != "||:")
        outs = [t for t in tokens[:colon] + [tokens[colon][:-1]] if t and t != "|"]
        ins = []
        for t in tokens[colon + 2:]:
            if t == "||":
                break
            if t != "|":
                ins.append(t)
        edges.append((outs, ins))
    return edges


def absolute(build_dir, p):
    return os.path.normpath(p if os.path.isabs(p) else os.path.join(build_dir, p))


def ctest_tests(build_dir):
    """{test name: [absolute paths in its command]}"""
    out = subprocess.run(["ctest", "--test-dir", build_dir, "--show-only=json-v1"],
                         capture_output=True, text=True, check=True).stdout
    tests = {}
    for t in json.loads(out).get("tests", []):
        paths = [os.path.normpath(a) for a in t.get("command", []) if os.path.isabs(a)]
        # ctest names no command while the executable is not built yet; ours are named after
        # their test.
        bin_dir = os.path.join(build_dir, "bin")
        paths += [os.path.join(bin_dir, t["name"]), os.path.join(bin_dir, t["name"] + ".exe")]
        tests[t["name"]] = paths
    return tests


def affected_tests(build_dir, source, edges, tests, own_folder):
    """The tests whose executable links the source, and the ninja outputs to rebuild. With
    own_folder, only those among them built from tests/<the source's folder>/ (when there
    are any): one object and one or two executables to rebuild per mutant."""
    users, inputs_of = {}, {}
    for outs, ins in edges:
        for o in outs:
            inputs_of[absolute(build_dir, o)] = ins
        for i in ins:
            users.setdefault(absolute(build_dir, i), []).extend(absolute(build_dir, o) for o in outs)
    seen, todo = set(), [os.path.normpath(source)]
    while todo:
        node = todo.pop()
        for o in users.get(node, []):
            if o not in seen:
                seen.add(o)
                todo.append(o)
    found = {}
    for name, paths in sorted(tests.items()):
        hit = [p for p in paths if p in seen]
        if hit:
            found[name] = hit
    parts = os.path.relpath(source, ROOT).split(os.sep)
    if own_folder and len(parts) > 2:
        prefix = "tests/%s/" % parts[1]
        own = {n: hit for n, hit in found.items()
               if any(i.startswith(prefix) for p in hit for i in inputs_of.get(p, []))}
        if own:
            found = own
    targets = sorted({p for hit in found.values() for p in hit})
    return sorted(found), targets


# --- Running ----------------------------------------------------------------------------

class Stop(Exception):
    pass


def on_term(signum, frame):
    raise Stop("signal %d" % signum)


def run(cmd, timeout, env=None):
    """(return code or None on timeout, seconds, output); the whole process group is killed
    at the time limit, Wine's processes included."""
    t0 = time.monotonic()
    p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         env=env, start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, time.monotonic() - t0, out
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        out, _ = p.communicate()
        return None, time.monotonic() - t0, out
    except BaseException:
        os.killpg(p.pid, signal.SIGKILL)
        p.wait()
        raise


def build(args, targets):
    return run(["ninja", "-C", args.build_dir, "-j", str(args.jobs)] + targets, args.build_timeout)


def test(args, names, timeout, env):
    regex = "^(" + "|".join(re.escape(n) for n in names) + ")$"
    cmd = ["ctest", "--test-dir", args.build_dir, "-R", regex, "-j", "1", "--stop-on-failure"]
    if args.repeat > 1:
        cmd += ["--repeat", "until-pass:%d" % args.repeat]
    return run(cmd, timeout, env)


def failed_tests(output):
    return sorted(set(re.findall(r"\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Subprocess|Exception|Child)",
                                 output)))


def restore_leftovers(backup_dir):
    if not os.path.isdir(backup_dir):
        return
    for name in os.listdir(backup_dir):
        if name.endswith(".orig") and os.path.exists(os.path.join(backup_dir, name[:-5] + ".path")):
            meta = os.path.join(backup_dir, name[:-5] + ".path")
            with open(meta) as f:
                target = f.read().strip()
            shutil.copyfile(os.path.join(backup_dir, name), target)
            os.remove(os.path.join(backup_dir, name))
            os.remove(meta)
            print("put back %s from a copy left by an interrupted run" % target, flush=True)


def expand_files(paths):
    files = []
    for p in paths:
        full = os.path.join(ROOT, p)
        if os.path.isdir(full):
            for name in sorted(os.listdir(full)):
                if name.endswith((".cpp", ".c")):
                    files.append(os.path.relpath(os.path.join(full, name), ROOT))
        else:
            files.append(os.path.relpath(full, ROOT))
    return files


def mutate_file(args, relpath, edges, tests, env, results, log):
    source = os.path.join(ROOT, relpath)
    names, targets = affected_tests(args.build_dir, source, edges, tests, not args.all_linking)
    if args.tests:
        names = [n for n in names if re.search(args.tests, n)]
    if args.exclude_tests:
        names = [n for n in names if not re.search(args.exclude_tests, n)]
    targets = [t for t in targets if any(t in tests[n] for n in names)]
    if not names:
        log("%s: no test in %s links it; skipped" % (relpath, args.tree))
        return
    with open(source, encoding="latin-1", newline="") as f:
        original = f.read()
    mutants = choose_mutants(relpath, original, args.seed, args.per_file)
    log("%s: %d mutants, tests %s" % (relpath, len(mutants), " ".join(names)))
    if args.list:
        for m in mutants:
            log("  %s:%d %-9s %r -> %r" % (relpath, m["line"], m["kind"], m["old"], m["new"]))
        return
    rel_targets = [os.path.relpath(t, args.build_dir) for t in targets]
    rc, _, out = build(args, rel_targets)
    if rc != 0:
        log("%s: the unmutated build fails; skipped\n%s" % (relpath, out[-3000:]))
        return
    # The unmutated run of these tests, once per run: every file's mutants end with its
    # real source rebuilt.
    key = tuple(names)
    if key not in args.unmutated:
        rc, secs, out = test(args, names, args.test_timeout_max, env)
        if rc != 0:
            log("%s: the tests fail unmutated; skipped\n%s" % (relpath, out[-3000:]))
            return
        args.unmutated[key] = secs
    secs = args.unmutated[key]
    limit = min(args.test_timeout_max, max(args.test_timeout_min, 3 * secs + 10))
    log("  unmutated tests: %.1f s; limit per mutant %.0f s" % (secs, limit))
    os.makedirs(args.backup_dir, exist_ok=True)
    stem = os.path.join(args.backup_dir, relpath.replace("/", "_"))
    shutil.copyfile(source, stem + ".orig")
    with open(stem + ".path", "w") as f:
        f.write(source + "\n")
    counts = results.setdefault(relpath, {o: 0 for o in OUTCOMES})
    try:
        for k, m in enumerate(mutants, 1):
            mutated = original[:m["start"]] + m["new"] + original[m["end"]:]
            with open(source, "w", encoding="latin-1", newline="") as f:
                f.write(mutated)
            try:
                rc, bsecs, out = build(args, rel_targets)
                if rc != 0:
                    outcome, detail = "build-failure", "timeout" if rc is None else ""
                else:
                    rc, tsecs, out = test(args, names, limit, env)
                    if rc is None:
                        outcome, detail = "timeout", ""
                    elif rc != 0:
                        outcome, detail = "killed", " ".join(failed_tests(out))
                    else:
                        outcome, detail = "survived", ""
            finally:
                with open(source, "w", encoding="latin-1", newline="") as f:
                    f.write(original)
            counts[outcome] += 1
            log("  [%d/%d] %s:%d %s %r -> %r: %s %s" % (k, len(mutants), relpath, m["line"],
                m["kind"], m["old"], m["new"], outcome.upper(), detail))
    finally:
        with open(source, "w", encoding="latin-1", newline="") as f:
            f.write(original)
        os.remove(stem + ".orig")
        os.remove(stem + ".path")
    # Leave the tree built from the real source.
    build(args, rel_targets)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("paths", nargs="+", help="source files or folders (their .c/.cpp files), from the top")
    ap.add_argument("--tree", choices=("host", "win32"), default="host")
    ap.add_argument("--seed", type=int, default=17)
    ap.add_argument("--per-file", type=int, default=10, help="mutants per file (default 10)")
    ap.add_argument("--tests", help="only the affected tests matching this regular expression")
    ap.add_argument("--all-linking", action="store_true",
                    help="every test that links the file, not only those of its own folder "
                    "(tests/<folder> for src/<folder>/file.cpp)")
    ap.add_argument("--exclude-tests", default="^e2e_|^installer_",
                    help="never the affected tests matching this (default: the whole-program ones)")
    ap.add_argument("--repeat", type=int, help="runs a failing test up to this many times "
                    "(default 1 on the host, 2 under Wine, as the test command does)")
    ap.add_argument("--jobs", type=int, default=int(os.environ.get("JOBS", "2")))
    ap.add_argument("--build-timeout", type=float, default=900)
    ap.add_argument("--test-timeout-min", type=float, default=30)
    ap.add_argument("--test-timeout-max", type=float, default=600)
    ap.add_argument("--list", action="store_true", help="list the mutants only")
    ap.add_argument("--report", help="also write the report to this file")
    args = ap.parse_args()
    args.build_dir = os.path.join(ROOT, "build", args.tree)
    args.backup_dir = os.path.join(args.build_dir, "mutate")
    args.unmutated = {}
    if args.repeat is None:
        args.repeat = 2 if args.tree == "win32" else 1
    if not os.path.exists(os.path.join(args.build_dir, "build.ninja")):
        sys.exit("%s is not configured: run ./build.sh build first" % args.build_dir)

    lines = []

    def log(s):
        print(s, flush=True)
        lines.append(s)

    signal.signal(signal.SIGTERM, on_term)
    signal.signal(signal.SIGHUP, on_term)
    # One run per tree: a second one would take the first one's mutant for the real source.
    os.makedirs(args.backup_dir, exist_ok=True)
    lock = open(os.path.join(args.backup_dir, "lock"), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        sys.exit("another mutation run is working in %s" % args.build_dir)
    restore_leftovers(args.backup_dir)
    env = dict(os.environ, GTEST_FAIL_FAST="1")  # the first failure is enough
    edges = read_ninja_edges(args.build_dir)
    tests = ctest_tests(args.build_dir)
    files = expand_files(args.paths)
    log("mutate: tree %s, seed %d, %d per file, %d files" % (args.tree, args.seed, args.per_file, len(files)))
    log("command: tools/mutate.py " + " ".join(shlex.quote(a) for a in sys.argv[1:]))
    results = {}
    interrupted = False
    try:
        for relpath in files:
            mutate_file(args, relpath, edges, tests, env, results, log)
    except (KeyboardInterrupt, Stop) as e:
        interrupted = True
        log("interrupted (%s); the sources are back as they were" % (e or "Ctrl+C"))
    if results:
        log("")
        log("%-40s %7s %8s %7s %13s" % ("file", "killed", "survived", "timeout", "build-failure"))
        total = {o: 0 for o in OUTCOMES}
        for relpath, c in results.items():
            log("%-40s %7d %8d %7d %13d" % ((relpath,) + tuple(c[o] for o in OUTCOMES)))
            for o in OUTCOMES:
                total[o] += c[o]
        log("%-40s %7d %8d %7d %13d" % (("total",) + tuple(total[o] for o in OUTCOMES)))
        judged = total["killed"] + total["survived"] + total["timeout"]
        if judged:
            log("killed %d of %d mutants that built (%.0f%%)" % (total["killed"], judged,
                                                                  100.0 * total["killed"] / judged))
    if args.report:
        with open(args.report, "w") as f:
            f.write("\n".join(lines) + "\n")
    return 130 if interrupted else 0


if __name__ == "__main__":
    sys.exit(main())
