#!/usr/bin/python3
"""Prints the version information of a Windows program as the file's properties show it:
the file version, then each string as name=value, one per line. With --exact, the fixed
information and every string in the file's own order, the texts in hexadecimal UTF-16LE,
so that quotes, line breaks and other characters compare exactly:
  FILE a.b.c.d / PRODUCT a.b.c.d / FLAGS x OS x TYPE x / key-hex=value-hex ..."""
import sys

import pefile

exact = sys.argv[1] == "--exact"
pe = pefile.PE(sys.argv[-1])
fixed = pe.VS_FIXEDFILEINFO[0]


def parts(ms, ls):
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


if exact:
    print("FILE " + parts(fixed.FileVersionMS, fixed.FileVersionLS))
    print("PRODUCT " + parts(fixed.ProductVersionMS, fixed.ProductVersionLS))
    print("FLAGS %x OS %x TYPE %x" % (fixed.FileFlags, fixed.FileOS, fixed.FileType))
else:
    print("FileVersion " + parts(fixed.FileVersionMS, fixed.FileVersionLS))
for info in pe.FileInfo[0]:
    if info.Key == b"StringFileInfo":
        for table in info.StringTable:
            entries = table.entries.items() if exact else sorted(table.entries.items())
            for name, value in entries:
                if exact:
                    print("%s=%s" % (name.decode("utf-8").encode("utf-16le").hex(),
                                     value.decode("utf-8").encode("utf-16le").hex()))
                else:
                    print("%s=%s" % (name.decode(), value.decode()))
