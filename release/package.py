#!/usr/bin/env python3
"""Packs the two programs into the portable zip and the installer.

    package.py --version 1.3.11 --vemo vemo.exe --cli vemo-cli.exe --icon app_icon.ico
               --epoch SECONDS --out FOLDER [--setup-only]

Writes FOLDER/stage/ (the files as installed: vemo.exe, vemo-cli.exe, README.txt with Windows
line endings), FOLDER/vemo-VERSION-win64.zip and FOLDER/vemo-VERSION-setup.exe (makensis on
vemo.nsi). The same inputs give the same bytes: every file carries the time --epoch (the commit's
time), the zip lists its entries sorted with fixed attributes, and the installer keeps no path.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ZIP_EPOCH_MIN = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def stage(args, folder):
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    shutil.copyfile(args.vemo, os.path.join(folder, "vemo.exe"))
    shutil.copyfile(args.cli, os.path.join(folder, "vemo-cli.exe"))
    with open(os.path.join(HERE, "README.txt"), encoding="utf-8") as f:
        readme = f.read().replace("@VERSION@", args.version)
    with open(os.path.join(folder, "README.txt"), "wb") as f:
        f.write(readme.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8"))
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
    command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={args.version}",
               f"-DSTAGE={folder}", f"-DICON={os.path.abspath(args.icon)}", f"-DOUTFILE={partial}",
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
    parser.add_argument("--icon", required=True)
    parser.add_argument("--epoch", required=True, type=int)
    parser.add_argument("--out", required=True)
    parser.add_argument("--setup-only", action="store_true", help="no zip")
    args = parser.parse_args(argv)
    out = os.path.abspath(args.out)
    folder = os.path.join(out, "stage")
    names = stage(args, folder)
    if not args.setup_only:
        write_zip(folder, names, os.path.join(out, f"vemo-{args.version}-win64.zip"), args.epoch)
    write_setup(args, folder, os.path.join(out, f"vemo-{args.version}-setup.exe"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
