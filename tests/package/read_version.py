#!/usr/bin/python3
"""Prints the version information of a Windows program as the file's properties show it:
the file version, then each string as name=value, one per line."""
import sys

import pefile

pe = pefile.PE(sys.argv[1])
fixed = pe.VS_FIXEDFILEINFO[0]
print("FileVersion %d.%d.%d.%d" % (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
                                   fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF))
for info in pe.FileInfo[0]:
    if info.Key == b"StringFileInfo":
        for table in info.StringTable:
            for name, value in sorted(table.entries.items()):
                print("%s=%s" % (name.decode(), value.decode()))
