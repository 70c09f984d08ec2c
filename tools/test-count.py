#!/usr/bin/env python3
"""Counts the test cases of a `./build.sh test` run and prints the one closing line
"N passed, N failed, N skipped". Exits 1 when anything failed or was skipped: a skipped test
hides a missing tool or a missing setup, and CI must not take it for a pass.

Arguments: result folders, one per tree, each holding ctest.xml (ctest --output-junit) and one
<executable>.xml per GoogleTest executable (GTEST_OUTPUT=xml:<folder>/). A ctest entry is one
executable; its cases come from the executable's GoogleTest report, or from Python unittest's
summary in its output; anything else (a script) counts as one case. An executable that failed
although its report shows no failing case (a crash after the last case, a sanitizer's report
at exit, a time-out) counts one failure more.
"""
import os
import re
import sys
import xml.etree.ElementTree as ET


def gtest_cases(path):
    passed = failed = skipped = 0
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif (case.get("result") in ("skipped", "suppressed") or case.get("status") == "notrun"
              or case.find("skipped") is not None):
            skipped += 1
        else:
            passed += 1
    return passed, failed, skipped


def unittest_cases(output):
    ran = re.findall(r"^Ran (\d+) tests? in ", output, re.M)
    if not ran:
        return None
    total = int(ran[-1])
    counts = {"failures": 0, "errors": 0, "skipped": 0, "expected failures": 0,
              "unexpected successes": 0}
    status = re.findall(r"^(?:OK|FAILED)(?: \((.*)\))?\s*$", output, re.M)
    if status and status[-1]:
        for item in status[-1].split(","):
            key, _, value = item.strip().rpartition("=")
            if key in counts:
                counts[key] = int(value)
    failed = counts["failures"] + counts["errors"] + counts["unexpected successes"]
    skipped = counts["skipped"] + counts["expected failures"]
    return total - failed - skipped, failed, skipped


def latest_report(folder, name):
    """The report of the entry's last run. GoogleTest does not overwrite a report in a folder:
    a second run of the same executable (ctest's retry of a failed entry) writes
    <name>_1.xml beside <name>.xml, and the newest one is the run that counts."""
    pattern = re.compile(re.escape(name) + r"(_\d+)?\.xml$")
    found = [os.path.join(folder, f) for f in os.listdir(folder) if pattern.match(f)]
    return max(found, key=os.path.getmtime) if found else None


def count_tree(folder):
    junit = os.path.join(folder, "ctest.xml")
    if not os.path.exists(junit):
        return 0, 0, 0
    passed = failed = skipped = 0
    for entry in ET.parse(junit).getroot().iter("testcase"):
        name = entry.get("name")
        status = entry.get("status", "")
        ok = entry.find("failure") is None and entry.find("error") is None and status != "fail"
        ctest_skipped = entry.find("skipped") is not None or status in ("notrun", "disabled")
        out = entry.find("system-out")
        output = (out.text or "") if out is not None else ""
        report = latest_report(folder, name)
        if report:
            p, f, s = gtest_cases(report)
            if not ok and f == 0:
                f = 1
        elif unittest_cases(output) is not None:
            p, f, s = unittest_cases(output)
            if not ok and f == 0:
                f = 1
        elif ctest_skipped:
            p, f, s = 0, 0, 1
        else:
            p, f, s = (1, 0, 0) if ok else (0, 1, 0)
        passed, failed, skipped = passed + p, failed + f, skipped + s
    return passed, failed, skipped


def main():
    passed = failed = skipped = 0
    for folder in sys.argv[1:]:
        p, f, s = count_tree(folder)
        passed, failed, skipped = passed + p, failed + f, skipped + s
    print("%d passed, %d failed, %d skipped" % (passed, failed, skipped))
    return 1 if failed or skipped else 0


if __name__ == "__main__":
    sys.exit(main())
