"""Checks of the string-module compiler tools/mlsc.py (run by ctest in the host tree)."""

import contextlib
import os
import struct
import sys
import tempfile
import unittest

ROOT = os.environ.get("VOCALET_SOURCE_DIR",
                      os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import mlsc  # noqa: E402

HEADER = "module   Test\nlanguage 3 deu Deutsch (Deutschland)\ncodepage 1252\ncount    {n}\n\n"


@contextlib.contextmanager
def Source(text, name="Test_deu.mlt"):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(text.encode("utf-8"))
        yield path


def compile_text(text):
    with Source(text) as path:
        table = mlsc.parse_source(path)
        return table, mlsc.compile_table(table, path)


class Layout(unittest.TestCase):
    def test_bytes_follow_the_format(self):
        os.environ["SOURCE_DATE_EPOCH"] = "0"
        table, data = compile_text(HEADER.format(n=2) + '0 = "Grüße"\n1 = ""\n')
        description = b"Test Deutsch (Deutschland) MLS module.\r\nVocalet mlsc 1.0, built 1970-01-01\r\n"
        expected = (b"MLS\x01" + struct.pack("<HH", 3, len(description)) + description
                    + struct.pack("<IHH", 2, 5, 0) + "Grüße".encode("cp1252") + b"MLS")
        self.assertEqual(data, expected)

    def test_text_is_taken_verbatim_between_the_outer_quotes(self):
        text = HEADER.format(n=3) + ('0 = "Say "%s" \\nnow"\n'
                                     '1 = " lead and trail "   \n'
                                     '2="100%% \\ done"\n')
        table, data = compile_text(text.replace("\n", "\r\n"))
        self.assertEqual(table.texts, ['Say "%s" \\nnow', " lead and trail ", "100%% \\ done"])
        _, _, strings = mlsc.read_module(data)
        self.assertEqual(strings[0], b'Say "%s" \\nnow')


class Mistakes(unittest.TestCase):
    def assertRejected(self, text, fragment):
        with Source(text) as path:
            with self.assertRaises(mlsc.SourceError) as ctx:
                mlsc.compile_table(mlsc.parse_source(path), path)
        self.assertIn(fragment, str(ctx.exception))

    def test_entries_must_be_complete_unique_and_in_order(self):
        self.assertRejected(HEADER.format(n=3) + '0 = "a"\n2 = "c"\n', "entries missing: 1")
        self.assertRejected(HEADER.format(n=2) + '0 = "a"\n0 = "b"\n', "appears twice")
        self.assertRejected(HEADER.format(n=2) + '1 = "a"\n0 = "b"\n', "out of order")
        self.assertRejected(HEADER.format(n=1) + '1 = "a"\n', "past the last index")
        self.assertRejected(HEADER.format(n=1) + '0 = a\n', "expected an entry")

    def test_header_is_checked(self):
        self.assertRejected(HEADER.format(n=1).replace("3 deu", "3 fra") + '0 = "a"\n',
                            "language 3 is 'deu'")
        self.assertRejected(HEADER.format(n=1).replace("codepage 1252\n", "") + '0 = "a"\n',
                            "'codepage' is missing")
        self.assertRejected(HEADER.format(n=1).replace("3 deu", "20 xyz") + '0 = "a"\n',
                            "not 1 to 19")

    def test_text_outside_the_code_page_names_its_line(self):
        self.assertRejected(HEADER.format(n=1) + '0 = "Привет"\n', ":6: character")

    def test_translation_must_keep_the_english_count(self):
        with Source(HEADER.format(n=1) + '0 = "a"\n') as path, \
             Source(HEADER.format(n=2).replace("3 deu Deutsch (Deutschland)", "4 enu English")
                    + '0 = "a"\n1 = "b"\n', name="Test_enu.mlt") as ref:
            with self.assertRaises(mlsc.SourceError):
                mlsc.check_against(mlsc.parse_source(path), mlsc.parse_source(ref), path)


if __name__ == "__main__":
    unittest.main()
