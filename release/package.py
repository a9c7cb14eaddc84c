#!/usr/bin/env python3
"""Packs the two programs into the portable zip and the installer.

    package.py --version 1.3.11 --vemo vemo.exe --cli vemo-cli.exe --uninstaller uninstall.exe
               --icon app_icon.ico --epoch SECONDS --out FOLDER [--test-setup]

Writes FOLDER/stage/ (the files of the zip, as installed: vemo.exe, vemo-cli.exe, README.txt
with this version's notes from CHANGELOG.md, and LICENSE.txt, the texts with Windows line
endings), FOLDER/vemo-VERSION-win64.zip and FOLDER/vemo-VERSION-setup.exe (makensis on vemo.nsi,
which adds uninstall.exe). A version without a section in CHANGELOG.md is not packed, except
with --test-setup (an installer for the tests only: no zip, no notes needed). The same inputs
give the same bytes: every file carries the time --epoch (the commit's time), the zip lists its
entries sorted with fixed attributes, and the installer keeps no path.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
ZIP_EPOCH_MIN = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def read_text(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def release_notes(changelog, version):
    """The body of CHANGELOG.md's section '## VERSION' (its heading may go on after the
    version), without the blank lines around it; None when there is no such section."""
    body = None
    for line in changelog.splitlines():
        if line.startswith("## "):
            if body is not None:
                break
            if line[3:].split()[:1] == [version]:
                body = []
        elif body is not None:
            body.append(line.rstrip())
    return "\n".join(body).strip("\n") if body is not None else None


def header_text(name):
    """The quoted text of #define NAME in version.h, the one place the company and copyright
    are set."""
    match = re.search(rf'^#define {name} "([^"]*)"$', read_text(os.path.join(HERE, "version.h")), re.M)
    if not match:
        raise SystemExit(f"package: release/version.h defines no {name}")
    return match.group(1)


def write_windows_text(path, text, epoch):
    with open(path, "wb") as f:
        f.write(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8"))
    os.utime(path, (epoch, epoch))


def stage(args, folder):
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    shutil.copyfile(args.vemo, os.path.join(folder, "vemo.exe"))
    shutil.copyfile(args.cli, os.path.join(folder, "vemo-cli.exe"))
    notes = release_notes(read_text(os.path.join(TOP, "CHANGELOG.md")), args.version)
    if not notes and not args.test_setup:
        raise SystemExit(f"package: CHANGELOG.md has no notes for {args.version} (a section "
                         f"'## {args.version}' listing what it gives a user)")
    heading = f"What is new in {args.version}"
    news = f"{heading}\n{'-' * len(heading)}\n{notes}" if notes else ""
    readme = read_text(os.path.join(HERE, "README.txt"))
    readme = readme.replace("@VERSION@", args.version).replace("@NEWS@", news)
    write_windows_text(os.path.join(folder, "README.txt"), readme, args.epoch)
    write_windows_text(os.path.join(folder, "LICENSE.txt"), read_text(os.path.join(TOP, "LICENSE")),
                       args.epoch)
    names = sorted(os.listdir(folder))
    for name in names:
        os.utime(os.path.join(folder, name), (args.epoch, args.epoch))
    return names


def write_zip(folder, names, target, epoch):
    stamp = time.gmtime(max(epoch, ZIP_EPOCH_MIN))[:6]
    partial = target + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, stamp)
            entry.create_system = 0       # made on Windows: plain DOS attributes
            entry.external_attr = 0x20    # archive bit, nothing else
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)
    os.replace(partial, target)


def write_setup(args, folder, target):
    partial = target + ".part.exe"
    # A folder of its own: the build may have made uninstall.exe in the output folder itself.
    uninstaller = os.path.join(os.path.dirname(folder), "uninstaller", "uninstall.exe")
    os.makedirs(os.path.dirname(uninstaller), exist_ok=True)
    shutil.copyfile(args.uninstaller, uninstaller)
    os.utime(uninstaller, (args.epoch, args.epoch))
    command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={args.version}",
               f"-DSTAGE={folder}", f"-DUNINSTALLER={uninstaller}",
               f"-DICON={os.path.abspath(args.icon)}", f"-DCOMPANY={header_text('VEMO_COMPANY')}",
               f"-DCOPYRIGHT={header_text('VEMO_COPYRIGHT')}", f"-DOUTFILE={partial}",
               os.path.join(HERE, "vemo.nsi")]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        sys.stderr.write(result.stdout + result.stderr)
        raise SystemExit(f"package: makensis failed with status {result.returncode}")
    os.replace(partial, target)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--vemo", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--uninstaller", required=True)
    parser.add_argument("--icon", required=True)
    parser.add_argument("--epoch", required=True, type=int)
    parser.add_argument("--out", required=True)
    parser.add_argument("--test-setup", action="store_true", help="an installer for the tests only")
    args = parser.parse_args(argv)
    out = os.path.abspath(args.out)
    folder = os.path.join(out, "stage")
    names = stage(args, folder)
    if not args.test_setup:
        write_zip(folder, names, os.path.join(out, f"vemo-{args.version}-win64.zip"), args.epoch)
    write_setup(args, folder, os.path.join(out, f"vemo-{args.version}-setup.exe"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
