#!/usr/bin/env python3
"""Generates the sample luminaires of resources/samples/.

A first start with an empty catalogue copies these files into the luminaire
root and takes them in, so a new user sees a working program. Each file is a
closed-form light distribution (normalised to the stated light output ratio)
written in one of the formats the program reads: EULUMDAT, IES LM-63 (1986,
1991, 1995), CIBSE TM14 and LTLI. Makers and products are invented.

    python3 tools/make_samples.py            # writes resources/samples/
"""
import math
import os
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "samples")


def rad(d):
    return math.radians(d)


def cosp(g, n):
    """cos(g)^n below the horizontal, 0 above."""
    c = math.cos(rad(g))
    return c ** n if c > 0 else 0.0


# ---- distributions: f(gamma, C) in arbitrary units -------------------------

def downlight(n):
    return lambda g, c: cosp(g, n)


def batwing(g, c):
    if g >= 90:
        return 0.0
    along = cosp(g, 1.4)
    across = math.cos(rad(g)) * (1 + 3.2 * math.sin(rad(g)) ** 2) * 0.55
    w = math.sin(rad(c)) ** 2
    return (1 - w) * along + w * across


def wallwasher(g, c):
    if g >= 100:
        return 0.0
    lobe = math.exp(-((g - 52) / 20.0) ** 2) * (0.5 + 0.5 * math.cos(rad(c))) ** 2.5
    return lobe + 0.06 * cosp(g, 1)


def uplight(g, c):
    return cosp(180 - g, 2.5)


def pendant(g, c):
    w = math.sin(rad(c)) ** 2
    down = cosp(g, 2.2) * (1 + 0.6 * w * math.sin(rad(g)) ** 2)
    up = 0.55 * cosp(180 - g, 1.3)
    return down + up


def highbay(g, c):
    return cosp(g, 12) + 0.15 * cosp(g, 2)


def street(g, c):
    if g >= 88:
        return 0.0
    # Wide throw along the road (C0/C180), forward towards the street side (C90).
    along = math.exp(-((g - 65) / 14.0) ** 2) * abs(math.cos(rad(c))) ** 1.5
    fwd = math.exp(-((g - 50) / 18.0) ** 2) * max(0.0, math.sin(rad(c))) ** 2
    return 0.25 * cosp(g, 1) + along + 0.7 * fwd


def flood_b(h, v):
    """Type B: horizontal angle h, vertical angle v."""
    return math.exp(-(h / 28.0) ** 2 - (v / 16.0) ** 2) + 0.02 * math.cos(rad(h)) * math.cos(rad(v))


# ---- normalisation ----------------------------------------------------------

def flux_c(f, gammas, planes):
    """Flux of f over the sphere (midpoint rule on a fine grid); the grid
    arguments are unused and kept for symmetry with the writers."""
    total = 0.0
    ng, nc = 180, 72
    for i in range(ng):
        g0, g1 = i * 180.0 / ng, (i + 1) * 180.0 / ng
        band = math.cos(rad(g0)) - math.cos(rad(g1))
        s = sum(f((g0 + g1) / 2, (j + 0.5) * 360.0 / nc) for j in range(nc)) / nc
        total += 2 * math.pi * band * s
    return total


def fold(f, isym):
    """The shape as a reader sees it: planes the file does not hold are
    mirrored from those it holds (EULUMDAT symmetry indicator)."""
    def folded(g, c):
        c %= 360.0
        if isym == 1:
            c = 0.0
        elif isym == 2 and c > 180:
            c = 360.0 - c
        elif isym == 3 and not 90 <= c <= 270:
            c = (180.0 - c) % 360.0
        elif isym == 4:
            c = min(c % 180.0, 180.0 - c % 180.0)
        return f(g, c)
    return folded


def scaled(f, lor, isym=0):
    f = fold(f, isym)
    k = lor / 100.0 * 1000.0 / flux_c(f, None, None)
    return lambda g, c: k * f(g, c)


def fmt(v, d=1):
    return ("%." + str(d) + "f") % v


def write(name, lines):
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, name), "wb") as fh:
        fh.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


# ---- EULUMDAT ---------------------------------------------------------------

def ldt(name, s):
    isym = s["isym"]
    f = scaled(s["f"], s["lor"], isym)
    dc = 15.0
    mc = 24
    gammas = [i * 5.0 for i in range(37)]
    planes_all = [i * dc for i in range(mc)]
    stored = {0: planes_all, 1: [0.0], 2: [c for c in planes_all if c <= 180] + [180.0],
              3: [90 + i * dc for i in range(13)], 4: [0, 15, 30, 45, 60, 75, 90]}[isym]
    if isym == 2:
        stored = [i * dc for i in range(13)]
    dff = 100.0 * flux_down(f) / flux_c(f, None, None)
    L = [s["maker"], str(s["ityp"]), str(isym), str(mc), fmt(dc), str(len(gammas)), "5.0",
         s["report"], s["lumname"], s["lumnumber"], name, s["date"],
         str(s["dims"][0]), str(s["dims"][1]), str(s["dims"][2]),
         str(s["area"][0]), str(s["area"][1])] + [str(h) for h in s["area"][2]] + [
        fmt(dff), fmt(s["lor"]), "1.00", "0.0", "1",
        str(s["lamps"]), s["lamptype"], str(s["flux"]), s["cct"], s["cri"], fmt(s["watt"])]
    L += [fmt(r, 3) for r in direct_ratios(dff)]
    L += [fmt(c) for c in planes_all]
    L += [fmt(g) for g in gammas]
    # Isym 3 lists the half C270 ... C0 ... C90; these shapes are symmetric to C90-C270.
    order = stored if isym != 3 else [270 - i * dc for i in range(13)]
    for c in order:
        for g in gammas:
            L.append(fmt(f(g, c)))
    write(name, L)


def flux_down(f):
    return flux_c(lambda g, c: f(g, c) if g < 90 else 0.0, None, None)


def direct_ratios(dff):
    base = [0.42, 0.50, 0.56, 0.61, 0.68, 0.72, 0.77, 0.81, 0.84, 0.87]
    return [min(0.99, b * dff / 100.0 + 0.02) for b in base]


# ---- IES LM-63 --------------------------------------------------------------

def ies(name, s):
    isym = 1 if len(s.get("horiz", [])) == 1 else 4
    f = scaled(s["f"], s["lor"], isym) if s["f"] else None
    lumens = s["flux"] / s["lamps"]
    k = s["flux"] / 1000.0
    L = []
    if s["version"] == 1995:
        L.append("IESNA:LM-63-1995")
    elif s["version"] == 1991:
        L.append("IESNA91")
    for key in ("TEST", "MANUFAC", "LUMCAT", "LUMINAIRE", "LAMP", "OTHER"):
        if key in s["kw"]:
            L.append("[%s] %s" % (key, s["kw"][key]) if s["version"] != 1986 else s["kw"][key])
    L.append("TILT=NONE")
    if s.get("typeb"):
        verts = [v * 5.0 for v in range(-18, 19)]
        horiz = [h * 5.0 for h in range(-18, 19)]
        ptype = 2
        value = lambda v, h: flood_b_scaled(h, v)
    else:
        verts = [g * 5.0 for g in range(37)]
        horiz = s["horiz"]
        ptype = 1
        value = lambda v, h: f(v, h)
    w, l, hgt = s["dims_m"]
    L.append("%d %s 1.0 %d %d %d 2 %s %s %s" % (s["lamps"], fmt(lumens, 0), len(verts), len(horiz), ptype,
                                               fmt(w, 3), fmt(l, 3), fmt(hgt, 3)))
    L.append("1.0 1.0 %s" % fmt(s["watt"]))
    L += wrap([fmt(v) for v in verts])
    L += wrap([fmt(h) for h in horiz])
    for h in horiz:
        L += wrap([fmt(k * value(v, h)) for v in verts])
    write(name, L)


_fb = None


def flood_b_scaled(h, v):
    global _fb
    if _fb is None:
        # Flux of the type B shape on the sphere: dOmega = cos(v) dh dv.
        tot = 0.0
        n = 180
        for i in range(n):
            hh = -90 + (i + 0.5) * 180.0 / n
            for j in range(n):
                vv = -90 + (j + 0.5) * 180.0 / n
                tot += flood_b(hh, vv) * math.cos(rad(vv)) * rad(1.0) * rad(1.0)
        _fb = 0.78 * 1000.0 / tot
    return _fb * flood_b(h, v)


def wrap(words, width=78):
    out, line = [], ""
    for w in words:
        if line and len(line) + 1 + len(w) > width:
            out.append(line)
            line = w
        else:
            line = w if not line else line + " " + w
    if line:
        out.append(line)
    return out


# ---- CIBSE TM14 -------------------------------------------------------------

def tm14(name, s):
    f = scaled(s["f"], s["lor"], 4)
    gammas = [i * 5.0 for i in range(19)]
    planes = [0.0, 15.0, 30.0, 45.0, 60.0, 75.0, 90.0]
    L = ["CIBSE/1", s["report"], s["lumnumber"], s["lumname"], s["lamptype"], s["info"][0], s["info"][1],
         s["info"][2], "%d 1 %s %s %s" % (s["lamps"], fmt(s["dims_m"][0], 3), fmt(s["dims_m"][1], 3),
                                          fmt(s["dims_m"][2], 3)),
         "1.0 %s %s" % (fmt(s["watt"]), fmt(s["watt"])), "0", "%d %d" % (len(gammas), len(planes))]
    L += wrap([fmt(g) for g in gammas], 64)
    L += wrap([fmt(c) for c in planes], 64)
    for c in planes:
        L += wrap([fmt(f(g, c)) for g in gammas], 64)
    L.append("1 %s %s %s" % (fmt(s["area_m2"][0], 4), fmt(s["area_m2"][1], 4), fmt(s["area_m2"][2], 4)))
    write(name, L)


# ---- LTLI ---------------------------------------------------------------------

def ltli(name, s):
    f = scaled(s["f"], s["lor"], 2)
    fields = [s["number"], 180, 90, 30, 5, 1] + list(s["area_cm"])
    line1 = "".join("%4d" % v for v in fields) + "LTLI"
    L = [line1, s["report"], s["maker"], s["lumname"], s["info"]]
    values = []
    for gi in range(19):
        for ci in range(7):
            values.append(int(round(f(gi * 5.0, ci * 30.0))))
    for i in range(0, len(values), 17):
        L.append("".join("%4d" % v for v in values[i:i + 17]))
    write(name, L)


# ---- the samples --------------------------------------------------------------

M1 = "Beispielwerk Leuchten AG"
M2 = "Sample Lighting Ltd"
M3 = "Lumina Exemple SA"


def main():
    ldt("DL150R.LDT", dict(f=downlight(6), lor=82.0, isym=1, ityp=1, maker=M1, report="BW-2291",
                           lumname="Einbau-Downlight Rondo 150 LED", lumnumber="RD150-830-W", date="12.03.2024 ML",
                           dims=(150, 0, 95), area=(130, 0, (0, 0, 0, 0)), lamps=1, lamptype="LED 18W 3000K",
                           flux=2000, cct="3000 K", cri="80", watt=18.0))
    ldt("LINEA58.LDT", dict(f=batwing, lor=88.0, isym=4, ityp=2, maker=M1, report="BW-2304",
                            lumname="Linea Batwing 1500 Anbauleuchte", lumnumber="LN1500-BW-840", date="02.05.2024 ML",
                            dims=(1500, 60, 70), area=(1470, 50, (0, 0, 0, 0)), lamps=1, lamptype="LED-Modul 36W 4000K",
                            flux=4600, cct="4000 K", cri="80", watt=36.0))
    ldt("WALLW30.LDT", dict(f=wallwasher, lor=74.0, isym=0, ityp=3, maker=M1, report="BW-2317",
                            lumname="Wandfluter Vega asymmetrisch", lumnumber="VG-WW-30-930", date="21.06.2024 TK",
                            dims=(300, 200, 110), area=(280, 120, (0, 0, 0, 0)), lamps=1,
                            lamptype="LED 24W 3000K CRI90", flux=2400, cct="3000 K", cri="90", watt=24.0))
    ldt("UPLIGHT.LDT", dict(f=uplight, lor=79.0, isym=1, ityp=1, maker=M2, report="SL-7710",
                            lumname="Aura floor uplight 300", lumnumber="AU-300-UP", date="08.01.2024 JR",
                            dims=(300, 0, 1800), area=(280, 0, (0, 0, 0, 0)), lamps=1, lamptype="LED 40W 3500K",
                            flux=5200, cct="3500 K", cri="85", watt=40.0))
    ldt("PENDDI.LDT", dict(f=pendant, lor=91.0, isym=4, ityp=2, maker=M2, report="SL-7725",
                           lumname="Skyline direct/indirect pendant 1200", lumnumber="SK1200-DI-840",
                           date="15.02.2024 JR", dims=(1200, 300, 40), area=(1180, 280, (0, 0, 0, 0)), lamps=2,
                           lamptype="LED 2x25W 4000K", flux=6800, cct="4000 K", cri="80", watt=50.0))
    ldt("HIGHBAY.LDT", dict(f=highbay, lor=90.0, isym=1, ityp=1, maker=M3, report="LE-0412",
                            lumname="Cloche industrielle HB 150W 25 deg", lumnumber="HB150-25-850",
                            date="30.04.2024 PD", dims=(420, 0, 210), area=(380, 0, (0, 0, 0, 0)), lamps=1,
                            lamptype="LED 150W 5000K", flux=21000, cct="5000 K", cri="70", watt=150.0))
    ldt("Strassenleuchte Via asymmetrisch 4000K.ldt",
        dict(f=street, lor=86.0, isym=2, ityp=3, maker=M1, report="BW-2350",
             lumname="Strassenleuchte Via 60W Typ II", lumnumber="VIA-60-T2-740", date="11.07.2024 TK",
             dims=(620, 260, 110), area=(400, 160, (0, 0, 0, 0)), lamps=1, lamptype="LED 60W 4000K",
             flux=8400, cct="4000 K", cri="70", watt=60.0))
    ies("DL200R.IES", dict(f=downlight(4), lor=85.0, version=1991, lamps=1, flux=3000, watt=27.0,
                           dims_m=(-0.2, 0.0, 0.12), horiz=[0.0],
                           kw={"TEST": "SL-7731", "MANUFAC": M2, "LUMCAT": "OR200-LED-830",
                               "LUMINAIRE": "Orbit recessed downlight 200", "LAMP": "LED 27W 3000K"}))
    ies("OFFICE.IES", dict(f=batwing, lor=80.0, version=1995, lamps=2, flux=6700, watt=58.0,
                           dims_m=(0.3, 1.25, 0.08), horiz=[0.0, 22.5, 45.0, 67.5, 90.0],
                           kw={"TEST": "TEST REPORT LE-0398", "MANUFAC": M3,
                               "LUMCAT": "BUR-228-LV", "LUMINAIRE": "Bureau 2x28W recessed louvre", "LAMP": "2 T5 28W"}))
    ies("FLOOD-B.IES", dict(f=None, lor=78.0, version=1995, lamps=1, flux=12000, watt=100.0,
                            dims_m=(0.35, 0.3, 0.12), typeb=True,
                            kw={"TEST": "LE-0455", "MANUFAC": M3, "LUMCAT": "PRJ-100-N",
                                "LUMINAIRE": "Projecteur 100W faisceau intensif", "LAMP": "LED 100W 4000K",
                                "OTHER": "Type B photometry"}))
    tm14("RECESS.CIB", dict(f=downlight(3), lor=72.0, report="SL-7702", lumnumber="RC600-LED",
                            lumname="Recessed modular 600 x 600", lamptype="LED 33W 4000K",
                            info=("Opal diffuser", "Grid ceiling T24", "Measured 2023"), lamps=1,
                            dims_m=(0.595, 0.595, 0.08), watt=33.0, area_m2=(0.33, 0.012, 0.012)))
    ltli("A1234.LTL", dict(f=downlight(2), lor=76.0, number=1234, area_cm=(120, 20, 2), report="BW-1998",
                           maker=M1, lumname="Lichtband Standard 1200", info="Reflektor breitstrahlend"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
