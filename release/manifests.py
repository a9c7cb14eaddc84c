#!/usr/bin/env python3
"""Writes the package managers' manifests of the release in dist/:

    manifests.py --dist FOLDER --version 1.3.11 [--url ADDRESS]

FOLDER/winget/ gets the winget manifest set (schema 1.6, multi-file: version, installer and
defaultLocale) for the setup, FOLDER/scoop/vemo.json the Scoop manifest for the zip. The hashes
are those of the two files in FOLDER; Setup's uninstall entry comes from vemo.nsi, the publisher
and copyright from version.h, the release notes from CHANGELOG.md. ADDRESS is where the
release's files are downloaded from, each file's name appended to it (the publisher's to give:
README.md, "Making a release"). Without it the manifests carry no download address, say so, and
are not for publishing. The same inputs give the same bytes.
"""
import argparse
import hashlib
import json
import os
import re
import shutil
import sys

from package import HERE, TOP, header_text, read_text, release_notes

MANIFEST_VERSION = "1.6.0"
LOCALE = "en-US"
SCHEMA = "https://aka.ms/winget-manifest.{}.{}.schema.json"
SHORT_DESCRIPTION = "Compares two folders file by file, byte for byte."
LICENCE = "MIT"
# The first line of the installer manifest that has no download address.
NO_ADDRESS = "# No download address"

# Setup's command line (vemo.nsi): /S is silent (it has no mode with progress alone), /D= names
# the folder and must come last, unquoted; winget puts InstallLocation last.
SILENT = "/S"
INSTALL_LOCATION = "/D=<INSTALLPATH>"
# The two scopes: Setup's switch for each and the define of the uninstall entry's DisplayName.
# For everyone winget runs Setup elevated itself (elevationRequired), so that Setup never has to
# ask for elevation and its status 2 means only that Vemo is running.
SCOPES = (("user", "/CurrentUser", "PRODUCT", None),
          ("machine", "/AllUsers", "ALL_USERS_NAME", "elevationRequired"))
# Setup's own exit statuses (README.md) and what winget makes of each.
RETURN_CODES = ((1, "cancelledByUser"),   # cancelled on a page of Setup
                (2, "packageInUse"),      # Vemo or vemo-cli of the install is running
                (3, "downgrade"))         # a newer version is installed
# Where Vemo keeps its settings (README.md), for Scoop's notes.
SETTINGS = "HKEY_CURRENT_USER\\Software\\Pelk\\Vemo"


def installer_defines():
    """The !define texts of vemo.nsi, with ${NAME} in them replaced (but for the defines
    package.py gives makensis)."""
    defines = {}
    for name, value in re.findall(r'^!define (\w+) "([^"]*)"$', read_text(os.path.join(HERE, "vemo.nsi")), re.M):
        defines[name] = re.sub(r"\$\{(\w+)\}", lambda m: defines.get(m.group(1), m.group(0)), value)
    return defines


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


# YAML, written here rather than by a library so that the bytes stay the same everywhere: a
# text is plain where YAML reads it back as that text, otherwise in single quotes; a text of
# several lines is a literal block.
PLAIN = re.compile(r"[A-Za-z/][\w .,/()+=<>-]*(?<! )|\d+(\.\d+){2,}|(?=.*[A-F])[0-9A-F]{64}")
YAML_WORDS = {"y", "n", "yes", "no", "on", "off", "true", "false", "null"}


def yaml_scalar(value):
    if isinstance(value, int):
        return str(value)
    if PLAIN.fullmatch(value) and value.lower() not in YAML_WORDS:
        return value
    return "'" + value.replace("'", "''") + "'"


def yaml_lines(node, indent=0):
    pad = " " * indent
    lines = []
    if isinstance(node, list):
        for item in node:
            if isinstance(item, dict):
                inner = yaml_lines(item, indent + 2)
                lines.append(f"{pad}- {inner[0][indent + 2:]}")
                lines += inner[1:]
            else:
                lines.append(f"{pad}- {yaml_scalar(item)}")
        return lines
    for key, value in node.items():
        if isinstance(value, dict):
            lines.append(f"{pad}{key}:")
            lines += yaml_lines(value, indent + 2)
        elif isinstance(value, list):
            lines.append(f"{pad}{key}:")
            lines += yaml_lines(value, indent)
        elif isinstance(value, str) and "\n" in value:
            if value.startswith(" "):
                raise ValueError(f"{key}: a text of several lines starts with a space")
            lines.append(f"{pad}{key}: |-")
            lines += [f"{pad}  {line}" if line else "" for line in value.split("\n")]
        else:
            lines.append(f"{pad}{key}: {yaml_scalar(value)}")
    return lines


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def write_winget(folder, version, setup, address):
    defines = installer_defines()
    publisher = header_text("VEMO_COMPANY")
    product = defines["PRODUCT"]
    product_code = defines["UNINSTALL_KEY"].rsplit("\\", 1)[1]
    identifier = f"{publisher}.{product}"
    notes = release_notes(read_text(os.path.join(TOP, "CHANGELOG.md")), version)
    if not notes:
        raise SystemExit(f"manifests: CHANGELOG.md has no notes for {version}")
    setup_hash = sha256(setup).upper()
    installers = []
    for scope, switch, name, elevation in SCOPES:
        installer = {"Architecture": "x64", "Scope": scope}
        if address:
            installer["InstallerUrl"] = f"{address}/{os.path.basename(setup)}"
        installer["InstallerSha256"] = setup_hash
        installer["InstallerSwitches"] = {"Silent": SILENT, "SilentWithProgress": SILENT,
                                          "InstallLocation": INSTALL_LOCATION, "Custom": switch}
        if elevation:
            installer["ElevationRequirement"] = elevation
        installer["AppsAndFeaturesEntries"] = [
            {"DisplayName": defines[name], "Publisher": publisher, "ProductCode": product_code}]
        installers.append(installer)
    common = {"PackageIdentifier": identifier, "PackageVersion": version}
    manifests = {
        "version": {**common, "DefaultLocale": LOCALE},
        "installer": {
            **common, "InstallerType": "nullsoft",
            "InstallModes": ["interactive", "silent", "silentWithProgress"],
            "UpgradeBehavior": "install", "ProductCode": product_code,
            "ExpectedReturnCodes": [{"InstallerReturnCode": code, "ReturnResponse": response}
                                    for code, response in RETURN_CODES],
            "Installers": installers},
        "defaultLocale": {
            **common, "PackageLocale": LOCALE, "Publisher": publisher, "PackageName": product,
            "License": LICENCE, "Copyright": header_text("VEMO_COPYRIGHT"),
            "ShortDescription": SHORT_DESCRIPTION, "ReleaseNotes": notes},
    }
    files = {"version": f"{identifier}.yaml", "installer": f"{identifier}.installer.yaml",
             "defaultLocale": f"{identifier}.locale.{LOCALE}.yaml"}
    os.makedirs(folder)
    for kind, manifest in manifests.items():
        head = [f"# {product} {version} for winget, written by make dist (release/manifests.py)."]
        if kind == "installer" and not address:
            head = [f"{NO_ADDRESS}: make dist was run without VEMO_RELEASE_URL, so the installers",
                    "# have no InstallerUrl. Not for publishing."] + head
        head.append("# yaml-language-server: $schema=" + SCHEMA.format(kind.lower(), MANIFEST_VERSION))
        body = {**manifest, "ManifestType": kind, "ManifestVersion": MANIFEST_VERSION}
        write(os.path.join(folder, files[kind]), "\n".join(head + [""] + yaml_lines(body)) + "\n")


def write_scoop(folder, version, archive, address):
    download = {}
    if address:
        download["url"] = f"{address}/{os.path.basename(archive)}"
    download["hash"] = sha256(archive)
    manifest = {}
    if not address:
        manifest["##"] = "No download address: make dist was run without VEMO_RELEASE_URL. Not for publishing."
    manifest.update({
        "version": version,
        "description": SHORT_DESCRIPTION,
        "license": LICENCE,
        "notes": f"Vemo keeps its settings in the registry under {SETTINGS}; uninstalling it leaves them.",
        "architecture": {"64bit": download},
        "bin": "vemo-cli.exe",
        "shortcuts": [["vemo.exe", "Vemo"]],
    })
    os.makedirs(folder)
    write(os.path.join(folder, "vemo.json"), json.dumps(manifest, indent=4, ensure_ascii=False) + "\n")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--dist", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--url", default="", help="where the release's files are downloaded from")
    args = parser.parse_args(argv)
    address = args.url.rstrip("/")
    if args.url and not re.fullmatch(r"https://[^\s/]+(/\S*)?", address):
        raise SystemExit(f"manifests: the download address must be https://..., not {args.url!r}")
    setup = os.path.join(args.dist, f"vemo-{args.version}-setup.exe")
    archive = os.path.join(args.dist, f"vemo-{args.version}-win64.zip")
    for kind in ("winget", "scoop"):
        shutil.rmtree(os.path.join(args.dist, kind), ignore_errors=True)
    write_winget(os.path.join(args.dist, "winget"), args.version, setup, address)
    write_scoop(os.path.join(args.dist, "scoop"), args.version, archive, address)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
