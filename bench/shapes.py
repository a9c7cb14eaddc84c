#!/usr/bin/env python3
"""make bench, big folders: vemo-cli -r against diff -rq on many empty files, many folders and
deep chains (median of alternated runs; time and peak memory), natively and under Wine."""
import os, shutil, statistics, subprocess, sys, time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(TOP, "build", "bench-data")
CLI = os.environ.get("VEMO_BENCH_CLI") or os.path.join(TOP, "build", "native", "cli", "vemo-cli")
CLI_EXE = os.environ.get("VEMO_BENCH_CLI_EXE") or os.path.join(TOP, "build", "win", "cli",
                                                               "vemo-cli.exe")
QUICK = os.environ.get("VEMO_BENCH_QUICK") == "1"


def made(name, make):
    root = os.path.join(DATA, name)
    if not os.path.exists(os.path.join(root, "done")):
        shutil.rmtree(root, ignore_errors=True)
        make(root)
        open(os.path.join(root, "done"), "w").close()
    return root


def empty_files(count, folders=1, half_different=False):
    def make(root):
        for side in ("1", "2"):
            for d in range(folders):
                folder = os.path.join(root, side, "d%05d" % d) if folders > 1 else os.path.join(root, side)
                os.makedirs(folder, exist_ok=True)
                fd = os.open(folder, os.O_RDONLY)
                for i in range(d * count // folders, (d + 1) * count // folders):
                    prefix = "g" if side == "2" and half_different and i % 2 else "f"
                    os.close(os.open("%s%07d" % (prefix, i), os.O_WRONLY | os.O_CREAT, dir_fd=fd))
                os.close(fd)
    return make


def chain(levels):
    def make(root):
        for side in ("1", "2"):
            os.makedirs(os.path.join(root, side))
            d = os.open(os.path.join(root, side), os.O_RDONLY)
            for _ in range(levels):
                os.mkdir("d", dir_fd=d)
                nd = os.open("d", os.O_RDONLY, dir_fd=d)
                os.close(d)
                d = nd
            f = os.open("f", os.O_WRONLY | os.O_CREAT, dir_fd=d)
            os.write(f, side.encode())
            os.close(f)
            os.close(d)
    return make


def run(cmd, env=None):
    """Seconds, peak resident KiB and exit status of one run."""
    out = os.path.join(DATA, "peak")
    start = time.perf_counter()
    status = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", out] + cmd, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    seconds = time.perf_counter() - start
    with open(out) as f:
        return seconds, int(f.read().split()[-1]), status


def alternated(vemo, diff, runs, env=None):
    times = {"vemo": [], "diff": []}
    peak, diff_status = 0, 0
    for _ in range(runs):
        seconds, kib, _ = run(vemo, env)
        times["vemo"].append(seconds)
        peak = max(peak, kib)
        if diff:
            seconds, _, diff_status = run(diff)
            times["diff"].append(seconds)
    v = statistics.median(times["vemo"])
    d = statistics.median(times["diff"]) if diff else None
    return v, d, peak, diff_status


def win_path(path):
    return "Z:" + path.replace("/", "\\")


def main():
    os.makedirs(DATA, exist_ok=True)
    native = [
        ("200,000 empty files, same names", made("e200k", empty_files(200000)), 5),
        ("200,000 files in 20,000 folders", made("e200k-20k", empty_files(200000, 20000)), 5),
        ("chain of 4,096 folders", made("chain4096", chain(4096)), 3),
        ("chain of 16,384 folders", made("chain16384", chain(16384)), 3),
        # The smallest limit on open descriptors a system sets: the walk holds a bounded number.
        ("chain of 16,384, 256 descriptors", made("chain16384", chain(16384)), 3,
         ["prlimit", "--nofile=256"]),
    ]
    if not QUICK:
        native[1:1] = [
            ("1,000,000 empty files, same names", made("e1m", empty_files(1000000)), 3),
            ("1,000,000 empty files, half differ", made("e1m-half", empty_files(1000000, 1, True)), 3),
        ]
    print("bench: big folders, native, median of alternated runs")
    print("%-36s %10s %10s %7s %10s" % ("case", "vemo (s)", "diff (s)", "ratio", "peak MiB"))
    for name, root, runs, *limit in native:
        one, two = root + "/1", root + "/2"
        limit = limit[0] if limit else []
        vemo, diff, peak, status = alternated(limit + [CLI, "-r", one, two],
                                              limit + ["diff", "-rq", one, two], runs)
        # diff stops at the system's path limit ("File name too long"): its time is no measure.
        shown = "%10.3f %7.2f" % (diff, vemo / diff) if status < 2 else "%10s %7s" % ("fails", "-")
        print("%-36s %10.3f %s %10.1f" % (name, vemo, shown, peak / 1024))
        sys.stdout.flush()

    if not os.path.exists(CLI_EXE):
        return 0
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    env["WINEPREFIX"] = os.path.join(TOP, "build", "wine", "bench-prefix")
    if not os.path.isdir(os.path.join(env["WINEPREFIX"], "drive_c")):
        subprocess.run([os.path.join(TOP, "scripts", "wine-prefix"), env["WINEPREFIX"]], env=env)
    subprocess.run(["wineserver", "-p"], env=env)
    subprocess.run(["wine", CLI_EXE, "--help"], stdout=subprocess.DEVNULL, env=env)
    print("bench: big folders, vemo-cli.exe under Wine (diff -rq natively), median of 3")
    for name, root in (("chain of 300 folders", made("chain300", chain(300))),
                       ("chain of 1,000 folders", made("chain1000", chain(1000))),
                       ("100,000 empty files, same names", made("e100k", empty_files(100000)))):
        one, two = root + "/1", root + "/2"
        vemo, diff, _, _ = alternated(["wine", CLI_EXE, "-r", win_path(one), win_path(two)],
                                      ["diff", "-rq", one, two], 3, env)
        print("%-36s %10.3f %10.3f %7.2f" % (name, vemo, diff, vemo / diff))
        sys.stdout.flush()
    subprocess.run(["wineserver", "-k"], env=env)
    return 0


if __name__ == "__main__":
    sys.exit(main())
