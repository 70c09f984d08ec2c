"""Checks every shipped translation (src/resources/mls/<module>_<code>.mlt) against the English
source of its module: a translation that drops a placeholder or reorders two of them makes
Format fail or show the wrong value at run time, and only in that language, so it is caught
here rather than by a user. Run by ctest in the host tree."""

import os
import re
import sys
import unittest

ROOT = os.environ.get("VOCALET_SOURCE_DIR",
                      os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import mlsc  # noqa: E402

SOURCES = os.path.join(ROOT, "src", "resources", "mls")
MODULES = ("qdShared", "ovShared", "Vocalet", "SoundRec")
# The languages we ship; the language menu offers one only when all four modules have it.
SHIPPED = ("deu", "esp", "fra", "ita", "nld", "ptg", "rus")
CYRILLIC = ("rus", "ukr", "bel")

# A Format placeholder: %[index:][-][width][.precision]type, or the escaped percent sign.
PLACEHOLDER = re.compile(r"%%|%(?:\d+:)?-?(?:\d+|\*)?(?:\.(?:\d+|\*))?[dunefgmpsx]", re.I)
# A menu or button accelerator: an ampersand before a character that is not a blank or "&".
ACCELERATOR = re.compile(r"&[^&\s]")
# Names that stay as they are in every language.
PRODUCT_NAMES = ("Quindle", "Vocalet", "GSM 6.10", "http://", "F1", "CD-ROM", "HTML")

# Captions of the main window's toolbar buttons (54 pixels wide, captions under the pictures):
# (module, index). Nine characters of Tahoma at 11 pixels is about what fits; the wider
# fonts that stand in for Tahoma under Wine fit fewer.
TOOLBAR_CAPTIONS = (("ovShared", 23), ("ovShared", 51), ("ovShared", 114), ("Vocalet", 15),
                    ("Vocalet", 16), ("SoundRec", 5), ("SoundRec", 7), ("SoundRec", 12),
                    ("SoundRec", 23))
TOOLBAR_CHARS = 9


def placeholders(text):
    return PLACEHOLDER.findall(text)


def stray_percent(text):
    """The text with every placeholder removed still holding a "%" means a broken one."""
    return "%" in PLACEHOLDER.sub("", text)


def translations():
    """(path, module, code) of every translation source in the folder."""
    found = []
    for name in sorted(os.listdir(SOURCES)):
        m = re.fullmatch(r"([A-Za-z]+)_([a-z]{3})\.mlt", name)
        if m and m.group(2) != "enu":
            found.append((os.path.join(SOURCES, name), m.group(1), m.group(2)))
    return found


ENGLISH = {module: mlsc.parse_source(os.path.join(SOURCES, f"{module}_enu.mlt"))
           for module in MODULES}


class Helpers(unittest.TestCase):
    """The checks below are only as good as the placeholder pattern."""

    def test_placeholders_are_found_in_order(self):
        self.assertEqual(placeholders("ratio %d%%)\nFormat: %s, %.2n MB %.1n %0:s %-5d"),
                         ["%d", "%%", "%s", "%.2n", "%.1n", "%0:s", "%-5d"])

    def test_a_lone_percent_sign_is_stray(self):
        self.assertTrue(stray_percent("100 % fertig"))
        self.assertTrue(stray_percent("%"))
        self.assertFalse(stray_percent("100%% %d"))

    def test_accelerators_leave_a_literal_ampersand_alone(self):
        self.assertEqual(ACCELERATOR.findall("Drag & Attach"), [])
        self.assertEqual(ACCELERATOR.findall("S&how && tell"), ["&h"])


class Translations(unittest.TestCase):
    def test_every_shipped_language_has_all_four_modules(self):
        present = {(module, code) for _, module, code in translations()}
        for code in SHIPPED:
            for module in MODULES:
                self.assertIn((module, code), present, f"{module}_{code}.mlt is missing")

    def test_each_translation_compiles_in_its_code_page(self):
        for path, module, code in translations():
            with self.subTest(file=os.path.basename(path)):
                table = mlsc.parse_source(path)
                mlsc.check_against(table, ENGLISH[module], path)
                self.assertEqual(table.module, module)
                self.assertEqual(table.language_code, code)
                self.assertEqual(table.codepage, 1251 if code in CYRILLIC else 1252)
                data = mlsc.compile_table(table, path)
                language, _, strings = mlsc.read_module(data)
                self.assertEqual(language, mlsc.LANGUAGE_CODES.index(code))
                self.assertEqual(len(strings), ENGLISH[module].count)

    def test_placeholders_line_breaks_and_blanks_follow_the_english(self):
        for path, module, code in translations():
            table = mlsc.parse_source(path)
            for i, (text, english) in enumerate(zip(table.texts, ENGLISH[module].texts)):
                where = f"{os.path.basename(path)}:{table.lines[i]} (string {i})"
                with self.subTest(where=where):
                    self.assertEqual(placeholders(text), placeholders(english), where)
                    self.assertFalse(stray_percent(text), where)
                    self.assertEqual(text.count("\\n"), english.count("\\n"), where)
                    self.assertEqual(text.startswith("\\n"), english.startswith("\\n"), where)
                    # " %d KB" is appended to a number without a blank of its own.
                    self.assertEqual(text[:1] == " ", english[:1] == " ", where)
                    self.assertEqual(text.endswith("..."), english.endswith("..."), where)

    def test_accelerators_are_kept_one_for_one(self):
        for path, module, code in translations():
            table = mlsc.parse_source(path)
            for i, (text, english) in enumerate(zip(table.texts, ENGLISH[module].texts)):
                where = f"{os.path.basename(path)}:{table.lines[i]} (string {i})"
                with self.subTest(where=where):
                    self.assertEqual(len(ACCELERATOR.findall(text)),
                                     len(ACCELERATOR.findall(english)), where)

    def test_product_names_stay_untranslated(self):
        for path, module, code in translations():
            table = mlsc.parse_source(path)
            for i, (text, english) in enumerate(zip(table.texts, ENGLISH[module].texts)):
                for name in PRODUCT_NAMES:
                    if name in english:
                        self.assertIn(name, text, f"{os.path.basename(path)}:{table.lines[i]}")

    def test_texts_are_translated_not_copied(self):
        # Short words such as "OK" or "Mono" are the same in many languages; most texts are not.
        for path, module, code in translations():
            table = mlsc.parse_source(path)
            same = sum(1 for text, english in zip(table.texts, ENGLISH[module].texts)
                       if text == english and len(english) > 12)
            self.assertLessEqual(same, 3, f"{os.path.basename(path)}: {same} texts still English")
            empty = [i for i, (text, english) in enumerate(zip(table.texts, ENGLISH[module].texts))
                     if english and not text]
            self.assertEqual(empty, [], f"{os.path.basename(path)}: empty texts")

    def test_toolbar_captions_fit_their_buttons(self):
        for path, module, code in translations():
            table = mlsc.parse_source(path)
            for m, index in TOOLBAR_CAPTIONS:
                if m == module:
                    text = table.texts[index]
                    self.assertLessEqual(len(text), TOOLBAR_CHARS,
                                         f"{os.path.basename(path)} string {index}: {text!r}")

    def test_the_file_filter_keeps_its_patterns(self):
        # The save dialog splits the filter at "|" into description and pattern pairs.
        for path, module, code in translations():
            if module != "SoundRec":
                continue
            parts = mlsc.parse_source(path).texts[25].split("|")
            self.assertEqual(len(parts), 4, path)
            self.assertEqual(parts[1::2], ["*.wav", "*.*"], path)


if __name__ == "__main__":
    unittest.main()
