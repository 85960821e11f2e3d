#!/usr/bin/env python3
"""Installs Trabex into a temporary prefix and checks what a user gets: the programs, the language
files, the desktop entry, the document type, icon, examples and manual page; that the installed
trabex-cli analyses an installed example; and that the installed desktop program finds both
shipped languages."""

import json
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

BUILD, CMAKE, VERSION = sys.argv[1], sys.argv[2], sys.argv[3]
EXPECTED = [
    "bin/trabex",
    "bin/trabex-cli",
    "share/trabex/Langs/Trabex.cs.lng",
    "share/trabex/Langs/Trabex.en.lng",
    "share/applications/trabex.desktop",
    "share/mime/packages/trabex.xml",
    "share/icons/hicolor/scalable/apps/trabex.svg",
    "share/man/man1/trabex-cli.1",
    "share/trabex/examples/triangle.trs",
    "share/trabex/examples/pratt-bridge.trs",
]
TRUSS_TYPE = "application/x-trabex-truss"
MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"
XML_LANG = "{http://www.w3.org/XML/1998/namespace}lang"
START_TIMEOUT = 30  # seconds for the desktop program to show its main window


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def check_files(prefix):
    for path in EXPECTED:
        full = os.path.join(prefix, path)
        if not os.path.isfile(full):
            fail("not installed: " + path)
    for program in ("bin/trabex", "bin/trabex-cli"):
        if not os.access(os.path.join(prefix, program), os.X_OK):
            fail(program + " is not executable")


def check_desktop_entry(prefix):
    entry = {}
    with open(os.path.join(prefix, "share/applications/trabex.desktop"), encoding="utf-8") as f:
        for line in f:
            if "=" in line:
                key, value = line.rstrip("\n").split("=", 1)
                entry[key] = value
    if entry.get("Name") != "Trabex":
        fail("desktop entry Name is %r" % entry.get("Name"))
    if not entry.get("Comment") or not entry.get("Comment[cs]"):
        fail("desktop entry lacks the English or Czech comment")
    categories = set(filter(None, entry.get("Categories", "").split(";")))
    if not {"Education", "Engineering", "Science"} <= categories:
        fail("desktop entry categories are %r" % entry.get("Categories"))
    if entry.get("Exec", "").split()[0] != "trabex" or entry.get("Icon") != "trabex":
        fail("desktop entry does not start trabex with its icon")
    # A file manager passes the chosen documents as separate arguments.
    if entry.get("Exec") != "trabex %F":
        fail("desktop entry Exec is %r" % entry.get("Exec"))
    if TRUSS_TYPE not in entry.get("MimeType", "").split(";"):
        fail("desktop entry MimeType is %r" % entry.get("MimeType"))
    with open(os.path.join(prefix, "share/icons/hicolor/scalable/apps/trabex.svg"), encoding="utf-8") as f:
        if "<svg" not in f.read():
            fail("the icon is not an SVG picture")


def check_mime_type(prefix):
    """The document type: well-formed, named, with its glob and comments; and the freedesktop
    tool builds a database from it that maps *.trs to it."""
    path = os.path.join(prefix, "share/mime/packages/trabex.xml")
    try:
        root = ElementTree.parse(path).getroot()
    except ElementTree.ParseError as e:
        fail("the document type is not well-formed XML: %s" % e)
    types = [t for t in root.iter(MIME_NS + "mime-type") if t.get("type") == TRUSS_TYPE]
    if root.tag != MIME_NS + "mime-info" or len(types) != 1:
        fail("%s does not define %s once" % (path, TRUSS_TYPE))
    globs = [g.get("pattern") for g in types[0].iter(MIME_NS + "glob")]
    if globs != ["*.trs"]:
        fail("the document type's globs are %r" % globs)
    comments = {c.get(XML_LANG): c.text for c in types[0].iter(MIME_NS + "comment")}
    if not comments.get(None) or not comments.get("cs") or comments[None] == comments["cs"]:
        fail("the document type lacks an English or a Czech comment: %r" % comments)
    database = os.path.join(prefix, "share/mime")
    subprocess.run(["update-mime-database", database], check=True, capture_output=True,
                   timeout=60)
    with open(os.path.join(database, "globs2"), encoding="utf-8") as f:
        mapped = [line.strip().split(":", 1)[1] for line in f if not line.startswith("#")]
    if TRUSS_TYPE + ":*.trs" not in mapped:
        fail("update-mime-database maps %r, not *.trs to %s" % (mapped, TRUSS_TYPE))


def check_cli(prefix, env):
    example = os.path.join(prefix, "share/trabex/examples/triangle.trs")
    out = subprocess.run([os.path.join(prefix, "bin/trabex-cli"), "json", example], env=env,
                         capture_output=True, text=True, timeout=60)
    if out.returncode != 0:
        fail("installed trabex-cli failed: " + out.stderr)
    result = json.loads(out.stdout)
    forces = sorted(bar["force"] for bar in result["bars"])
    # Apex load 10 on a 200 wide, 100 high triangle: rafters -5*sqrt(2), tie +5.
    expected = sorted([5.0, -5 * math.sqrt(2), -5 * math.sqrt(2)])
    if any(abs(a - b) > 1e-9 for a, b in zip(forces, expected)) or len(forces) != 3:
        fail("installed trabex-cli gave forces %r" % forces)


def start_display():
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp"], pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as f:
        number = f.readline().strip()
    if not number:
        xvfb.kill()
        fail("Xvfb did not start")
    return xvfb, ":" + number


def caption_after_start(prefix, env):
    """Starts the installed program and returns its main window's caption."""
    program = subprocess.Popen([os.path.join(prefix, "bin/trabex")], env=env, cwd=env["HOME"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + START_TIMEOUT
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Trabex v"],
                                   env=env, capture_output=True, text=True)
            for window in found.stdout.split():
                name = subprocess.run(["xdotool", "getwindowname", window], env=env,
                                      capture_output=True, text=True).stdout.strip()
                if name.endswith(")"):
                    return name
            if program.poll() is not None:
                fail("the installed program ended at once")
            time.sleep(0.1)
        fail("the installed program showed no main window with a language")
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()


def check_languages(prefix, home):
    xvfb, display = start_display()
    try:
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local/share"), XDG_RUNTIME_DIR=home,
                   DISPLAY=display, QT_QPA_PLATFORM="xcb", LC_ALL="C", LANG="C")
        env.pop("WAYLAND_DISPLAY", None)
        english = caption_after_start(prefix, env)
        if english != "Trabex v.%s (en)" % VERSION:
            fail("first start shows %r, not the English language" % english)
        settings = os.path.join(home, ".config/Trabex")
        os.makedirs(settings, exist_ok=True)
        with open(os.path.join(settings, "Trabex.ini"), "a", encoding="utf-8") as f:
            f.write("\n[Last]\nLanguage=cs\n")
        czech = caption_after_start(prefix, env)
        if czech != "Trabex v.%s (cs)" % VERSION:
            fail("with Czech chosen the program shows %r" % czech)
    finally:
        xvfb.terminate()
        xvfb.wait(10)


def main():
    with tempfile.TemporaryDirectory() as prefix, tempfile.TemporaryDirectory() as home:
        subprocess.run([CMAKE, "--install", BUILD, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        check_files(prefix)
        check_desktop_entry(prefix)
        check_mime_type(prefix)
        env = dict(os.environ, HOME=home, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=home)
        check_cli(prefix, env)
        # The build tree's own language files must not be what the installed program finds.
        if os.path.isdir(os.path.join(prefix, "bin/Langs")):
            fail("language files were installed beside the program instead of share/trabex")
        check_languages(prefix, home)
    print("install test passed")


if __name__ == "__main__":
    main()
