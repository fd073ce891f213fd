"""The fonts a Wine prefix needs to draw what Windows draws: Wine's own faces
(Marlett for caption buttons and menu marks, Tahoma for menus, dialogs and the
printed card) and Arabic and CJK glyphs for every face the card and the
system use. The e2e harness and the scripts set up their prefixes here.

    python3 winefonts.py PREFIX      after `wineboot -i` in that prefix
"""
import os
import shutil
import subprocess
import sys
import tempfile

# Debian's Wine looks for these under "<data dir>\../fonts\", a path it cannot
# open, so a prefix gets them only in its own Fonts folder.
WINE_FONTS = "/usr/share/wine/fonts"

# Wine's stand-ins for Windows' faces borrow Arabic and CJK glyphs from these.
# Wine shapes Arabic into its presentation forms, which DejaVu Sans has and
# the Noto fonts do not; CJK text finds its glyphs only when WenQuanYi comes
# first. The card writes Arabic in Arial and CJK in Tahoma. A link applies
# only to a face that exists (a missing face becomes its first linked font,
# without links) and not to a substituted name such as MS Shell Dlg.
LINKED_FONT_FILES = ("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc")
DEJAVU, WENQUANYI = "DejaVuSans.ttf,DejaVu Sans", "wqy-microhei.ttc,WenQuanYi Micro Hei"
FONT_LINKS = {  # face: linked fonts, in the order Wine tries them
    "Arial": [DEJAVU, WENQUANYI], "Liberation Sans": [DEJAVU, WENQUANYI],
    "Microsoft Sans Serif": [WENQUANYI, DEJAVU], "Tahoma": [WENQUANYI, DEJAVU],
}
# In an Arabic session Wine rewrites "MS Shell Dlg" to Microsoft Sans Serif, a
# face no prefix has; the stand-in it picked lacks Arabic presentation forms,
# so captions and menus drew boxes and unjoined letters. Wine's Tahoma has
# them, in bold too, and a replacement is a real family that keeps its links
# (a substitute would not be followed twice). CJK text in such a right-to-left
# menu still shows boxes: Wine shapes it with the menu's face alone, unlinked.
FONT_REPLACEMENTS = {"Microsoft Sans Serif": "Tahoma"}


def font_files():
    return [os.path.join(WINE_FONTS, name) for name in sorted(os.listdir(WINE_FONTS))] + list(LINKED_FONT_FILES)


def registry():
    """The font links and replacements as a .reg file's text."""
    def multi_string(strings):
        data = "\0".join(strings + [""]).encode("utf-16-le") + b"\0\0"
        return "hex(7):" + ",".join(f"{b:02x}" for b in data)
    lines = ["Windows Registry Editor Version 5.00", "",
             r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]"]
    lines += [f'"{face}"={multi_string(links)}' for face, links in FONT_LINKS.items()]
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
    lines += [f'"{face}"="{real}"' for face, real in FONT_REPLACEMENTS.items()]
    return "\r\n".join(lines) + "\r\n"


def install(prefix, env=None):
    """Puts the fonts into a booted prefix and links them; the prefix's server
    is stopped after, so the next process sees them."""
    fonts = os.path.join(prefix, "drive_c", "windows", "Fonts")
    os.makedirs(fonts, exist_ok=True)
    for font in font_files():
        target = os.path.join(fonts, os.path.basename(font))
        if not os.path.exists(target):
            shutil.copy2(font, target)
    env = dict(env or os.environ, WINEPREFIX=prefix)
    with tempfile.TemporaryDirectory() as folder:
        reg_file = os.path.join(folder, "fonts.reg")
        with open(reg_file, "w", encoding="utf-16") as f:
            f.write(registry())
        run = dict(env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        subprocess.run(["wine", "regedit", "/S", "Z:" + reg_file.replace("/", "\\")], check=True, **run)
        subprocess.run(["wineserver", "-w"], **run)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    install(os.path.abspath(sys.argv[1]))
