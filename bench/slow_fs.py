#!/usr/bin/python3
"""A pass-through file system that makes each open, folder read and data read wait a set time:
a drive over a slow link; with HANG, every read of the files of that name waits until the mount
goes (a share that stopped answering). Usage: slow_fs.py SOURCE MOUNTPOINT DELAY_MS [HANG]
(stays in front)."""
import errno, os, sys, time

import fusepy as fuse


class Slow(fuse.Operations):
    def __init__(self, root, delay, hang=None):
        self.root, self.delay, self.hang = root, delay, hang

    def _path(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._path(path))
        except OSError as e:
            raise fuse.FuseOSError(e.errno)
        return {k: getattr(st, k) for k in ("st_mode", "st_nlink", "st_size", "st_uid", "st_gid",
                                            "st_atime", "st_mtime", "st_ctime", "st_ino")}

    def readdir(self, path, fh):
        time.sleep(self.delay)
        return [".", ".."] + os.listdir(self._path(path))

    def _hangs(self, path):
        return self.hang and os.path.basename(path) == self.hang

    def open(self, path, fi):
        time.sleep(self.delay)
        fi.fh = os.open(self._path(path), fi.flags)
        # A file whose reads hang bypasses the page cache: otherwise the pages of a hung read stay
        # locked, and every later open of the file waits for them (under Wine that is the Wine
        # server's open, and every Wine process stops with it). A drive that stopped answering
        # holds up the one call, not the machine.
        fi.direct_io = 1 if self._hangs(path) else 0
        return 0

    def read(self, path, size, offset, fi):
        time.sleep(self.delay)
        if self._hangs(path):
            time.sleep(3600)
        return os.pread(fi.fh, size, offset)

    def release(self, path, fi):
        os.close(fi.fh)
        return 0


if __name__ == "__main__":
    source, mountpoint, delay_ms = sys.argv[1], sys.argv[2], float(sys.argv[3])
    hang = sys.argv[4] if len(sys.argv) > 4 else None
    fuse.FUSE(Slow(source, delay_ms / 1000.0, hang), mountpoint, foreground=True, ro=True,
              nothreads=False, allow_other=False, direct_io=False, max_read=131072, raw_fi=True)
