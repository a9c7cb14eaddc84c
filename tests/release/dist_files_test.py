#!/usr/bin/env python3
"""Reads the release in dist/ as a user's machine gets it: the checksums, the zip's entries and
their times, the licence and this version's notes from CHANGELOG.md in it, its texts' line
endings, and inside each program the marks of a release build (64-bit, stripped, static, no link
time, no build path). Whether two builds give the same bytes is scripts/dist-repro's test."""
import hashlib
import io
import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

TOP = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DIST = os.path.join(TOP, "dist")


def read_text(*path):
    with open(os.path.join(TOP, *path), encoding="utf-8") as f:
        return f.read()


def version():
    parts = dict(re.findall(r"#define VEMO_VERSION_(MAJOR|MINOR|LEVEL) (\d+)", read_text("release", "version.h")))
    return f"{parts['MAJOR']}.{parts['MINOR']}.{parts['LEVEL']}"


def windows_lines(text):
    return text.replace("\n", "\r\n").encode("utf-8")


def commit_time():
    """The time the release files carry: $SOURCE_DATE_EPOCH or the commit's; None without git."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    result = subprocess.run(["git", "-C", TOP, "log", "-1", "--format=%ct"], capture_output=True, text=True)
    return int(result.stdout) if result.returncode == 0 else None


def pe_header(data):
    """(machine, time stamp, symbol table pointer, symbol count, subsystem, section names)."""
    assert data[:2] == b"MZ"
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0"
    machine, sections, stamp, symbols_at, symbols, optional_size = struct.unpack_from("<HHIIIH", data, pe + 4)
    optional = pe + 24
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    table = optional + optional_size
    names = [data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode() for i in range(sections)]
    return machine, stamp, symbols_at, symbols, subsystem, names


class DistFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.version = version()
        cls.zip_name = f"vemo-{cls.version}-win64.zip"
        cls.setup_name = f"vemo-{cls.version}-setup.exe"
        with open(os.path.join(DIST, cls.zip_name), "rb") as f:
            cls.zip_bytes = f.read()
        with open(os.path.join(DIST, cls.setup_name), "rb") as f:
            cls.setup_bytes = f.read()

    def test_checksums_name_both_files(self):
        with open(os.path.join(DIST, "SHA256SUMS")) as f:
            lines = f.read().splitlines()
        expected = [f"{hashlib.sha256(self.zip_bytes).hexdigest()}  {self.zip_name}",
                    f"{hashlib.sha256(self.setup_bytes).hexdigest()}  {self.setup_name}"]
        self.assertEqual(lines, expected)
        # Beside them the manifests, read by dist_manifests_test.py.
        self.assertEqual(sorted(os.listdir(DIST)),
                         sorted(["SHA256SUMS", self.zip_name, self.setup_name, "scoop", "winget"]))

    def test_zip_holds_the_programs_and_readme_with_fixed_times(self):
        archive = zipfile.ZipFile(io.BytesIO(self.zip_bytes))
        entries = archive.infolist()
        self.assertEqual([e.filename for e in entries],
                         ["LICENSE.txt", "README.txt", "vemo-cli.exe", "vemo.exe"])
        epoch = commit_time()
        stamp = time.gmtime(max(epoch or 0, 315532800))  # zip times start in 1980 and count
        stamp = stamp[:5] + (stamp[5] // 2 * 2,)          # seconds in twos
        for entry in entries:
            with self.subTest(entry.filename):
                self.assertEqual(entry.create_system, 0)
                self.assertEqual(entry.external_attr, 0x20)
                self.assertEqual(entry.compress_type, zipfile.ZIP_DEFLATED)
                if epoch is not None:
                    self.assertEqual(entry.date_time, stamp)
        self.assertIsNone(archive.testzip())
        readme = archive.read("README.txt")
        self.assertTrue(readme.startswith(f"Vemo {self.version}\r\n".encode()))
        for text in (b"vemo-cli", b"Exit status", b"HKEY_CURRENT_USER\\Software\\Pelk\\Vemo"):
            self.assertIn(text, readme)
        for name in ("README.txt", "LICENSE.txt"):
            text = archive.read(name)
            self.assertNotIn(b"\n", text.replace(b"\r\n", b""), f"{name}: Windows line endings only")

    def test_zip_holds_the_licence_and_this_versions_notes(self):
        archive = zipfile.ZipFile(io.BytesIO(self.zip_bytes))
        licence = read_text("LICENSE")
        self.assertEqual(archive.read("LICENSE.txt"), windows_lines(licence))
        holder = re.search(r'#define VEMO_COPYRIGHT "(.*)"', read_text("release", "version.h")).group(1)
        self.assertIn(holder, licence.splitlines(), "the version resource's copyright line")
        self.assertTrue(licence.startswith("MIT License"))
        section = re.search(rf"^## {re.escape(self.version)}\b.*?\n(.*?)(?=^## |\Z)",
                            read_text("CHANGELOG.md"), re.M | re.S)
        self.assertIsNotNone(section, f"CHANGELOG.md: no section for {self.version}")
        notes = section.group(1).strip("\n")
        heading = f"What is new in {self.version}"
        self.assertIn(windows_lines(f"{heading}\n{'-' * len(heading)}\n{notes}\n"), archive.read("README.txt"))

    def test_a_version_without_notes_is_not_packed(self):
        with tempfile.TemporaryDirectory() as out:
            program = os.path.join(out, "program.exe")
            open(program, "wb").close()
            result = subprocess.run(
                [sys.executable, os.path.join(TOP, "release", "package.py"), "--version", "0.0.0",
                 "--vemo", program, "--cli", program, "--uninstaller", program, "--icon", program,
                 "--epoch", "0", "--out", out], capture_output=True, text=True)
            self.assertNotEqual(result.returncode, 0)
            self.assertIn("CHANGELOG.md has no notes for 0.0.0", result.stderr)
            self.assertFalse([f for f in os.listdir(out) if f.startswith("vemo-")], "nothing packed")

    def test_programs_are_release_builds(self):
        archive = zipfile.ZipFile(io.BytesIO(self.zip_bytes))
        for name, subsystem in (("vemo.exe", 2), ("vemo-cli.exe", 3)):   # GUI, console
            with self.subTest(name):
                data = archive.read(name)
                machine, stamp, symbols_at, symbols, sub, sections = pe_header(data)
                self.assertEqual(machine, 0x8664, "x86-64")
                self.assertEqual(stamp, 0, "no link time")
                self.assertEqual((symbols_at, symbols), (0, 0), "stripped")
                self.assertFalse([s for s in sections if s.startswith((".debug", "/"))], sections)
                self.assertEqual(sub, subsystem)
                for dll in (b"libstdc++-6.dll", b"libgcc_s_seh-1.dll", b"libwinpthread-1.dll"):
                    self.assertNotIn(dll, data, "statically linked")
                self.assertIn("Vemo".encode("utf-16-le"), data, "the version resource")
                self.assertNotIn(TOP.encode(), data, "a build path")
        self.assertEqual(pe_header(self.setup_bytes)[0], 0x8664, "a 64-bit installer")


if __name__ == "__main__":
    unittest.main(verbosity=2)
