#!/usr/bin/env python3
"""mlsc: the Vocalet string-module compiler.

Turns the text source of one string table (an .mlt file, see tools/mlsc.md) into a module
file of the binary MLS format that the program reads, or shows what a module file holds.

    mlsc.py SOURCE.mlt -o OUT.mls            compile to the named file
    mlsc.py SOURCE.mlt --out-dir DIR         compile to DIR/<module>_<code>.mls
    mlsc.py SOURCE.mlt --reference EN.mlt    ... and check it against the English source
    mlsc.py --dump FILE.mls [--codepage N]   print a module file in source form

Only the standard library is used: the Windows build is a cross build and runs this on
the build machine, as the host build does.
"""

import argparse
import datetime
import os
import re
import struct
import sys

VERSION = "1.0"

# Index -> code; fixed by the program, which addresses languages by index.
LANGUAGE_CODES = [
    "xxx", "cat", "dan", "deu", "enu", "esp", "fin", "fra", "isl", "ita",
    "nld", "nor", "ptg", "rus", "sve", "ind", "ukr", "bel", "euq", "afk",
]

SIGNATURE = b"MLS"
FORMAT_VERSION = 1
MAX_STRING_BYTES = 0xFFFF
MAX_DESCRIPTION_BYTES = 0xFFFF

_ENTRY = re.compile(r'^(\d+)\s*=\s*"(.*)"\s*$')
_HEADER = re.compile(r"^(module|language|codepage|count)\b\s*(.*)$")


class SourceError(Exception):
    def __init__(self, path, line, message):
        super().__init__(f"{path}:{line}: {message}" if line else f"{path}: {message}")


class Table:
    def __init__(self):
        self.module = None
        self.language_index = None
        self.language_code = None
        self.language_name = None
        self.codepage = None
        self.count = None
        self.texts = []        # decoded text, in index order
        self.lines = []        # source line of each text

    @property
    def file_name(self):
        return f"{self.module}_{self.language_code}.mls"


def parse_source(path):
    """Reads an .mlt file (UTF-8) into a Table; raises SourceError naming the line."""
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8-sig")
    except UnicodeDecodeError as e:
        raise SourceError(path, 0, f"not UTF-8 text ({e})")
    table = Table()
    entries = {}
    for number, line in enumerate(text.split("\n"), start=1):
        line = line.rstrip("\r")
        stripped = line.strip()
        if not stripped or stripped.startswith("#"):
            continue
        m = _ENTRY.match(stripped)
        if m:
            if table.count is None:
                raise SourceError(path, number, "an entry before the header is complete")
            index = int(m.group(1))
            if index >= table.count:
                raise SourceError(path, number,
                                  f"index {index} is past the last index {table.count - 1}")
            if index in entries:
                raise SourceError(path, number,
                                  f"index {index} appears twice (first on line {entries[index][1]})")
            if entries and index < max(entries):
                raise SourceError(path, number, f"index {index} is out of order")
            entries[index] = (m.group(2), number)
            continue
        m = _HEADER.match(stripped)
        if not m:
            raise SourceError(path, number,
                              'expected an entry of the form  12 = "text"  or a header line')
        if entries:
            raise SourceError(path, number, "header lines must come before the entries")
        _header_line(table, path, number, m.group(1), m.group(2).strip())
    for field in ("module", "language_index", "codepage", "count"):
        if getattr(table, field) is None:
            raise SourceError(path, 0, f"the header line '{field.split('_')[0]}' is missing")
    missing = [i for i in range(table.count) if i not in entries]
    if missing:
        shown = ", ".join(str(i) for i in missing[:10]) + (" ..." if len(missing) > 10 else "")
        raise SourceError(path, 0, f"{len(missing)} of {table.count} entries missing: {shown}")
    table.texts = [entries[i][0] for i in range(table.count)]
    table.lines = [entries[i][1] for i in range(table.count)]
    return table


def _header_line(table, path, number, key, value):
    if getattr(table, "language_index" if key == "language" else key) is not None:
        raise SourceError(path, number, f"'{key}' is given twice")
    if key == "module":
        if not re.fullmatch(r"[A-Za-z][A-Za-z0-9]*", value):
            raise SourceError(path, number, f"bad module name '{value}'")
        table.module = value
    elif key == "language":
        m = re.fullmatch(r"(\d+)\s+([a-z]{3})\s+(\S.*)", value)
        if not m:
            raise SourceError(path, number, "expected: language <index> <code> <name>")
        index, code = int(m.group(1)), m.group(2)
        if not 1 <= index < len(LANGUAGE_CODES):
            raise SourceError(path, number, f"language index {index} is not 1 to 19")
        if LANGUAGE_CODES[index] != code:
            raise SourceError(path, number, f"language {index} is '{LANGUAGE_CODES[index]}', "
                                            f"not '{code}'")
        table.language_index, table.language_code, table.language_name = index, code, m.group(3)
    elif key == "codepage":
        if not value.isdigit():
            raise SourceError(path, number, "expected: codepage <number>, such as 1252")
        try:
            "".encode(f"cp{value}")
        except LookupError:
            raise SourceError(path, number, f"code page {value} is unknown to this tool")
        table.codepage = int(value)
    else:
        if not value.isdigit():
            raise SourceError(path, number, "expected: count <number of strings>")
        table.count = int(value)


def encode_table(table, path="<source>"):
    """Returns the texts as bytes in the table's code page."""
    encoded = []
    for text, line in zip(table.texts, table.lines):
        try:
            data = text.encode(f"cp{table.codepage}")
        except UnicodeEncodeError as e:
            raise SourceError(path, line, f"character {text[e.start]!r} does not exist in "
                                          f"code page {table.codepage}")
        if len(data) > MAX_STRING_BYTES:
            raise SourceError(path, line, f"text of {len(data)} bytes; at most "
                                          f"{MAX_STRING_BYTES} fit")
        encoded.append(data)
    return encoded


def build_date():
    # A fixed SOURCE_DATE_EPOCH makes the output reproducible.
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    when = (datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc) if epoch
            else datetime.datetime.now(datetime.timezone.utc))
    return when.strftime("%Y-%m-%d")


def module_bytes(table, strings, description):
    if len(description) > MAX_DESCRIPTION_BYTES:
        raise ValueError("description too long")
    out = bytearray()
    out += SIGNATURE
    out += struct.pack("<BHH", FORMAT_VERSION, table.language_index, len(description))
    out += description
    out += struct.pack("<I", len(strings))
    for s in strings:
        out += struct.pack("<H", len(s))
    for s in strings:
        out += s
    out += SIGNATURE
    return bytes(out)


def compile_table(table, path="<source>"):
    strings = encode_table(table, path)
    description = (f"{table.module} {table.language_name} MLS module.\r\n"
                   f"Vocalet mlsc {VERSION}, built {build_date()}\r\n")
    return module_bytes(table, strings, description.encode(f"cp{table.codepage}", "replace"))


def check_against(table, reference, path):
    if table.module != reference.module:
        raise SourceError(path, 0, f"module '{table.module}' but the reference is "
                                   f"'{reference.module}'")
    if table.count != reference.count:
        raise SourceError(path, 0, f"{table.count} strings but module {reference.module} has "
                                   f"{reference.count}: every index must be kept")


def read_module(data):
    """Parses module bytes: (language index, description bytes, list of string bytes)."""
    def need(pos, n, what):
        if pos + n > len(data):
            raise ValueError(f"file ends inside the {what}")
    need(0, 8, "header")
    if data[:3] != SIGNATURE or data[3] != FORMAT_VERSION:
        raise ValueError("not an MLS module of version 1")
    language, dlen = struct.unpack_from("<HH", data, 4)
    need(8, dlen + 4, "description or count")
    description = data[8:8 + dlen]
    (count,) = struct.unpack_from("<I", data, 8 + dlen)
    pos = 12 + dlen
    need(pos, 2 * count, "length table")
    lengths = struct.unpack_from(f"<{count}H", data, pos)
    pos += 2 * count
    strings = []
    for n in lengths:
        need(pos, n, "string data")
        strings.append(data[pos:pos + n])
        pos += n
    need(pos, 3, "end signature")
    if data[pos:pos + 3] != SIGNATURE:
        raise ValueError("end signature missing")
    return language, description, strings


def dump(path, codepage, out):
    with open(path, "rb") as f:
        language, description, strings = read_module(f.read())
    for line in description.decode(f"cp{codepage}", "replace").splitlines():
        out.write(f"# {line}\n")
    code = LANGUAGE_CODES[language] if language < len(LANGUAGE_CODES) else "???"
    name = os.path.basename(path).split("_")[0]
    out.write(f"\nmodule   {name}\nlanguage {language} {code} (name)\n"
              f"codepage {codepage}\ncount    {len(strings)}\n\n")
    for i, s in enumerate(strings):
        out.write(f'{i} = "{s.decode(f"cp{codepage}", "replace")}"\n')


def write_file(path, data):
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv=None):
    p = argparse.ArgumentParser(description="Compiles a Vocalet string-table source into an "
                                            "MLS module file.")
    p.add_argument("source", nargs="?", help="the .mlt source")
    p.add_argument("-o", "--output", help="the module file to write")
    p.add_argument("--out-dir", help="folder for <module>_<code>.mls")
    p.add_argument("--reference", help="the English source that a translation must match")
    p.add_argument("--dump", metavar="MLS", help="print a module file in source form")
    p.add_argument("--codepage", type=int, default=1252, help="code page for --dump")
    args = p.parse_args(argv)
    try:
        if args.dump:
            dump(args.dump, args.codepage, sys.stdout)
            return 0
        if not args.source or bool(args.output) == bool(args.out_dir):
            p.error("give a source and exactly one of -o and --out-dir")
        table = parse_source(args.source)
        if args.reference:
            check_against(table, parse_source(args.reference), args.source)
        if args.out_dir:
            # The build names the output after the source file; both must agree.
            stem = os.path.splitext(os.path.basename(args.source))[0]
            if stem + ".mls" != table.file_name:
                raise SourceError(args.source, 0, f"the file must be named "
                                                  f"{table.file_name[:-4]}.mlt for its header")
        data = compile_table(table, args.source)
        target = args.output or os.path.join(args.out_dir, table.file_name)
        write_file(target, data)
        return 0
    except (SourceError, ValueError, OSError) as e:
        print(f"mlsc: {e}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
