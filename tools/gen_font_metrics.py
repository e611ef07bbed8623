#!/usr/bin/env python3
"""Prints the advance widths of the Windows-1252 characters 32..255 of a
TrueType font (units per em, OS/2 win ascent and descent, hmtx advances) as a
C++ initializer. Used to build the built-in text metrics of the graphics core,
which must measure text without a toolkit:

  tools/gen_font_metrics.py /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
"""
import struct
import sys


def tables(data):
    num = struct.unpack(">H", data[4:6])[0]
    out = {}
    for i in range(num):
        tag, _, off, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        out[tag.decode()] = data[off:off + length]
    return out


def cmap_format4(cmap):
    n = struct.unpack(">H", cmap[2:4])[0]
    for i in range(n):
        pid, eid, off = struct.unpack(">HHI", cmap[4 + 8 * i:12 + 8 * i])
        if pid == 3 and eid == 1 and struct.unpack(">H", cmap[off:off + 2])[0] == 4:
            sub = cmap[off:]
            segx2 = struct.unpack(">H", sub[6:8])[0]
            seg = segx2 // 2
            ends = struct.unpack(">%dH" % seg, sub[14:14 + segx2])
            starts = struct.unpack(">%dH" % seg, sub[16 + segx2:16 + 2 * segx2])
            deltas = struct.unpack(">%dh" % seg, sub[16 + 2 * segx2:16 + 3 * segx2])
            roff_pos = 16 + 3 * segx2
            roffs = struct.unpack(">%dH" % seg, sub[roff_pos:roff_pos + segx2])

            def glyph(c):
                for k in range(seg):
                    if starts[k] <= c <= ends[k]:
                        if roffs[k] == 0:
                            return (c + deltas[k]) & 0xFFFF
                        p = roff_pos + 2 * k + roffs[k] + 2 * (c - starts[k])
                        g = struct.unpack(">H", sub[p:p + 2])[0]
                        return (g + deltas[k]) & 0xFFFF if g else 0
                return 0
            return glyph
    raise SystemExit("no Unicode BMP cmap")


def main():
    data = open(sys.argv[1], "rb").read()
    t = tables(data)
    upem = struct.unpack(">H", t["head"][18:20])[0]
    nhm = struct.unpack(">H", t["hhea"][34:36])[0]
    win_asc, win_desc = struct.unpack(">HH", t["OS/2"][74:78])
    glyph = cmap_format4(t["cmap"])
    hmtx = t["hmtx"]

    def adv(g):
        g = min(g, nhm - 1)
        return struct.unpack(">H", hmtx[4 * g:4 * g + 2])[0]

    widths = []
    for code in range(32, 256):
        try:
            ch = bytes([code]).decode("cp1252")
        except UnicodeDecodeError:
            ch = "?"
        widths.append(adv(glyph(ord(ch))))
    print("// %s: units per em %d, win ascent %d, win descent %d" % (sys.argv[1].split("/")[-1], upem, win_asc, win_desc))
    print("{%d, %d, %d, {" % (upem, win_asc, win_desc))
    for i in range(0, len(widths), 16):
        print("    " + ", ".join(str(w) for w in widths[i:i + 16]) + ",")
    print("}}")


main()
