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

# Captions of the main window's toolbar buttons (64 pixels wide, captions under the pictures):
# (module, index). Nine characters of Tahoma at 11 pixels is about what fits; the caption-fit
# test under Wine measures them exactly.
TOOLBAR_CAPTIONS = (("ovShared", 23), ("ovShared", 51), ("ovShared", 114), ("Vocalet", 15),
                    ("Vocalet", 16), ("SoundRec", 5), ("SoundRec", 7), ("SoundRec", 12),
                    ("SoundRec", 23))
TOOLBAR_CHARS = 9


# The windows of the program and the sources that build and label them. Which control shows
# which string is read from these sources at test time, so that it follows the code. (Drag &
# Attach and the progress window take their texts from strings the main window fills.)
WINDOWS = {
    "main window": ("shell/fMain.cpp", "audio/fRecord.cpp", "shell/InfoViewer.cpp"),
    "options": ("shell/fVMOptions.cpp",),
    "Easy Launch": ("desktop/fEasyLaunch.cpp", "desktop/dEasyLaunch.cpp"),
    "about box": ("shell/QuindleEnv.cpp",),
}
MODULE_OF_RESOURCE = {"MLS_QDSHARED": "qdShared", "MLS_OVSHARED": "ovShared",
                      "MLS_VOCALET": "Vocalet", "MLS_SOUNDREC": "SoundRec"}


def read_source(relative):
    with open(os.path.join(ROOT, "src", relative), encoding="utf-8") as f:
        return f.read()


def caption_strings(source):
    """{control: (module, index)} of every caption the source sets from a string module,
    through MLS_X->Strings[i], a local alias of a module's Strings, or a one-line accessor."""
    aliases = {name: MODULE_OF_RESOURCE[res] for name, res in re.findall(
        r"const auto& (\w+) = (MLS_\w+)->Strings;", source)}
    accessors = {name: MODULE_OF_RESOURCE[res] for name, res in re.findall(
        r"(\w+)\(int \w+\) \{ return (MLS_\w+)->Strings\[\w+\]; \}", source)}
    found = {}
    for control, argument in re.findall(r"(?:(\w+)->)?SetCaption\(([^;]*)\);", source):
        control = control or "(window)"
        m = re.fullmatch(r"(MLS_\w+)->Strings\[(\d+)\]", argument)
        if m and m.group(1) in MODULE_OF_RESOURCE:
            found[control] = (MODULE_OF_RESOURCE[m.group(1)], int(m.group(2)))
            continue
        m = re.fullmatch(r"(\w+)\[(\d+)\]", argument)
        if m and m.group(1) in aliases:
            found[control] = (aliases[m.group(1)], int(m.group(2)))
            continue
        m = re.fullmatch(r"(\w+)\((\d+)\)", argument)
        if m and m.group(1) in accessors:
            found[control] = (accessors[m.group(1)], int(m.group(2)))
    return found


def menu_parents():
    """{menu item: the menu it opens from} of the main window's menus: its own items, and
    those the product-environment component inserts into the View and Help menus."""
    main = read_source("shell/fMain.cpp")
    parent = dict((item, menu) for item, menu in re.findall(
        r"(\w+) = (?:Item|Line)\(this, (\w+), ", main))
    places = re.search(r"QuindleEnv->InsertItems\((\w+), (\w+)\)", main).groups()
    env = read_source("shell/QuindleEnv.cpp")
    params = re.search(r"InsertItems\(TMenuItem\* (\w+), TMenuItem\* (\w+)\)", env).groups()
    for param, place in zip(params, places):
        block = re.search(r"if \(" + param + r" && .*?\n  \}", env, re.S).group(0)
        for item in re.findall(r"->Insert\([^,]+, (\w+)\)", block):
            parent[item] = parent[place]
    return parent


def accelerator_groups():
    """{group name: {control: (module, index)}}: one group per window, and one per menu of
    the main window, as the user meets them."""
    groups = {}
    parents = menu_parents()
    for window, sources in WINDOWS.items():
        for relative in sources:
            for control, ref in caption_strings(read_source(relative)).items():
                if control in parents:
                    groups.setdefault("menu " + parents[control], {})[control] = ref
                elif not control.startswith("mi"):
                    groups.setdefault(window, {})[control] = ref
    return groups


def access_key(text):
    m = ACCELERATOR.search(text.replace("&&", ""))
    return m.group(0)[1].lower() if m else None


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

    def test_the_caption_map_is_read_from_the_code(self):
        groups = accelerator_groups()
        self.assertEqual(set(WINDOWS) - set(groups), set(), "windows without a caption")
        self.assertIn(("ovShared", 97), groups["Easy Launch"].values())
        self.assertEqual(groups["menu miFile"]["miSaveAs"], ("ovShared", 122))
        self.assertEqual(groups["menu miHelp"]["miProductInfo"], ("qdShared", 11))

    def test_every_window_that_shows_module_texts_is_listed(self):
        listed = {relative for sources in WINDOWS.values() for relative in sources}
        for folder, _, files in os.walk(os.path.join(ROOT, "src")):
            for name in files:
                relative = os.path.relpath(os.path.join(folder, name), os.path.join(ROOT, "src"))
                if name.endswith(".cpp") and relative.replace(os.sep, "/") not in listed:
                    with self.subTest(source=relative):
                        self.assertEqual(caption_strings(read_source(relative)), {}, relative)

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

    def test_access_keys_are_unique_in_every_window_and_menu(self):
        # Two controls of one dialog with one access key: the key reaches only the first.
        groups = accelerator_groups()
        for code in ("enu",) + SHIPPED:
            tables = {module: mlsc.parse_source(os.path.join(SOURCES, f"{module}_{code}.mlt"))
                      for module in MODULES}
            for group, controls in groups.items():
                seen = {}
                for control, (module, index) in sorted(controls.items()):
                    key = access_key(tables[module].texts[index])
                    if key is None:
                        continue
                    with self.subTest(language=code, window=group, control=control):
                        self.assertNotIn(key, seen, f"{code}, {group}: {control} and "
                                         f"{seen.get(key)} share the access key {key!r}")
                    seen[key] = control

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

    def test_every_shipped_language_has_its_tips_translated(self):
        # The information panel shows "VocaletTips.<code>" beside the program, in the ANSI
        # code page of the language's string modules; English only when the file is missing.
        def tips(code):
            path = os.path.join(ROOT, "src", "resources", f"VocaletTips.{code}")
            with open(path, "rb") as f:
                text = f.read().decode("cp1251" if code in CYRILLIC else "cp1252")
            return [line for line in text.splitlines() if line and not line.startswith(";")]
        english = tips("enu")
        for code in SHIPPED:
            with self.subTest(language=code):
                translated = tips(code)
                self.assertEqual(len(translated), len(english))
                self.assertEqual([t for t in translated if t in english], [])

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
