#!/usr/bin/python3
"""A read-only FUSE pass-through that reads like a 4x CD drive.

    slowfs.py SOURCE MOUNTPOINT LOG

Every read costs its bytes at 600 KB/s, and 80 ms more when it does not follow the previous
read of the drive (another file, or another place in the same file). Reads are served one at a
time, as one drive serves them. The kernel's cache of a file is dropped at each open (no
keep_cache), so every start reads what it needs from the "drive" again. Each open and read goes
to LOG as one line: "open PATH" or "read PATH OFFSET SIZE SEEK" (SEEK is 1 for a read that did
not follow the previous one)."""

import errno
import os
import sys
import threading
import time

from fusepy import FUSE, FuseOSError, Operations

RATE = 600 * 1000  # bytes a second
SEEK_SECONDS = 0.080


class SlowDisc(Operations):
    def __init__(self, source, log):
        self.source = source
        self.log = open(log, "a", buffering=1)
        self.lock = threading.Lock()
        self.last = None  # (path, end offset) of the previous read

    def _real(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._real(path))
        except OSError as failure:
            raise FuseOSError(failure.errno)
        keys = ("st_mode", "st_size", "st_nlink", "st_uid", "st_gid", "st_atime", "st_mtime",
                "st_ctime")
        attributes = {key: getattr(st, key) for key in keys}
        # A disc: nothing on it may be written.
        attributes["st_mode"] &= ~0o222
        return attributes

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._real(path))

    def readlink(self, path):
        return os.readlink(self._real(path))

    def statfs(self, path):
        st = os.statvfs(self._real(path))
        return {key: getattr(st, key) for key in ("f_bsize", "f_frsize", "f_blocks", "f_bfree",
                                                   "f_bavail", "f_files", "f_ffree", "f_namemax")}

    def open(self, path, flags):
        if flags & (os.O_WRONLY | os.O_RDWR):
            raise FuseOSError(errno.EROFS)
        self.log.write("open %s\n" % path)
        return os.open(self._real(path), os.O_RDONLY)

    def read(self, path, size, offset, fh):
        with self.lock:
            data = os.pread(fh, size, offset)
            seek = self.last != (path, offset)
            self.last = (path, offset + len(data))
            time.sleep(len(data) / RATE + (SEEK_SECONDS if seek else 0))
            self.log.write("read %s %d %d %d\n" % (path, offset, len(data), 1 if seek else 0))
            return data

    def release(self, path, fh):
        os.close(fh)
        return 0


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    source, mountpoint, log = sys.argv[1:]
    FUSE(SlowDisc(os.path.abspath(source), log), mountpoint, foreground=True, nothreads=True,
         ro=True)


if __name__ == "__main__":
    main()
