"""A Wine prefix that draws what Windows draws: booted, with Wine's own faces
(Marlett for caption buttons and menu marks, Tahoma in both weights for menus,
dialogs and the printed card), an Arial with Arial's metrics, Arabic and CJK
glyphs for every face the card and the system use, and the colours of
Windows' default scheme; and a hidden display with Wine's desktop to show a
program on. scripts/open-card.sh makes its prefix here, and scripts/winepc.py the template it clones.

    python3 scripts/wineprefix.py PREFIX                        prepare the prefix
    python3 scripts/wineprefix.py PREFIX EXE SCREENSHOT.png     and show EXE on a hidden display
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

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
# Windows' Arial has Arabic glyphs and Liberation Sans, which has Arial's
# metrics, has none; Wine shapes Arabic with a face's own tables alone, so a
# link cannot lend them. The prefix's Arial is Liberation Sans with the Arabic
# of DejaVu Sans added, in both weights (fontTools, Debian's python3-fonttools),
# smoothed at every size as ClearType, Windows' default, smooths Arial: Wine
# follows the face's own table, which asks for no smoothing from 9 to 17 pixels.
ARIAL = {"arial.ttf": ("LiberationSans-Regular.ttf", "DejaVuSans.ttf", "Arial"),
         "arialbd.ttf": ("LiberationSans-Bold.ttf", "DejaVuSans-Bold.ttf", "Arial Bold")}
ARABIC = [*range(0x0600, 0x0700), *range(0x0750, 0x0780), *range(0xFB50, 0xFE00), *range(0xFE70, 0xFF00)]
# Windows' default scheme (7 to 11) where Wine's differs in a colour the card
# shows: its band and read-only values, and, as the system draws them, its
# window's frame and its window menu's edges and greyed entries (its themed
# buttons and edits keep the theme's colours).
WINDOWS_COLOURS = {"ButtonFace": "240 240 240", "ButtonShadow": "160 160 160", "ButtonDkShadow": "105 105 105",
                   "GrayText": "109 109 109", "WindowFrame": "100 100 100"}


def font_files():
    return [os.path.join(WINE_FONTS, name) for name in sorted(os.listdir(WINE_FONTS))] + list(LINKED_FONT_FILES)


def make_arial(fonts):
    """Writes the prefix's Arial into its Fonts folder; runs under Debian's own python3, which has fontTools."""
    from fontTools import merge, subset
    for name, (latin, arabic, full_name) in ARIAL.items():
        options = subset.Options(layout_features=["*"], name_IDs=["*"])
        options.drop_tables += ["MATH", "FFTM"]  # tables fontTools cannot merge
        added = subset.load_font("/usr/share/fonts/truetype/dejavu/" + arabic, options)
        subsetter = subset.Subsetter(options)
        subsetter.populate(unicodes=ARABIC)
        subsetter.subset(added)
        with tempfile.TemporaryDirectory() as folder:
            added.save(os.path.join(folder, arabic))
            font = merge.Merger().merge(["/usr/share/fonts/truetype/liberation2/" + latin,
                                         os.path.join(folder, arabic)])
        names = {1: "Arial", 4: full_name, 6: full_name.replace(" ", "-"), 16: "Arial"}
        for record in font["name"].names:
            record.string = names.get(record.nameID, record.string)
        font["gasp"].gaspRange = {8: 2, 0xFFFF: 3}  # below 9 pixels smoothed alone, above grid-fitted too
        font.save(os.path.join(fonts, name))


def reg_value(value):
    """A .reg file's spelling of a value: str (REG_SZ), int (REG_DWORD), a list
    of str (REG_MULTI_SZ), bytes (REG_BINARY) or a (type, bytes) pair."""
    if isinstance(value, str):
        return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'
    if isinstance(value, int):
        return f"dword:{value:08x}"
    if isinstance(value, list):
        value = ("hex(7)", "\0".join(value + [""]).encode("utf-16-le") + b"\0\0")
    kind, data = ("hex", value) if isinstance(value, bytes) else value
    return f"{kind}:" + ",".join(f"{b:02x}" for b in data)


def run(args, env, timeout=120, check=True):
    """Runs a command with no pipes held open: Wine's helper processes outlive it."""
    code = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=timeout).returncode
    if check and code != 0:
        raise RuntimeError(f"{args[0]} exited {code}")
    return code


def import_registry(keys, env):
    """Writes {key: {name: value}} into the prefix, then lets its server end so
    that the next process starts with the new settings."""
    lines = ["Windows Registry Editor Version 5.00"]
    for key, values in keys.items():
        lines += ["", f"[{key}]"] + [f'"{name}"={reg_value(value)}' for name, value in values.items()]
    with tempfile.TemporaryDirectory() as folder:
        reg_file = os.path.join(folder, "settings.reg")
        with open(reg_file, "w", encoding="utf-16") as f:
            f.write("\r\n".join(lines) + "\r\n")
        run(["wine", "regedit", "/S", "Z:" + reg_file.replace("/", "\\")], env)
    run(["wineserver", "-k"], env, check=False)
    run(["wineserver", "-w"], env, check=False)


def prepare(prefix, env=None):
    """Boots the prefix if it is new and gives it the fonts."""
    env = dict(env or os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
    env.pop("DISPLAY", None)
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        run(["wineboot", "-i"], env, timeout=300)
        run(["wineserver", "-w"], env)
    fonts = os.path.join(prefix, "drive_c", "windows", "Fonts")
    for font in font_files():
        if not os.path.exists(os.path.join(fonts, os.path.basename(font))):
            shutil.copy2(font, fonts)
    if not all(os.path.exists(os.path.join(fonts, name)) for name in ARIAL):
        run(["/usr/bin/python3", os.path.abspath(__file__), "--arial", fonts], os.environ)
    import_registry({r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink": FONT_LINKS,
                     r"HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements": FONT_REPLACEMENTS,
                     r"HKEY_CURRENT_USER\Control Panel\Colors": WINDOWS_COLOURS}, env)


def start_display():
    """A hidden X display, with room for the largest desktop a scenario uses: (its name, the server)."""
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1920x1200x24", "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not start")
    return ":" + number, xvfb


def desktop(screen):
    """Wine's virtual desktop of that size: it draws captions and system menus
    itself, as no window manager runs on the display."""
    return {r"HKEY_CURRENT_USER\Software\Wine\Explorer": {"Desktop": "Default"},
            r"HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops": {"Default": "%dx%d" % screen}}


def screenshot(prefix, exe, picture, screen=(800, 600)):
    """Shows the program on a hidden display and takes a picture of the desktop."""
    display, xvfb = start_display()
    env = dict(os.environ, WINEPREFIX=prefix, DISPLAY=display)
    try:
        import_registry(desktop(screen), env)
        subprocess.Popen(["wine", exe], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
        time.sleep(15)
        run(["import", "-window", "root", "-crop", "%dx%d+0+0" % screen, picture], env)
    finally:
        run(["wineserver", "-k"], env, check=False)
        xvfb.kill()


if __name__ == "__main__":
    if sys.argv[1:2] == ["--arial"]:
        sys.exit(make_arial(sys.argv[2]))
    if len(sys.argv) not in (2, 4):
        sys.exit(__doc__)
    prepare(os.path.abspath(sys.argv[1]))
    if len(sys.argv) == 4:
        screenshot(os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3])
