#!/usr/bin/env python3
"""Only the shell talks to the user.

The core libraries (everything below src/ that is not texts/, ui/, app/, cli/
or shell/) return what they have to say; the shell decides whether and how it
is shown. This check fails when a core file includes the message-box or the
UI-services header, directly or by a relative path.

Usage: check_core_includes.py [SOURCE_DIR]   (default: the repository root)
"""
import pathlib
import re
import sys

SHELL = {"texts", "ui", "app", "cli", "shell"}
FORBIDDEN = {"msgbox.h", "ui_services.h", "qt_ui_services.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]', re.M)


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    src = root / "src"
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or path.relative_to(src).parts[0] in SHELL:
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for m in INCLUDE.finditer(text):
            if pathlib.PurePosixPath(m.group(1)).name in FORBIDDEN:
                line = text.count("\n", 0, m.start()) + 1
                faults.append(f"{path.relative_to(root)}:{line}: includes {m.group(1)}")
    for f in faults:
        print(f)
    if faults:
        print(f"{len(faults)} core file(s) would talk to the user: return the text and let the shell show it.")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
