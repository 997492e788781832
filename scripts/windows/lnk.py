#!/usr/bin/python3
"""Prints the target and the working folder of a Windows shortcut (.lnk),
one a line, as the shell link format stores them."""
import struct
import sys

data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 20)[0]
offset = 76
if flags & 0x1:  # HasLinkTargetIDList
    offset += 2 + struct.unpack_from("<H", data, offset)[0]
target = ""
if flags & 0x2:  # HasLinkInfo: the target's local path
    info = offset
    size, header = struct.unpack_from("<II", data, info)
    base = struct.unpack_from("<I", data, info + 16)[0]
    if header >= 0x24:
        unicode_base = struct.unpack_from("<I", data, info + 28)[0]
        end = data.index(b"\0\0", info + unicode_base)
        end += (end - info - unicode_base) % 2
        target = data[info + unicode_base:end].decode("utf-16-le")
    else:
        target = data[info + base:data.index(b"\0", info + base)].decode("mbcs" if sys.platform == "win32" else "latin-1")
    offset += size
fields = {}
for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "workdir"), (0x20, "arguments"), (0x40, "icon")):
    if flags & bit:
        count = struct.unpack_from("<H", data, offset)[0]
        offset += 2
        if flags & 0x80:  # IsUnicode
            fields[name] = data[offset:offset + 2 * count].decode("utf-16-le")
            offset += 2 * count
        else:
            fields[name] = data[offset:offset + count].decode("latin-1")
            offset += count
print(target or fields.get("relative", ""))
print(fields.get("workdir", ""))
