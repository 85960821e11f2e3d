#!/usr/bin/env python3
"""trabex-cli end to end: forces of example trusses, error codes, and refusal of bad input;
trabex-trussgen's command line and the example files it makes."""
import csv
import io
import json
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

CLI, EXAMPLES, DATA, TRUSSGEN, MAKE_EXAMPLES = sys.argv[1:6]


SCRATCH = tempfile.mkdtemp(prefix="trabex-cli-test-")
ENV = dict(os.environ, HOME=SCRATCH, XDG_RUNTIME_DIR=SCRATCH, XDG_CONFIG_HOME=SCRATCH + "/.config",
           XDG_DATA_HOME=SCRATCH + "/.local/share", QT_QPA_PLATFORM="offscreen")


def run(*args):
    return subprocess.run([CLI, *args], capture_output=True, text=True, timeout=120, env=ENV)


def analyse(path, *options):
    result = run("json", path, *options)
    assert result.returncode == 0, result.stderr
    return json.loads(result.stdout)


class Json(unittest.TestCase):
    def test_triangle_forces_and_reactions(self):
        doc = analyse(os.path.join(DATA, "triangle.trs"))
        self.assertEqual(doc["err"], 0)
        self.assertEqual(doc["static_indeterminacy"], 0)
        forces = [b["force"] for b in doc["bars"]]
        self.assertAlmostEqual(forces[0], 5, places=12)
        self.assertAlmostEqual(forces[1], -5 * math.sqrt(2), places=12)
        self.assertAlmostEqual(forces[2], -5 * math.sqrt(2), places=12)
        pin, roller = doc["supports"]
        self.assertEqual(pin["fixed"], "xy")
        self.assertEqual(roller["fixed"], "y")
        self.assertIsNone(roller["reaction_x"])
        self.assertAlmostEqual(roller["reaction_y"], -5, places=12)
        self.assertEqual([j["number"] for j in doc["joints"]], [1, 2, 3])
        self.assertEqual(doc["bars"][1]["a"], [240, 140])
        self.assertEqual(doc["forces"][0], {"index": 0, "x": 140, "y": 40, "sila": 10, "uhel": 90})

    def test_mechanism_has_err_2_and_no_forces(self):
        doc = analyse(os.path.join(DATA, "mechanism.trs"))
        self.assertEqual(doc["err"], 2)
        self.assertEqual(doc["static_indeterminacy"], -1)
        self.assertTrue(all(b["force"] is None for b in doc["bars"]))
        self.assertTrue(all(s["reaction_y"] is None for s in doc["supports"]))

    def test_comma_decimal_file_keeps_its_load(self):
        doc = analyse(os.path.join(DATA, "comma-decimal.trs"))
        self.assertEqual(doc["forces"][0]["sila"], 12.5)
        self.assertAlmostEqual(doc["supports"][1]["reaction_y"], -12.5, places=12)

    def test_every_example_solves_and_balances_vertically(self):
        names = sorted(n for n in os.listdir(EXAMPLES) if n.endswith(".trs"))
        self.assertGreaterEqual(len(names), 6)
        for name in names:
            with self.subTest(name=name):
                doc = analyse(os.path.join(EXAMPLES, name))
                self.assertEqual(doc["err"], 0)
                self.assertEqual(doc["static_indeterminacy"], 0)
                load_y = sum(f["sila"] * math.sin(math.radians(f["uhel"])) for f in doc["forces"])
                react_y = sum(s["reaction_y"] or 0 for s in doc["supports"])
                self.assertAlmostEqual(load_y + react_y, 0, places=9)


SQRT2 = math.sqrt(2)


class Methods(unittest.TestCase):
    """braced-square.trs: a square with both diagonals, diagonal 1-3 three times as stiff, one
    drawing unit 0.01 m. Force method by hand (redundant: diagonal 2-4): X = 30 - 25 sqrt2, the
    sides 25 - 15 sqrt2 (bottom, left) and 15 - 15 sqrt2 (right, top), diagonal 1-3
    30 - 15 sqrt2. Joint 4 moves along x by sum N n' L / EA with n' the primary's forces under a
    unit load there: (2000 sqrt2 - 1000) drawing units, times 0.01 m."""

    SQUARE = os.path.join(DATA, "braced-square.trs")

    def test_auto_solves_a_redundant_truss_by_stiffness(self):
        doc = analyse(self.SQUARE)
        self.assertEqual(doc["method"], "stiffness")
        self.assertEqual(doc["err"], 0)
        self.assertEqual(doc["static_indeterminacy"], 1)
        side = 25 - 15 * SQRT2
        expected = [side, side - 10, side - 10, side, 30 - 15 * SQRT2, 30 - 25 * SQRT2]
        for bar, force in zip(doc["bars"], expected):
            self.assertAlmostEqual(bar["force"], force, places=9)
        self.assertEqual([b["ea"] for b in doc["bars"]], [1, 1, 1, 1, 3, 1])
        self.assertEqual(doc["units"], {"length": 0.01, "length_unit": "m", "force_unit": "kN"})
        self.assertAlmostEqual(doc["joints"][3]["ux"], 0.01 * (2000 * SQRT2 - 1000), places=9)
        self.assertEqual((doc["joints"][0]["ux"], doc["joints"][0]["uy"]), (0, 0))
        self.assertNotIn("mechanism", doc)

    def test_joints_keep_the_designed_answer(self):
        # The file numbers the roller's reaction 9, beyond the 8 equations: the joint equations
        # hold the square on its pin alone and have no unique solution, though it cannot move.
        doc = analyse(self.SQUARE, "--method", "joints")
        self.assertEqual(doc["method"], "joints")
        self.assertEqual(doc["err"], 2)
        self.assertTrue(all(b["force"] is None for b in doc["bars"]))
        self.assertTrue(all(j["ux"] is None and j["uy"] is None for j in doc["joints"]))
        self.assertEqual(doc["mechanism"]["kind"], "none")
        self.assertEqual(doc["mechanism"]["modes"], 0)

    def test_stiffness_on_a_determinate_truss_gives_the_joint_forces(self):
        joints = analyse(os.path.join(DATA, "triangle.trs"), "--method=joints")
        stiffness = analyse(os.path.join(DATA, "triangle.trs"), "--method=stiffness")
        self.assertEqual(stiffness["method"], "stiffness")
        for a, b in zip(joints["bars"], stiffness["bars"]):
            self.assertAlmostEqual(a["force"], b["force"], places=9)
        # The bottom chord (L 200, EA 1) carries 5: its far end moves by N L / EA = 1000.
        self.assertAlmostEqual(joints["joints"][1]["ux"], 1000, places=6)

    def test_a_mechanism_names_its_joints(self):
        for method in ("auto", "joints", "stiffness"):
            with self.subTest(method=method):
                doc = analyse(os.path.join(DATA, "mechanism.trs"), "--method", method)
                self.assertEqual(doc["err"], 2)
                self.assertEqual(doc["mechanism"]["modes"], 1)
                self.assertEqual(doc["mechanism"]["joints"], [3, 4])
                self.assertEqual(doc["mechanism"]["kind"], "internal")
                self.assertTrue(all(j["ux"] is None for j in doc["joints"]))

    def test_report_names_the_method_and_lists_displacements(self):
        out = run("report", "--method", "stiffness", self.SQUARE)
        self.assertEqual(out.returncode, 0, out.stderr)
        self.assertIn("Metoda: tuhostní", out.stdout)
        self.assertIn("Posuny styčníků: 4 ====================", out.stdout)
        self.assertIn("  4: ux=18.284 m, uy=-3.787 m\n", out.stdout)
        self.assertIn("method: stiffness\n", out.stdout)
        mechanism = run("report", os.path.join(DATA, "mechanism.trs"))
        self.assertIn("mechanism: Mechanismus: styčníky 3 a 4 se mohou pohnout", mechanism.stdout)

    def test_a_bad_method_is_refused(self):
        out = run("json", self.SQUARE, "--method", "guess")
        self.assertEqual(out.returncode, 2)
        self.assertEqual(run("report", self.SQUARE, "--method").returncode, 2)


def read_csv(text):
    """The CSV's tables by title: each a list of rows whose first is the header."""
    tables, current = {}, None
    for row in csv.reader(io.StringIO(text, newline="")):
        if not row:
            current = None
        elif current is None:
            assert len(row) == 1, row
            current = tables.setdefault(row[0], [])
        else:
            current.append(row)
    return tables


def number(field):
    return None if field == "" else float(field)


class Csv(unittest.TestCase):
    def check_agrees(self, path, *options):
        out = run("csv", path, *options)
        self.assertEqual(out.returncode, 0, out.stderr)
        raw = subprocess.run([CLI, "csv", path, *options], capture_output=True, timeout=120,
                             env=ENV).stdout
        self.assertNotIn(b"\n", raw.replace(b"\r\n", b""), "RFC 4180 lines end in CR LF")
        tables = read_csv(raw.decode("utf-8"))
        self.assertEqual(list(tables), ["Pruty", "Podpory", "Styčníky"])
        doc = analyse(path, *options)
        scale = doc["units"]["length"]
        close = dict(rel_tol=1e-13, abs_tol=1e-13)

        bars = tables["Pruty"]
        self.assertEqual(bars[0][:3], ["Prut", "Styčník A", "Styčník B"])
        self.assertEqual(len(bars) - 1, len(doc["bars"]))
        joint_at = {(j["x"], j["y"]): j["number"] for j in doc["joints"]}
        for row, bar in zip(bars[1:], doc["bars"]):
            self.assertEqual(int(row[0]), bar["number"])
            self.assertEqual(int(row[1]), joint_at[tuple(bar["a"])])
            self.assertEqual(int(row[2]), joint_at[tuple(bar["b"])])
            length = math.dist(bar["a"], bar["b"]) * scale
            self.assertTrue(math.isclose(float(row[3]), length, **close), (row, bar))
            if bar["force"] is None:
                self.assertEqual(row[4:], ["", ""])
            else:
                self.assertTrue(math.isclose(float(row[4]), bar["force"], **close), (row, bar))
                self.assertIn(row[5], ("tah", "tlak", "nulová"))

        supports = tables["Podpory"]
        for row, support in zip(supports[1:], doc["supports"]):
            self.assertTrue(math.isclose(float(row[1]), support["x"] * scale, **close))
            self.assertTrue(math.isclose(float(row[2]), support["y"] * scale, **close))
            for field, key in ((row[4], "reaction_x"), (row[5], "reaction_y")):
                expected = support[key]
                if expected is None:
                    self.assertEqual(field, "")
                else:
                    self.assertTrue(math.isclose(float(field), expected, **close), (row, key))

        joints = tables["Styčníky"]
        self.assertEqual(len(joints) - 1, len(doc["joints"]))
        for row, joint in zip(joints[1:], doc["joints"]):
            self.assertEqual(int(row[0]), joint["number"])
            self.assertTrue(math.isclose(float(row[1]), joint["x"] * scale, **close))
            if joint["ux"] is not None:
                self.assertTrue(math.isclose(float(row[3]), joint["ux"], **close))
                self.assertTrue(math.isclose(float(row[4]), joint["uy"], **close))
        return tables

    def test_csv_reads_with_python_and_agrees_with_json(self):
        names = sorted(n for n in os.listdir(EXAMPLES) if n.endswith(".trs"))
        for name in names:
            with self.subTest(name=name):
                self.check_agrees(os.path.join(EXAMPLES, name))
        square = os.path.join(DATA, "braced-square.trs")
        tables = self.check_agrees(square)
        self.assertEqual(tables["Pruty"][0][3:5], ["Délka [m]", "Síla [kN]"])
        self.assertEqual(tables["Styčníky"][0][3:], ["ux [m]", "uy [m]"])
        # Not solved by the joint equations: the forces stand empty, the lengths remain.
        unsolved = self.check_agrees(square, "--method", "joints")
        self.assertEqual(unsolved["Pruty"][1][3:], ["1", "", ""])
        self.check_agrees(os.path.join(DATA, "mechanism.trs"))

class TextCommands(unittest.TestCase):
    def test_steps_solve_joint_by_joint(self):
        out = run("steps", os.path.join(DATA, "triangle.trs"))
        self.assertEqual(out.returncode, 0, out.stderr)
        self.assertIn("Soustava je staticky určitá", out.stdout)
        self.assertIn("Krok 1: styčník 3 (140, 40)\n", out.stdout)
        self.assertIn("  ΣFy = 0:  0.70711·S2 + 0.70711·S3 + 10 = 0\n", out.stdout)
        self.assertIn("  Řešení: S1 = 5 (tah), Ry2 = -5\n", out.stdout)
        pratt = run("steps", os.path.join(EXAMPLES, "pratt.trs"))
        self.assertIn("Krok 1: reakce z rovnováhy celé soustavy", pratt.stdout)

    def test_report_ends_with_counts_and_error(self):
        out = run("report", os.path.join(DATA, "triangle.trs"))
        self.assertEqual(out.returncode, 0)
        self.assertIn("Počet prutů: 3 ====================", out.stdout)
        self.assertIn("static indeterminacy: 0\nerror: 0\n", out.stdout)

    def test_equations_list_the_system(self):
        out = run("equations", os.path.join(DATA, "triangle.trs"))
        self.assertEqual(out.returncode, 0)
        self.assertTrue(out.stdout.startswith("Dimenze: 6\n"))
        self.assertIn("Řešení:", out.stdout)

    def test_probe_prints_the_grid(self):
        out = run("probe", os.path.join(DATA, "triangle.trs"), "140", "40", "20")
        self.assertEqual(out.returncode, 0, out.stderr)
        self.assertIn("MinSumAbs:", out.stdout)
        self.assertEqual(len(out.stdout.splitlines()), 1 + 7 + 1 + 7 + 2)

    def test_render_writes_a_png(self):
        with tempfile.TemporaryDirectory() as d:
            png = os.path.join(d, "t.png")
            out = run("render", os.path.join(DATA, "triangle.trs"), png, "320", "200")
            self.assertEqual(out.returncode, 0, out.stderr)
            with open(png, "rb") as f:
                head = f.read(24)
            self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(int.from_bytes(head[16:20], "big"), 320)

    def test_render_writes_svg_and_pdf_fitted_to_the_size(self):
        import xml.etree.ElementTree as ET
        with tempfile.TemporaryDirectory() as d:
            svg, pdf = os.path.join(d, "t.svg"), os.path.join(d, "t.pdf")
            for path in (svg, pdf):
                out = run("render", os.path.join(DATA, "triangle.trs"), path, "400", "300")
                self.assertEqual(out.returncode, 0, out.stderr)
            root = ET.parse(svg).getroot()
            self.assertEqual(root.get("viewBox"), "0 0 400 300")
            # The triangle's 200 x 100 units fill 340 pixels across (30 free on each side) and
            # sit centred: its joints at these pixels, each bar drawn once in its black outline.
            ns = "{http://www.w3.org/2000/svg}"
            outlines = sorted(tuple(sorted(p.get("points").split()))
                              for g in root.iter(ns + "g") if g.get("stroke-width") == "5"
                              for p in g.iter(ns + "polyline"))
            self.assertEqual(outlines, sorted([("30,235", "370,235"), ("200,65", "370,235"),
                                               ("200,65", "30,235")]))
            with open(pdf, "rb") as f:
                self.assertEqual(f.read(5), b"%PDF-")
            if shutil.which("pdfinfo"):
                info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
                self.assertRegex(info, r"Pages:\s+1\n")
                self.assertIn("300 x 225 pts", info)


class BadInput(unittest.TestCase):
    def assertRefused(self, *args):
        out = run(*args)
        self.assertEqual(out.returncode, 2, out.stdout)
        self.assertEqual(out.stdout, "")
        self.assertEqual(len(out.stderr.strip().splitlines()), 1, out.stderr)

    def test_refusals(self):
        self.assertRefused()
        self.assertRefused("json", os.path.join(DATA, "missing.trs"))
        self.assertRefused("json", os.path.join(DATA, "huge-count.trs"))
        self.assertRefused("json", DATA)
        self.assertRefused("frobnicate", os.path.join(DATA, "triangle.trs"))
        self.assertRefused("probe", os.path.join(DATA, "triangle.trs"), "x", "40", "20")
        self.assertRefused("probe", os.path.join(DATA, "triangle.trs"), "1", "1", "20")
        self.assertRefused("render", os.path.join(DATA, "triangle.trs"), "/no/such/dir/x.png")
        self.assertRefused("render", os.path.join(DATA, "triangle.trs"), "/no/such/dir/x.svg")
        self.assertRefused("render", os.path.join(DATA, "triangle.trs"), "/no/such/dir/x.pdf")
        self.assertRefused("csv", os.path.join(DATA, "missing.trs"))
        self.assertRefused("csv", os.path.join(DATA, "triangle.trs"), "--method", "guess")
        self.assertRefused("steps", os.path.join(DATA, "triangle.trs"), "extra")

    def test_refused_render_writes_nothing(self):
        with tempfile.TemporaryDirectory() as d:
            png = os.path.join(d, "t.png")
            self.assertRefused("render", os.path.join(DATA, "huge-count.trs"), png)
            self.assertFalse(os.path.exists(png))


class Trussgen(unittest.TestCase):
    def run_in(self, folder, *args):
        return subprocess.run([TRUSSGEN, *args], capture_output=True, text=True, timeout=120,
                              env=ENV, cwd=folder)

    def test_help_and_unknown_options_print_the_usage_and_write_nothing(self):
        for args, code in ((["--help"], 0), (["-h"], 0), (["--frobnicate"], 2),
                           (["-x", "out"], 2), (["a", "b"], 2), (["--stamp"], 2)):
            with self.subTest(args=args), tempfile.TemporaryDirectory() as d:
                out = self.run_in(d, *args)
                self.assertEqual(out.returncode, code, out.stderr)
                self.assertIn("Usage: trabex-trussgen", out.stdout if code == 0 else out.stderr)
                self.assertEqual(os.listdir(d), [])

    def test_examples_are_what_the_documented_command_makes(self):
        with tempfile.TemporaryDirectory() as d:
            subprocess.run(["bash", MAKE_EXAMPLES, TRUSSGEN, d], check=True, timeout=120)
            made = sorted(os.listdir(d))
            self.assertEqual(made, sorted(n for n in os.listdir(EXAMPLES) if n.endswith(".trs")))
            for name in made:
                with self.subTest(name=name), open(os.path.join(d, name), "rb") as new, \
                        open(os.path.join(EXAMPLES, name), "rb") as old:
                    self.assertEqual(new.read(), old.read(),
                                     "examples/ is stale: run tools/make-examples.sh")

    def test_no_example_names_a_folder_of_the_machine_that_made_it(self):
        stamp = re.compile(r"^[0-9.]+=.* (/\S+) SN:[0-9A-F]{4}-[0-9A-F]{4}$")
        for name in sorted(n for n in os.listdir(EXAMPLES) if n.endswith(".trs")):
            with self.subTest(name=name), open(os.path.join(EXAMPLES, name), "rb") as f:
                lines = f.read().decode("utf-8").split("\r\n")
                info = lines[lines.index("[Info]") + 1]
                match = stamp.match(info)
                self.assertIsNotNone(match, info)
                self.assertEqual(match.group(1), "/usr/bin/trabex-trussgen")
                paths = [line for line in lines if "/" in line and line != info]
                self.assertEqual(paths, [])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
