#!/usr/bin/env python3
"""Copies the FFmpeg DLLs into a build folder, laid out for a cheap load.

The cross-built DLLs all prefer the image base 0x180000000 and keep their sections at
512-byte file offsets. Every start then relocates all but the first one loaded, and Wine,
which can only map page-aligned file offsets, reads each whole DLL into private memory
instead of mapping it. Each copy gets its own base (its relocations applied, so it still
moves if it must) and page-aligned sections; nothing inside a section changes.

    place-dlls.py DEST_FOLDER FIRST_BASE DLL...

Bases are handed out in the order given, from FIRST_BASE (hex) upwards, one megabyte
apart at least. A copy is rewritten only when its content changes, and touched otherwise.
"""
import os
import struct
import sys

PAGE = 0x1000
SPACING = 0x100000


def round_up(value, unit):
    return (value + unit - 1) // unit * unit


class Image:
    def __init__(self, data):
        self.data = bytearray(data)
        (self.pe,) = struct.unpack_from("<I", self.data, 0x3C)
        if self.data[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        self.coff = self.pe + 4
        self.sections_count, = struct.unpack_from("<H", self.data, self.coff + 2)
        self.optional_size, = struct.unpack_from("<H", self.data, self.coff + 16)
        self.opt = self.coff + 20
        if struct.unpack_from("<H", self.data, self.opt)[0] != 0x20B:
            raise ValueError("not a 64-bit image")
        self.section_table = self.opt + self.optional_size

    # Optional-header fields of PE32+.
    def field(self, offset, fmt):
        return struct.unpack_from(fmt, self.data, self.opt + offset)[0]

    def set_field(self, offset, fmt, value):
        struct.pack_into(fmt, self.data, self.opt + offset, value)

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.opt + 112 + 8 * index)

    def sections(self):
        result = []
        for i in range(self.sections_count):
            at = self.section_table + 40 * i
            vsize, rva, raw_size, raw_at = struct.unpack_from("<IIII", self.data, at + 8)
            result.append({"at": at, "vsize": vsize, "rva": rva, "raw_size": raw_size, "raw_at": raw_at})
        return result

    def file_offset(self, rva):
        for s in self.sections():
            if s["rva"] <= rva < s["rva"] + max(s["vsize"], s["raw_size"]) and rva - s["rva"] < s["raw_size"]:
                return s["raw_at"] + rva - s["rva"]
        raise ValueError("RVA 0x%x outside the file" % rva)

    def rebase(self, new_base):
        old_base = self.field(24, "<Q")
        delta = new_base - old_base
        if delta == 0:
            return
        rva, size = self.directory(5)
        if size == 0:
            raise ValueError("no relocations to rebase with")
        at = self.file_offset(rva)
        end = at + size
        while at < end:
            page, block = struct.unpack_from("<II", self.data, at)
            if block < 8:
                break
            for (entry,) in struct.iter_unpack("<H", self.data[at + 8:at + block]):
                kind, offset = entry >> 12, entry & 0xFFF
                if kind == 0:
                    continue
                target = self.file_offset(page + offset)
                if kind == 10:
                    value, = struct.unpack_from("<Q", self.data, target)
                    struct.pack_into("<Q", self.data, target, (value + delta) & 0xFFFFFFFFFFFFFFFF)
                elif kind == 3:
                    value, = struct.unpack_from("<I", self.data, target)
                    struct.pack_into("<I", self.data, target, (value + delta) & 0xFFFFFFFF)
                else:
                    raise ValueError("relocation type %d" % kind)
            at += block
        self.set_field(24, "<Q", new_base)

    def page_align(self):
        """Moves every section's raw data to a page boundary."""
        if self.field(36, "<I") == PAGE:
            return
        sections = self.sections()
        security = self.directory(4)
        if security[1] != 0:
            raise ValueError("signed image")
        headers = self.field(60, "<I")
        if headers > PAGE or self.section_table + 40 * len(sections) > PAGE:
            raise ValueError("headers larger than a page")
        symbols, = struct.unpack_from("<I", self.data, self.coff + 8)
        out = bytearray(self.data[:headers])
        out.extend(b"\0" * (PAGE - len(out)))
        moved = []  # (old offset, old size, new offset)
        for s in sorted(sections, key=lambda s: s["raw_at"]):
            if s["raw_size"] == 0:
                continue
            new_at = len(out)
            new_size = round_up(s["raw_size"], PAGE)
            limit = round_up(max(s["vsize"], s["raw_size"]), PAGE)
            new_size = min(new_size, limit)
            out.extend(self.data[s["raw_at"]:s["raw_at"] + s["raw_size"]])
            out.extend(b"\0" * (new_at + new_size - len(out)))
            moved.append((s["raw_at"], s["raw_size"], new_at))
            struct.pack_into("<II", out, s["at"] + 16, new_size, new_at)
        last_end = max(s["raw_at"] + s["raw_size"] for s in sections)
        if symbols != 0:
            # Symbol and string tables (and anything else after the sections) follow.
            struct.pack_into("<I", out, self.coff + 8, len(out) + symbols - last_end)
        out.extend(self.data[last_end:])

        def moved_offset(offset):
            for old, size, new in moved:
                if old <= offset < old + size:
                    return new + offset - old
            raise ValueError("file offset 0x%x in no section" % offset)

        rva, size = self.directory(6)
        if size:
            at = moved_offset(self.file_offset(rva))
            for i in range(size // 28):
                entry = at + 28 * i
                pointer, = struct.unpack_from("<I", out, entry + 24)
                if pointer:
                    struct.pack_into("<I", out, entry + 24, moved_offset(pointer))
        self.data = out
        self.set_field(36, "<I", PAGE)
        self.set_field(60, "<I", PAGE)

    def fix_checksum(self):
        at = self.opt + 64
        struct.pack_into("<I", self.data, at, 0)
        data = self.data + b"\0" * (len(self.data) % 2)
        total = 0
        for (word,) in struct.iter_unpack("<H", data):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
        total = (total & 0xFFFF) + (total >> 16)
        struct.pack_into("<I", self.data, at, (total + len(self.data)) & 0xFFFFFFFF)


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    dest, base = argv[1], int(argv[2], 16)
    for path in argv[3:]:
        with open(path, "rb") as f:
            image = Image(f.read())
        image.page_align()
        image.rebase(base)
        image.fix_checksum()
        base = round_up(base + image.field(56, "<I"), SPACING)
        target = os.path.join(dest, os.path.basename(path))
        try:
            with open(target, "rb") as f:
                same = f.read() == image.data
        except OSError:
            same = False
        if same:
            # Newer than its source and this script from now on.
            os.utime(target)
            continue
        with open(target, "wb") as f:
            f.write(image.data)
        os.chmod(target, 0o755)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
