#!/usr/bin/env python3
"""Reads the package managers' manifests in dist/ as winget and Scoop read them, and holds what
they say against the release: the files' hashes, the installer's script (release/vemo.nsi: its
switches and exit statuses), the uninstall entries that Setup writes when it is run as winget
runs it under Wine, the zip's programs, CHANGELOG.md and version.h.

    dist_manifests_test.py [CLASS...]

CTest runs the classes as tests of their own: WingetManifests and ScoopManifest read the files,
ReleaseAddress checks their download address (exit status 77, skipped, when make dist was given
none), WingetInstall runs Setup under Wine in $WINEPREFIX.

winget's published 1.6 schemas cannot be fetched here, so RULES below holds their rules for the
fields these manifests use: required fields, types, patterns, lengths, enumerations. Scoop's
manifest rules (SCOOP_RULES) are taken from its schema the same way.
"""
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

import yaml

from dist_files_test import DIST, TOP, pe_header, read_text, version

WINGET = os.path.join(DIST, "winget")
SCOOP = os.path.join(DIST, "scoop", "vemo.json")
NO_ADDRESS = "# No download address"
UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"


# Rules of a schema: each a function of (value, where) giving a list of faults.
def text(pattern=None, least=0, most=None):
    def check(value, where):
        if not isinstance(value, str):
            return [f"{where}: {value!r} is not a text"]
        faults = []
        if pattern and not re.fullmatch(pattern, value, re.S):
            faults.append(f"{where}: {value!r} does not match {pattern}")
        if len(value) < least or (most is not None and len(value) > most):
            faults.append(f"{where}: {len(value)} characters, not {least} to {most}")
        return faults
    return check


def one_of(*values):
    return lambda value, where: [] if value in values else [f"{where}: {value!r} is none of {values}"]


def integer(least, most, never=()):
    def check(value, where):
        if type(value) is not int or not least <= value <= most or value in never:
            return [f"{where}: {value!r} is no whole number from {least} to {most} but {never}"]
        return []
    return check


def items(rule, least=0, most=None, unique=False):
    def check(value, where):
        if not isinstance(value, list):
            return [f"{where}: not a list"]
        faults = [] if least <= len(value) <= (most or len(value)) else [f"{where}: {len(value)} items"]
        if unique and len({json.dumps(v, sort_keys=True) for v in value}) != len(value):
            faults.append(f"{where}: items repeated")
        for i, item in enumerate(value):
            faults += rule(item, f"{where}[{i}]")
        return faults
    return check


def fields(rules, required=()):
    """An object of these fields, no others (a field winget does not know it ignores: a typing
    error would go unnoticed)."""
    def check(value, where):
        if not isinstance(value, dict):
            return [f"{where}: not a mapping"]
        faults = [f"{where}: no {name}" for name in required if name not in value]
        for name, item in value.items():
            if name not in rules:
                faults.append(f"{where}: unknown field {name}")
            else:
                faults += rules[name](item, f"{where}.{name}" if where else name)
        return faults
    return check


def any_of(*rules):
    def check(value, where):
        found = [rule(value, where) for rule in rules]
        return [] if [] in found else found[0]
    return check


# winget's manifest schemas 1.6.0 (manifest.version/installer/defaultLocale.1.6.0.json).
IDENTIFIER = text(r'[^.\s\\/:*?"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?"<>|\x01-\x1f]{1,32}){1,7}', most=128)
PACKAGE_VERSION = text(r'[^\\/:*?"<>|\x01-\x1f]+', most=128)
LOCALE = text(r"([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*", most=20)
URL = text(r"[Hh][Tt][Tt][Pp][Ss]?://.+", most=2048)
SHA256 = text(r"[A-Fa-f0-9]{64}")
PART = r"(0|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])"
MANIFEST_VERSION = text(rf"{PART}(\.{PART}){{2}}")
INSTALLER_TYPE = one_of("msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa",
                        "portable")
RESPONSES = ("packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse",
             "missingDependency", "diskFull", "insufficientMemory", "invalidParameter", "noNetwork",
             "contactSupport", "rebootRequiredToFinish", "rebootRequiredForInstall", "rebootInitiated",
             "cancelledByUser", "alreadyInstalled", "downgrade", "blockedByPolicy", "systemNotSupported",
             "custom")
PRODUCT_CODE = text(least=1, most=255)
INSTALLER_FIELDS = {
    "InstallerType": INSTALLER_TYPE,
    "Scope": one_of("user", "machine"),
    "InstallModes": items(one_of("interactive", "silent", "silentWithProgress"), most=3, unique=True),
    "InstallerSwitches": fields({**{name: text(least=1, most=512) for name in (
        "Silent", "SilentWithProgress", "Interactive", "InstallLocation", "Log", "Upgrade")},
        "Custom": text(least=1, most=2048)}),
    "InstallerSuccessCodes": items(integer(-2147483648, 4294967295, never=(0,)), most=16, unique=True),
    "ExpectedReturnCodes": items(fields({
        "InstallerReturnCode": integer(-2147483648, 4294967295, never=(0,)),
        "ReturnResponse": one_of(*RESPONSES), "ReturnResponseUrl": URL}), most=128),
    "UpgradeBehavior": one_of("install", "uninstallPrevious"),
    "ProductCode": PRODUCT_CODE,
    "AppsAndFeaturesEntries": items(fields({
        "DisplayName": text(least=1, most=256), "Publisher": text(least=1, most=256),
        "DisplayVersion": text(least=1, most=128), "ProductCode": PRODUCT_CODE,
        "UpgradeCode": PRODUCT_CODE, "InstallerType": INSTALLER_TYPE}), most=128, unique=True),
    "ElevationRequirement": one_of("elevationRequired", "elevationProhibited", "elevatesSelf"),
    "MinimumOSVersion": text(rf"{PART}(\.{PART}){{0,3}}"),
    "ReleaseDate": text(r"\d{4}-\d{2}-\d{2}"),
}
COMMON = {"PackageIdentifier": IDENTIFIER, "PackageVersion": PACKAGE_VERSION,
          "ManifestVersion": MANIFEST_VERSION}
RULES = {
    "version": fields({**COMMON, "DefaultLocale": LOCALE, "ManifestType": one_of("version")},
                      required=("PackageIdentifier", "PackageVersion", "DefaultLocale",
                                "ManifestType", "ManifestVersion")),
    "installer": fields({
        **COMMON, **INSTALLER_FIELDS, "ManifestType": one_of("installer"),
        "Installers": items(fields({
            **INSTALLER_FIELDS, "Architecture": one_of("x86", "x64", "arm", "arm64", "neutral"),
            "InstallerUrl": URL, "InstallerSha256": SHA256},
            required=("Architecture", "InstallerUrl", "InstallerSha256")), least=1, most=1024)},
        required=("PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion")),
    "defaultLocale": fields({
        **COMMON, "PackageLocale": LOCALE, "ManifestType": one_of("defaultLocale"),
        "Publisher": text(least=2, most=256), "PackageName": text(least=2, most=256),
        "Author": text(least=2, most=256), "License": text(least=3, most=512),
        "Copyright": text(least=3, most=512), "ShortDescription": text(least=3, most=256),
        "Description": text(least=3, most=10000), "Moniker": text(least=1, most=40),
        "Tags": items(text(least=1, most=40), most=16, unique=True),
        "ReleaseNotes": text(least=1, most=10000),
        **{name: URL for name in ("PublisherUrl", "PublisherSupportUrl", "PrivacyUrl", "PackageUrl",
                                  "LicenseUrl", "CopyrightUrl", "ReleaseNotesUrl")}},
        required=("PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                  "License", "ShortDescription", "ManifestType", "ManifestVersion")),
}

# Scoop's app manifest schema (schema.json of Scoop): the fields used here and their forms.
TEXTS = any_of(text(), items(text(), least=1))
SCOOP_DOWNLOAD = {"url": text(r"[a-z][a-z0-9+.-]*://[^$\s]+"),
                  "hash": text(r"[a-fA-F0-9]{64}|(sha1|sha256|sha512|md5):[a-fA-F0-9]{32,128}"),
                  "bin": any_of(text(), items(TEXTS, least=1)),
                  "shortcuts": items(items(text(), least=2, most=4), least=1)}
SCOOP_RULES = fields({
    "##": TEXTS, "version": text(r"[\w\-.+_]+"), "description": text(), "homepage": text(r"https?://\S+"),
    "license": any_of(text(least=1), fields({"identifier": text(least=1), "url": text()}, ("identifier",))),
    "notes": TEXTS, "architecture": fields({bits: fields(SCOOP_DOWNLOAD) for bits in ("32bit", "64bit", "arm64")}),
    **SCOOP_DOWNLOAD}, required=("version",))


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def header_text(name):
    return re.search(rf'^#define {name} "(.*)"$', read_text("release", "version.h"), re.M).group(1)


def changelog_notes(release):
    section = re.search(rf"^## {re.escape(release)}\b.*?\n(.*?)(?=^## |\Z)", read_text("CHANGELOG.md"), re.M | re.S)
    return section.group(1).strip("\n") if section else None


SCRIPT = read_text("release", "vemo.nsi")
# Setup's own switches: those its script reads from the command line it was given, besides NSIS's
# /S (silent) and /D= (the folder, last on the line, unquoted).
SCRIPT_SWITCHES = set(re.findall(r'^\s*\$\{GetOptions\} \$R0 "(/\w+)"', SCRIPT, re.M))
# Setup's exit statuses: those its script sets, besides NSIS's 1 for a cancel.
SCRIPT_STATUSES = {int(n) for n in re.findall(r"^\s*SetErrorLevel (\d+)$", SCRIPT, re.M)} | {1}


def load_winget():
    """{ManifestType: (file name, manifest, text)} of the files in dist/winget."""
    found = {}
    for name in sorted(os.listdir(WINGET)):
        with open(os.path.join(WINGET, name), encoding="utf-8") as f:
            content = f.read()
        manifest = yaml.safe_load(content)
        found[manifest["ManifestType"]] = (name, manifest, content)
    return found


def response(manifest, installer, status):
    """What winget tells the user for Setup's exit status: an installer's own list first."""
    for entry in installer.get("ExpectedReturnCodes", manifest.get("ExpectedReturnCodes", [])):
        if entry["InstallerReturnCode"] == status:
            return entry["ReturnResponse"]
    return None


class WingetManifests(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.version = version()
        cls.files = load_winget()
        cls.installer = cls.files["installer"][1]
        cls.locale = cls.files["defaultLocale"][1]
        cls.setup = os.path.join(DIST, f"vemo-{cls.version}-setup.exe")
        cls.has_address = NO_ADDRESS not in cls.files["installer"][2]

    def test_the_set_is_the_three_files_named_as_winget_names_them(self):
        identifier = self.files["version"][1]["PackageIdentifier"]
        locale = self.files["version"][1]["DefaultLocale"]
        self.assertEqual({kind: name for kind, (name, _, _) in self.files.items()},
                         {"version": f"{identifier}.yaml", "installer": f"{identifier}.installer.yaml",
                          "defaultLocale": f"{identifier}.locale.{locale}.yaml"})
        self.assertEqual(len(os.listdir(WINGET)), 3)

    def test_each_manifest_keeps_the_schemas_rules(self):
        for kind, (name, manifest, content) in self.files.items():
            with self.subTest(name):
                faults = RULES[kind](manifest, "")
                if not self.has_address:  # said so at the top, checked by ReleaseAddress
                    faults = [f for f in faults if not re.fullmatch(r"Installers\[\d+\]: no InstallerUrl", f)]
                self.assertEqual(faults, [])
                schema = f"https://aka.ms/winget-manifest.{kind.lower()}.{manifest['ManifestVersion']}.schema.json"
                self.assertIn(f"# yaml-language-server: $schema={schema}\n", content)

    def test_the_three_describe_this_version_of_one_package(self):
        manifests = [manifest for _, manifest, _ in self.files.values()]
        for field in ("PackageIdentifier", "PackageVersion", "ManifestVersion"):
            self.assertEqual(len({m[field] for m in manifests}), 1, field)
        self.assertEqual(self.installer["PackageVersion"], self.version)
        schema = tuple(int(n) for n in self.installer["ManifestVersion"].split("."))
        self.assertGreaterEqual(schema, (1, 6, 0))
        self.assertEqual(self.files["version"][1]["DefaultLocale"], self.locale["PackageLocale"])
        self.assertEqual(self.installer["PackageIdentifier"],
                         f"{header_text('VEMO_COMPANY')}.{self.locale['PackageName']}")

    def test_every_installer_is_the_setup_in_dist(self):
        digest = sha256(self.setup)
        with open(self.setup, "rb") as f:
            machine = pe_header(f.read())[0]
        for installer in self.installer["Installers"]:
            with self.subTest(installer.get("Scope")):
                self.assertEqual(installer["InstallerSha256"].lower(), digest)
                self.assertEqual(installer.get("InstallerType", self.installer.get("InstallerType")), "nullsoft")
                self.assertEqual((installer["Architecture"], machine), ("x64", 0x8664))

    def test_every_switch_is_one_setup_has(self):
        scopes = {}
        for installer in self.installer["Installers"]:
            switches = {**self.installer.get("InstallerSwitches", {}), **installer.get("InstallerSwitches", {})}
            with self.subTest(installer.get("Scope")):
                for mode in ("Silent", "SilentWithProgress"):
                    self.assertEqual(switches.get(mode), "/S", mode)
                # Setup takes everything after /D= as the folder: winget puts it last, as it is.
                self.assertEqual(switches.get("InstallLocation"), "/D=<INSTALLPATH>")
                custom = switches.get("Custom", "").split()
                self.assertLessEqual(set(custom), SCRIPT_SWITCHES, "switches that vemo.nsi reads")
                self.assertEqual(len(custom), 1, "one mode, /CurrentUser or /AllUsers")
                scopes[installer.get("Scope")] = custom[0]
        self.assertEqual(set(scopes), {"user", "machine"})
        self.assertEqual(set(scopes.values()), SCRIPT_SWITCHES, "each mode a scope of its own")

    def test_every_status_is_one_setup_has_and_each_has_one_response(self):
        lists = [self.installer.get("ExpectedReturnCodes", [])]
        lists += [i["ExpectedReturnCodes"] for i in self.installer["Installers"] if "ExpectedReturnCodes" in i]
        for codes in lists:
            statuses = [entry["InstallerReturnCode"] for entry in codes]
            self.assertEqual(sorted(statuses), sorted(SCRIPT_STATUSES), "the statuses vemo.nsi sets, and 1")
        # For everyone Setup needs administrator rights, and stops with status 2 when it asks for
        # them in vain: winget runs that Setup elevated, so that 2 means only that Vemo is running.
        for installer in self.installer["Installers"]:
            if installer["Scope"] == "machine":
                self.assertEqual(installer.get("ElevationRequirement"), "elevationRequired")

    def test_the_locale_names_publisher_licence_and_this_versions_notes(self):
        self.assertEqual(self.locale["Publisher"], header_text("VEMO_COMPANY"))
        self.assertEqual(self.locale["Copyright"], header_text("VEMO_COPYRIGHT"))
        self.assertEqual(self.locale["License"], "MIT")
        self.assertTrue(read_text("LICENSE").startswith("MIT License"))
        self.assertEqual(self.locale["PackageName"], re.search(r'^!define PRODUCT "(.*)"$', SCRIPT, re.M).group(1))
        self.assertEqual(self.locale["ReleaseNotes"], changelog_notes(self.version))

    def test_both_manifests_have_a_download_address_or_say_they_have_none(self):
        with open(SCOOP, encoding="utf-8") as f:
            scoop = json.load(f)
        urls = [i.get("InstallerUrl") for i in self.installer["Installers"]]
        urls.append(scoop["architecture"]["64bit"].get("url"))
        if self.has_address:
            self.assertNotIn(None, urls)
            self.assertNotIn("##", scoop)
        else:
            self.assertEqual(set(urls), {None})
            self.assertTrue(scoop["##"].startswith("No download address"))


class ScoopManifest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.version = version()
        cls.zip = os.path.join(DIST, f"vemo-{cls.version}-win64.zip")
        with open(SCOOP, encoding="utf-8") as f:
            cls.manifest = json.load(f)

    def test_it_keeps_the_schemas_rules(self):
        self.assertEqual(SCOOP_RULES(self.manifest, ""), [])
        self.assertEqual(os.listdir(os.path.dirname(SCOOP)), ["vemo.json"])

    def test_it_is_this_version_and_its_zip_for_64_bit_windows(self):
        self.assertEqual(self.manifest["version"], self.version)
        self.assertEqual(list(self.manifest["architecture"]), ["64bit"], "the programs are x86-64")
        self.assertEqual(self.manifest["architecture"]["64bit"]["hash"].lower(), sha256(self.zip))
        self.assertNotIn("hash", self.manifest)
        self.assertEqual(self.manifest["license"], "MIT")

    def test_the_command_and_the_shortcut_are_the_zips_programs(self):
        archive = zipfile.ZipFile(self.zip)
        for names, subsystem in (([self.manifest["bin"]], 3), ([s[0] for s in self.manifest["shortcuts"]], 2)):
            for name in names:
                with self.subTest(name):
                    self.assertIn(name, archive.namelist())
                    self.assertEqual(pe_header(archive.read(name))[4], subsystem, "3 console, 2 windows")

    def test_the_notes_say_where_the_settings_live(self):
        key = re.search(r'kSettingsKey = "(.*)";', read_text("ui", "main", "settings_texts.h")).group(1)
        self.assertIn("HKEY_CURRENT_USER" + key.replace("\\\\", "\\"), self.manifest["notes"])


class ReleaseAddress(unittest.TestCase):
    """The address make dist was given, in every manifest: $VEMO_RELEASE_URL when it is set."""

    def test_every_download_is_a_file_of_the_release_at_one_address(self):
        installer = load_winget()["installer"]
        if NO_ADDRESS in installer[2]:
            self.skipTest("make dist was given no VEMO_RELEASE_URL")
        with open(SCOOP, encoding="utf-8") as f:
            scoop = json.load(f)
        release = version()
        downloads = [(i["InstallerUrl"], f"vemo-{release}-setup.exe") for i in installer[1]["Installers"]]
        downloads.append((scoop["architecture"]["64bit"]["url"], f"vemo-{release}-win64.zip"))
        folders = set()
        for url, name in downloads:
            self.assertTrue(url.startswith("https://"), url)
            self.assertTrue(url.endswith("/" + name), url)
            folders.add(url[:-len(name) - 1])
        self.assertEqual(len(folders), 1)
        given = os.environ.get("VEMO_RELEASE_URL")
        if given:
            self.assertEqual(folders, {given.rstrip("/")})


def wait_until(done, limit=60):
    end = time.monotonic() + limit
    while not done():
        if time.monotonic() > end:
            return False
        time.sleep(0.2)
    return True


class WingetInstall(unittest.TestCase):
    """Setup run as winget runs it for each installer of the manifest, under Wine: the uninstall
    entry it writes, and the status it ends with while Vemo runs and over a newer version."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = os.environ["WINEPREFIX"]
        cls.files = load_winget()
        cls.manifest = cls.files["installer"][1]
        cls.version = version()
        cls.setup = "Z:" + os.path.join(DIST, f"vemo-{cls.version}-setup.exe").replace("/", "\\")
        # One Wine server for the whole test; output never goes to a pipe, which Wine's system
        # processes would inherit and hold open.
        cls.wine("wineserver", "-p", program="")
        cls.wine("cmd", "/c", "exit")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(os.path.join(cls.prefix, "drive_c", "Vemo manifests"), ignore_errors=True)
        cls.wine("wineserver", "-k", program="")

    @classmethod
    def wine(cls, *args, program="wine", output=subprocess.DEVNULL, timeout=300):
        command = [program, *args] if program else list(args)
        return subprocess.run(command, stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode

    def run_line(self, command_line):
        """The exit status of a Windows command line, run exactly as written."""
        script = os.path.join(self.prefix, "drive_c", "manifest-test.bat")
        with open(script, "w", newline="\r\n") as f:
            f.write(f"@{command_line}\n@exit %errorlevel%\n")
        return self.wine("cmd", "/c", "C:\\manifest-test.bat")

    def entry(self, hive, key):
        """The values of an uninstall entry, or None when there is none."""
        with tempfile.TemporaryFile() as out:
            if self.wine("reg", "query", f"{hive}\\{UNINSTALL_KEY}\\{key}", output=out) != 0:
                return None
            out.seek(0)
            listing = out.read().decode("utf-8", "replace").replace("\r", "")
        return dict(re.findall(r"^    (.+?)    REG_\w+    (.*)$", listing, re.M))

    def set_value(self, hive, key, name, value):
        self.wine("reg", "add", f"{hive}\\{UNINSTALL_KEY}\\{key}", "/v", name, "/d", value, "/f")

    def clear(self, key, folder):
        for hive in ("HKCU", "HKLM"):
            self.wine("reg", "delete", f"{hive}\\{UNINSTALL_KEY}\\{key}", "/f")
        shutil.rmtree(self.unix(folder), ignore_errors=True)

    def unix(self, folder):
        return os.path.join(self.prefix, "drive_c", *folder[3:].split("\\"))

    def test_setup_run_as_winget_runs_it_writes_the_entry_the_manifest_names(self):
        for installer in self.manifest["Installers"]:
            scope = installer["Scope"]
            with self.subTest(scope):
                switches = {**self.manifest.get("InstallerSwitches", {}), **installer.get("InstallerSwitches", {})}
                folder = f"C:\\Vemo manifests\\{scope} scope"
                # As winget puts it together: the mode (silent), the custom switches, the folder.
                line = " ".join([f'"{self.setup}"', switches["Silent"], switches["Custom"],
                                 switches["InstallLocation"].replace("<INSTALLPATH>", folder)])
                hive, other = ("HKCU", "HKLM") if scope == "user" else ("HKLM", "HKCU")
                [expected] = installer["AppsAndFeaturesEntries"]
                key = expected.get("ProductCode", installer.get("ProductCode", self.manifest.get("ProductCode")))
                self.clear(key, folder)
                self.assertEqual(self.run_line(line), 0, line)

                entry = self.entry(hive, key) or {}
                self.assertIsNone(self.entry(other, key), f"an entry in {other}")
                self.assertEqual(entry.get("DisplayName"), expected["DisplayName"])
                self.assertEqual(entry.get("Publisher"), expected["Publisher"])
                self.assertEqual(entry.get("DisplayVersion"), expected.get("DisplayVersion", self.version))
                self.assertEqual(entry.get("InstallLocation"), folder)
                self.assertTrue(os.path.isfile(os.path.join(self.unix(folder), "vemo.exe")))

                # Over a newer version Setup does nothing, and says so.
                self.set_value(hive, key, "DisplayVersion", "999.0.0")
                status = self.run_line(line)
                self.assertEqual(response(self.manifest, installer, status), "downgrade", f"status {status}")
                self.set_value(hive, key, "DisplayVersion", self.version)

                # While Vemo runs from the install Setup stops: once Vemo has started, every time.
                vemo = subprocess.Popen(["wine", f"{folder}\\vemo.exe"], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                try:
                    status = 0

                    def stopped():
                        nonlocal status
                        status = self.run_line(line)
                        return status != 0
                    self.assertTrue(wait_until(stopped), "Setup never stopped while Vemo ran")
                    self.assertEqual(response(self.manifest, installer, status), "packageInUse", f"status {status}")
                finally:
                    self.wine("taskkill", "/im", "vemo.exe")
                    try:
                        vemo.wait(60)
                    except subprocess.TimeoutExpired:
                        vemo.kill()
                        vemo.wait()

                self.assertEqual(self.run_line(self.entry(hive, key)["QuietUninstallString"]), 0)
                self.assertIsNone(self.entry(hive, key))
                self.assertFalse(os.path.exists(self.unix(folder)))


def main():
    """Runs the classes named on the command line; exit status 77 when all their tests were
    skipped."""
    program = unittest.main(argv=sys.argv[:1] + sys.argv[1:], exit=False, verbosity=2)
    result = program.result
    if not result.wasSuccessful():
        return 1
    return 77 if result.skipped and len(result.skipped) == result.testsRun else 0


if __name__ == "__main__":
    sys.exit(main())
