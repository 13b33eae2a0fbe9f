"""The installer's reader against Info-ZIP's zip and unzip. Archives that zip makes (stored and
deflated members, every compression level, empty files, folders, files across the 32 KB window and a
large one, archives written to a pipe with their sizes after the data, Zip64 fields) and archives
Python's zipfile writes to a stream unpack through our reader to the bytes unzip unpacks, under the
same names in proper case, with the same times; each member reads "... OK". Hostile archives (names
that leave the folder, a wrong CRC, lengths and offsets damaged anywhere, cut short anywhere, a member
inflating far past its declared size) end with their messages, never a crash or a hang, and nothing
lands outside the target folder.

usage: peer_zip.py UNZIP_PROBE WORK_FOLDER
"""
import io
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../e2e"))
from scripted_program import Checks  # noqa: E402

PROBE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
# A zone with summer time, so that DOS times (local) and the times unzip takes from its extra field
# (UTC) are compared across the offset.
ENV = dict(os.environ, TZ="CET-1CEST,M3.5.0,M10.5.0/3")
checks = Checks()
expect = checks.expect


def proper_case(name):
    """The name as the installer writes it: lower case, capitals first and after each separator."""
    out = list(name.lower())
    for i, c in enumerate(out):
        if i == 0 or out[i - 1] in "/\\" or (i == 2 and out[1] == ":"):
            out[i] = c.upper()
    return "".join(out)


def probe(archive, target, timeout=400):
    """Runs our reader; its lines, its exit status (the severity) or 'timeout'/'crash'."""
    os.makedirs(target, exist_ok=True)
    try:
        r = subprocess.run([PROBE, archive, target], capture_output=True, text=True, errors="replace",
                           timeout=timeout, env=ENV)
    except subprocess.TimeoutExpired:
        return "timeout", []
    lines = r.stdout.splitlines()
    status = r.returncode if r.returncode in (0, 1, 2) and lines and lines[-1].startswith("severity") else "crash"
    return status, lines[:-1] if status != "crash" else lines + r.stderr.splitlines()[-5:]


def walk(root):
    """Relative paths of files and of folders under root."""
    files, folders = {}, set()
    for base, dirs, names in os.walk(root):
        for d in dirs:
            folders.add(os.path.relpath(os.path.join(base, d), root))
        for n in names:
            files[os.path.relpath(os.path.join(base, n), root)] = os.path.join(base, n)
    return files, folders


def compare_with_unzip(what, archive, members_expected=None):
    ours, theirs = os.path.join(WORK, "ours"), os.path.join(WORK, "theirs")
    for d in (ours, theirs):
        shutil.rmtree(d, ignore_errors=True)
    status, lines = probe(archive, ours)
    r = subprocess.run(["unzip", "-q", "-o", archive, "-d", theirs], env=ENV, capture_output=True)
    expect(what + ": unzip unpacks it", r.returncode == 0, r.stderr.decode(errors="replace"))
    expect(what + ": our reader finds every member OK", status == 0 and all(l.endswith("... OK") for l in lines),
           "status %s\n%s" % (status, "\n".join(lines[:20])))
    if members_expected is not None:
        expect(what + ": one line per member", len(lines) == members_expected, "%d lines" % len(lines))
    got_files, got_folders = walk(ours)
    want_files, want_folders = walk(theirs)
    mapped = {proper_case(rel): path for rel, path in want_files.items()}
    expect(what + ": the same files", sorted(got_files) == sorted(mapped),
           "ours %s\ntheirs %s" % (sorted(got_files)[:10], sorted(mapped)[:10]))
    for rel, path in mapped.items():
        if rel not in got_files:
            continue
        with open(path, "rb") as a, open(got_files[rel], "rb") as b:
            expect(what + ": same bytes in " + rel, a.read() == b.read())
        # Ours keeps the DOS time (two-second steps), unzip the exact one of its extra field.
        delta = abs(os.stat(path).st_mtime - os.stat(got_files[rel]).st_mtime)
        expect(what + ": same time of " + rel, delta <= 2, "%.0f seconds apart" % delta)
    expect(what + ": the same folders", {proper_case(f) for f in want_folders} <= got_folders,
           "ours %s\ntheirs %s" % (sorted(got_folders), sorted(want_folders)))


def make_tree(root):
    rnd = random.Random(7)
    os.makedirs(os.path.join(root, "sub", "deeper"))
    os.makedirs(os.path.join(root, "sub", "emptydir"))
    words = [b"box ", b"path ", b"=B 1 0 0 10 10\r\n", b"NAND2 ", b"metal ", b"\r\n"]

    def text(n):
        return b"".join(rnd.choice(words) for _ in range(n // 4))[:n]

    files = {
        "readme.txt": text(100000),
        "random.bin": rnd.randbytes(70000),
        "empty.dat": b"",
        "one.byte": b"x",
        "w32767.bin": rnd.randbytes(32767),
        "w32768.bin": rnd.randbytes(32768),
        "w32769.bin": rnd.randbytes(32769),
        "runs.dat": b"\0" * 300000 + b"a" * 70000,
        "With Space.txt": text(5000),
        "sub/deeper/nested.txt": text(40000),
        "sub/ab.tlc": text(333),
        "large.bin": b"".join(text(1 << 20) if i % 3 else rnd.randbytes(1 << 20) for i in range(24)),
    }
    for rel, data in files.items():
        with open(os.path.join(root, rel), "wb") as f:
            f.write(data)
    # Times from another season and an odd second.
    os.utime(os.path.join(root, "readme.txt"), (1700000001, 1700000001))
    os.utime(os.path.join(root, "random.bin"), (1720000000, 1720000000))
    return files


def zip_made_archives(src):
    entries = None
    for level in range(10):
        archive = os.path.join(WORK, "level%d.zip" % level)
        subprocess.run(["zip", "-q", "-r", "-%d" % level, archive, "."], cwd=src, env=ENV, check=True)
        listing = subprocess.run(["unzip", "-Z1", archive], capture_output=True, text=True).stdout.splitlines()
        entries = len(listing)
        compare_with_unzip("zip -%d" % level, archive, entries)
    small = ["readme.txt", "random.bin", "empty.dat", "w32769.bin", "sub/deeper/nested.txt"]
    # Written to a pipe: CRC and sizes follow each member's data.
    for level in ("-0", "-6"):
        archive = os.path.join(WORK, "pipe%s.zip" % level)
        with open(archive, "wb") as out:
            p = subprocess.Popen(["zip", "-q", level, "-"] + small, cwd=src, env=ENV, stdout=subprocess.PIPE)
            shutil.copyfileobj(p.stdout, out)
            p.wait()
        compare_with_unzip("zip %s to a pipe" % level, archive, len(small))
    # A member read from standard input carries Zip64 size fields; -fz forces them on every member.
    archive = os.path.join(WORK, "stdin.zip")
    with open(os.path.join(src, "random.bin"), "rb") as data:
        subprocess.run(["zip", "-q", archive, "-"], stdin=data, cwd=WORK, env=ENV, check=True)
    compare_with_unzip("zip of standard input", archive, 1)
    archive = os.path.join(WORK, "zip64.zip")
    subprocess.run(["zip", "-q", "-fz", archive] + small, cwd=src, env=ENV, check=True)
    compare_with_unzip("zip -fz", archive, len(small))


class Stream(io.RawIOBase):
    """A file that cannot seek, as a pipe is."""

    def __init__(self, f):
        self.f = f

    def writable(self):
        return True

    def seekable(self):
        return False

    def write(self, b):
        return self.f.write(b)


def zipfile_streams(files):
    for method, name in ((zipfile.ZIP_STORED, "stored"), (zipfile.ZIP_DEFLATED, "deflated")):
        archive = os.path.join(WORK, "stream-%s.zip" % name)
        with open(archive, "wb") as f:
            with zipfile.ZipFile(Stream(f), "w", method) as z:
                for rel in ("readme.txt", "w32768.bin", "empty.dat", "sub/deeper/nested.txt"):
                    with z.open(rel, "w") as member:
                        member.write(files[rel])
        compare_with_unzip("zipfile %s to a stream" % name, archive, 4)


def local_header(name, data, method=0, crc=None, csize=None, usize=None, packed=None):
    import zlib
    if packed is None:
        if method == 8:
            c = zlib.compressobj(9, zlib.DEFLATED, -15)
            packed = c.compress(data) + c.flush()
        else:
            packed = data
    crc = zlib.crc32(data) if crc is None else crc
    name = name.encode()
    return struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, method, 0x6D00, 0x586F, crc,
                       len(packed) if csize is None else csize, len(data) if usize is None else usize,
                       len(name), 0) + name + packed


def outside_files(target):
    """Files of WORK outside the target folder and the archives themselves."""
    found = []
    for base, _, names in os.walk(WORK):
        for n in names:
            path = os.path.join(base, n)
            if path.startswith(target + os.sep) or n.endswith(".zip"):
                continue
            if any(path.startswith(os.path.join(WORK, d) + os.sep) for d in ("src", "ours", "theirs")):
                continue
            found.append(path)
    return found


def hostile():
    target = os.path.join(WORK, "box", "target")
    evil_abs = os.path.join(WORK, "abs_evil.txt")
    good = local_header("good.txt", b"good")
    cases = [
        ("a name with ..", local_header("../evil.txt", b"gotcha") + good, 1, "name leaves the folder"),
        ("a name deeper with ..", local_header("a/../../evil.txt", b"gotcha", 8) + good, 1, "name leaves the folder"),
        ("an absolute name", local_header(evil_abs, b"gotcha") + good, 1, "name leaves the folder"),
        ("a drive name", local_header("C:\\evil.txt", b"gotcha") + good, 1, "name leaves the folder"),
        ("a wrong CRC", local_header("crc.txt", b"data" * 1000, 8, crc=12345) + good, 1, "compressed data CRC error"),
        ("a length past the end", local_header("long.txt", b"data", 0, csize=1 << 30), 1, "length error"),
        ("a member of another method", local_header("m99.txt", b"data", 99) + good, 1, "not stored or deflated"),
        ("garbage as deflated data", local_header("junk.txt", b"x" * 50, 8, packed=bytes(range(256)) * 4) + good, 1,
         "compressed data format wrong"),
    ]
    import zlib
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    bomb = c.compress(b"\0" * (200 << 20)) + c.flush()
    cases.append(("a member far longer than declared",
                  local_header("bomb.bin", b"\0" * 1000, 8, packed=bomb, crc=zlib.crc32(b"\0" * (200 << 20))) + good,
                  1, "compressed data length error"))
    for what, data, severity, message in cases:
        shutil.rmtree(os.path.join(WORK, "box"), ignore_errors=True)
        archive = os.path.join(WORK, "hostile.zip")
        with open(archive, "wb") as f:
            f.write(data)
        status, lines = probe(archive, target, timeout=60)
        expect(what + ": severity %d" % severity, status == severity, "status %s\n%s" % (status, "\n".join(lines)))
        expect(what + ": says " + message, lines and message in lines[0], "\n".join(lines))
        if data.endswith(good):
            expect(what + ": the next member still comes out", lines and lines[-1] == "good.txt ... OK",
                   "\n".join(lines))
        expect(what + ": nothing outside the target", not outside_files(target), "\n".join(outside_files(target)))
        expect(what + ": no bomb written", not os.path.exists(os.path.join(target, "Bomb.bin")))
        if os.path.exists(evil_abs):
            os.remove(evil_abs)
    # unzip agrees that the CRC is wrong.
    with open(os.path.join(WORK, "crc.zip"), "wb") as f:
        f.write(local_header("crc.txt", b"data" * 1000, 8, crc=12345))
    r = subprocess.run(["unzip", "-t", os.path.join(WORK, "crc.zip")], capture_output=True)
    expect("unzip finds the wrong CRC too", r.returncode != 0)

    # Damage anywhere, and archives cut short anywhere: a result every time, never a crash or hang.
    source = os.path.join(WORK, "level6.zip")
    with open(source, "rb") as f:
        whole = f.read()[:400000]
    rnd = random.Random(11)
    for round in range(120):
        damaged = bytearray(whole)
        for _ in range(rnd.randint(1, 4)):
            at = rnd.randrange(300) if round % 2 else rnd.randrange(len(damaged))
            damaged[at] = rnd.randrange(256)
        if round % 3 == 0:
            damaged = damaged[:rnd.randrange(len(damaged))]
        shutil.rmtree(os.path.join(WORK, "box"), ignore_errors=True)
        archive = os.path.join(WORK, "damaged.zip")
        with open(archive, "wb") as f:
            f.write(damaged)
        status, lines = probe(archive, target, timeout=60)
        expect("damaged archive %d ends with a severity" % round, status in (0, 1, 2),
               "status %s\n%s" % (status, "\n".join(lines[-10:])))
        expect("damaged archive %d writes nothing outside" % round, not outside_files(target),
               "\n".join(outside_files(target)))


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
src = os.path.join(WORK, "src")
os.makedirs(src)
files = make_tree(src)
zip_made_archives(src)
zipfile_streams(files)
hostile()
checks.finish("PASSED: installer reader against zip and unzip")
