"""Every shipped translation against the English source of its module: a dropped placeholder or
two controls with one access key would show only in that language."""

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
# The language menu offers a language only when all four modules have it.
SHIPPED = ("deu", "esp", "fra", "ita", "nld", "ptg", "rus")
CYRILLIC = ("rus", "ukr", "bel")
# %[index:][-][width][.precision]type, or "%%".
PLACEHOLDER = re.compile(r"%%|%(?:\d+:)?-?(?:\d+|\*)?(?:\.(?:\d+|\*))?[dunefgmpsx]", re.I)
ACCELERATOR = re.compile(r"&[^&\s]")
PRODUCT_NAMES = ("Quindle", "Vocalet", "GSM 6.10", "http://", "F1", "CD-ROM", "HTML")
# Windows built from more than one source; every other source is a window of its own.
WINDOWS = {
    "main window": ("shell/fMain.cpp", "audio/fRecord.cpp", "shell/InfoViewer.cpp"),
    "Easy Launch": ("desktop/fEasyLaunch.cpp", "desktop/dEasyLaunch.cpp"),
}
MODULE_OF_RESOURCE = {"MLS_QDSHARED": "qdShared", "MLS_OVSHARED": "ovShared",
                      "MLS_VOCALET": "Vocalet", "MLS_SOUNDREC": "SoundRec"}


def read_source(relative):
    with open(os.path.join(ROOT, "src", relative), encoding="utf-8") as f:
        return f.read()


def caption_strings(source):
    """{control: (module, index)} of the captions a source sets from a string module: through
    MLS_X->Strings[i], a local alias of a module's Strings, or a one-line accessor."""
    names = {n: MODULE_OF_RESOURCE[r] for n, r in re.findall(
        r"const auto& (\w+) = (MLS_\w+)->Strings;", source) + re.findall(
        r"(\w+)\(int \w+\) \{ return (MLS_\w+)->Strings\[\w+\]; \}", source)}
    names.update((r + "->Strings", m) for r, m in MODULE_OF_RESOURCE.items())
    found = {}
    for control, argument in re.findall(r"(?:(\w+)->)?SetCaption\(([^;]*)\);", source):
        m = re.fullmatch(r"([\w>-]+)[\[(](\d+)[\])]", argument)
        if m and m.group(1) in names:
            found[control or "(window)"] = (names[m.group(1)], int(m.group(2)))
    return found


def menu_parents():
    """{menu item: its menu} of the main window, with the items the product-environment
    component inserts into the View and Help menus."""
    main = read_source("shell/fMain.cpp")
    parent = dict(re.findall(r"(\w+) = (?:Item|Line)\(this, (\w+), ", main))
    places = re.search(r"QuindleEnv->InsertItems\((\w+), (\w+)\)", main).groups()
    env = read_source("shell/QuindleEnv.cpp")
    params = re.search(r"InsertItems\(TMenuItem\* (\w+), TMenuItem\* (\w+)\)", env).groups()
    for param, place in zip(params, places):
        block = re.search(r"if \(" + param + r" && .*?\n  \}", env, re.S).group(0)
        for item in re.findall(r"->Insert\([^,]+, (\w+)\)", block):
            parent[item] = parent[place]
    return parent


def access_key_groups():
    """{group: {control: (module, index)}}: one group per window and per main-window menu."""
    window_of = {src: window for window, sources in WINDOWS.items() for src in sources}
    parents, groups = menu_parents(), {}
    for folder, _, files in os.walk(os.path.join(ROOT, "src")):
        for name in files:
            if not name.endswith(".cpp"):
                continue
            relative = os.path.relpath(os.path.join(folder, name),
                                       os.path.join(ROOT, "src")).replace(os.sep, "/")
            for control, ref in caption_strings(read_source(relative)).items():
                if control in parents:
                    groups.setdefault("menu " + parents[control], {})[control] = ref
                elif not control.startswith("mi"):
                    groups.setdefault(window_of.get(relative, relative), {})[control] = ref
    return groups


def table(module, code):
    return mlsc.parse_source(os.path.join(SOURCES, f"{module}_{code}.mlt"))


ENGLISH = {module: table(module, "enu") for module in MODULES}
TRANSLATIONS = {(m.group(1), m.group(2)): table(m.group(1), m.group(2))
                for m in map(re.compile(r"([A-Za-z]+)_([a-z]{3})\.mlt").fullmatch,
                             sorted(os.listdir(SOURCES))) if m and m.group(2) != "enu"}


def pairs():
    """(where, translated, English) of every string of every translation."""
    for (module, code), t in TRANSLATIONS.items():
        for i, (text, english) in enumerate(zip(t.texts, ENGLISH[module].texts)):
            yield f"{module}_{code}.mlt:{t.lines[i]} (string {i})", text, english


class Translations(unittest.TestCase):
    def test_every_shipped_language_has_all_four_modules_in_its_code_page(self):
        # The build compiles each against its English source; these are what it cannot know.
        self.assertEqual(set(TRANSLATIONS), {(m, c) for m in MODULES for c in SHIPPED})
        self.assertEqual([key for key, t in TRANSLATIONS.items()
                          if t.codepage != (1251 if key[1] in CYRILLIC else 1252)], [])

    def test_placeholders_line_breaks_and_access_keys_follow_the_english(self):
        def shape(text):  # " %d KB" is appended to a number: a leading blank counts too
            return (PLACEHOLDER.findall(text), "%" in PLACEHOLDER.sub("", text),
                    text.count("\\n"), text.startswith("\\n"), text[:1] == " ",
                    text.endswith("..."), len(ACCELERATOR.findall(text.replace("&&", ""))),
                    text.split("|")[1::2])  # a file filter's patterns
        self.assertEqual([where for where, text, english in pairs()
                          if shape(text) != shape(english)], [])

    def test_access_keys_are_unique_in_every_window_and_menu(self):
        # Two controls of one window (or items of one menu) with one access key: the key
        # reaches only the first.
        groups = access_key_groups()
        self.assertTrue({"main window", "Easy Launch", "menu miFile", "menu miHelp"} <= set(groups))
        clashes = []
        for code in ("enu",) + SHIPPED:
            tables = {module: table(module, code) for module in MODULES}
            for group, controls in groups.items():
                seen = {}
                for control, (module, index) in sorted(controls.items()):
                    m = ACCELERATOR.search(tables[module].texts[index].replace("&&", ""))
                    key = m and m.group(0)[1].lower()
                    if key in seen:
                        clashes.append(f"{code}, {group}: {seen[key]} and {control} on {key!r}")
                    elif key:
                        seen[key] = control
        self.assertEqual(clashes, [])

    def test_product_names_stay_untranslated(self):
        self.assertEqual([(where, name) for where, text, english in pairs()
                          for name in PRODUCT_NAMES if name in english and name not in text], [])

    def test_texts_are_translated_not_copied(self):
        # Short words such as "OK" or "Mono" are the same in many languages; most texts are not.
        for key in TRANSLATIONS:
            with self.subTest(translation=key):
                texts = [(w, t, e) for w, t, e in pairs() if w.startswith("_".join(key) + ".")]
                self.assertLessEqual(sum(t == e and len(e) > 12 for _, t, e in texts), 3)
                self.assertEqual([w for w, t, e in texts if e and not t], [])

    def test_every_shipped_language_has_its_tips_translated(self):
        # "VocaletTips.<code>" beside the program, in the code page of the language's modules.
        def tips(code):
            with open(os.path.join(ROOT, "src", "resources", f"VocaletTips.{code}"), "rb") as f:
                text = f.read().decode("cp1251" if code in CYRILLIC else "cp1252")
            return [line for line in text.splitlines() if line and not line.startswith(";")]
        english = tips("enu")
        for code in SHIPPED:
            with self.subTest(language=code):
                translated = tips(code)
                self.assertEqual(len(translated), len(english))
                self.assertEqual([t for t in translated if t in english], [])


if __name__ == "__main__":
    unittest.main()
