#!/usr/bin/env python3
"""Runs fault_child's "writes" under strace and checks that no file of the program gets its
name before its bytes were synced, and that the folder was synced after the last name.

Usage: durable_writes.py <fault_child> <picture>
"""
import os
import re
import subprocess
import sys
import tempfile

CALL = re.compile(r'^(?:\[pid\s+\d+\] )?(\w+)\((.*)\)\s+=\s+(-?\d+)')


def main():
    child, picture = sys.argv[1], sys.argv[2]
    home = tempfile.mkdtemp()
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=home + "/data",
               XDG_CONFIG_HOME=home + "/config")
    trace = home + "/trace"
    subprocess.run(["strace", "-f", "-qq", "-o", trace, "-e",
                    "trace=openat,write,pwrite64,copy_file_range,fsync,fdatasync,syncfs,"
                    "linkat,rename,renameat,renameat2,close",
                    child, "writes", picture], env=env, check=True)
    dirty = set()      # fds written since their last sync
    paths = {}         # fd -> path it was opened with
    folders = set()    # fds of folders
    named = []         # names given since the last folder sync
    failures = []
    for line in open(trace):
        match = CALL.match(line)
        if not match:
            continue
        name, args, result = match.group(1), match.group(2), int(match.group(3))
        first = args.split(",")[0].strip()
        if name == "openat" and result >= 0:
            paths[result] = args.split('"')[1]
            if "O_DIRECTORY" in args:
                folders.add(result)
            dirty.discard(result)
        elif name in ("write", "pwrite64") and result > 0:
            dirty.add(int(first))
        elif name == "copy_file_range" and result > 0:
            dirty.add(int(args.split(",")[2]))
        elif name in ("fsync", "fdatasync") and result == 0:
            dirty.discard(int(first))
            if int(first) in folders:
                named.clear()
        elif name == "syncfs" and result == 0:
            dirty.clear()
        elif name == "close":
            fd = int(first)
            folders.discard(fd)
            # A file closed unsynced may still be renamed into place later.
            if fd in dirty:
                dirty.discard(fd)
                dirty.add(paths.get(fd, fd))
            paths.pop(fd, None)
        elif name == "linkat" and result == 0:
            fd = int(args.split('"')[1].rsplit("/", 1)[1])
            if fd in dirty:
                failures.append("named before its bytes were synced: " + line.strip())
            named.append(line.strip())
        elif name.startswith("rename") and result == 0:
            source = args.split('"')[1]
            if source in dirty:
                failures.append("renamed before its bytes were synced: " + line.strip())
            named.append(line.strip())
    if named:
        failures.append("no folder sync after: " + named[-1])
    # The links list is created and appended in one call, so no line appended by another
    # process at the same moment is lost.
    links = [line for line in open(trace) if "Links.LST" in line]
    if not links or "O_APPEND" not in links[0] or "O_CREAT" not in links[0] or \
            any(re.match(r"(\[pid\s+\d+\] )?(rename|linkat)", line) for line in links):
        failures.append("Links.LST not created by its append: " + "".join(links))
    for failure in failures:
        print("FAIL:", failure)
    print("checked", trace)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
