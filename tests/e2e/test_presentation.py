"""The card as it looks, compared whole with its reviewed pictures and states: layout by DPI and screen, display
changes, banners, labels and title in both reading directions, high-contrast colour schemes."""
import unittest

from harness import ARABIC, ZELL, Card, Machine, pictures

PIC = r"C:\Velopass\PIC"
# Planted banners of one colour per DPI variant tell which file the card chose.
VARIANTS = {rf"{PIC}\Zell_Banner{suffix}.bmp": pictures.bmp(16, 4, lambda x, y, c=colour: c)
            for suffix, colour in {"": (200, 30, 30), "1": (30, 160, 60), "2": (40, 60, 200)}.items()}
# Windows' high-contrast schemes in the colours the card takes: by registry name, or by index set live (vphook.cpp).
HIGH_CONTRAST_BLACK = {"Window": "0 0 0", "WindowText": "255 255 255", "GrayText": "63 242 63", "ButtonFace": "0 0 0"}
HIGH_CONTRAST_WHITE = {5: 0xFFFFFF, 8: 0x000000, 15: 0xFFFFFF, 17: 0x000060}  # COLOR_*: 0xBBGGRR


class Layout(unittest.TestCase):
    def test_dpi_screen_size_and_display_changes(self):
        # DPI, then each screen (the display changes to it; "minimised": while minimised, restored as from the taskbar).
        # Fonts are made once: a card started on a small screen keeps unscaled ones. Scaling starts at 768 lines.
        for dpi, screens in ((96, [(1280, 1024), (800, 600)]), (120, [(1280, 1024), (800, 600), (1280, 1024)]),
                             (120, [(1366, 767), (1366, 768)]), (120, [(1280, 1024), (800, 600, "minimised")]),
                             (97, [(1280, 1024)]), (121, [(1280, 1024)]), (144, [(1280, 1024)]), (192, [(1920, 1200)])):
            machine = Machine(dpi=dpi, screen=screens[0], brand="Zell", dmi=ZELL)
            with self.subTest(dpi=dpi, screens=screens), Card(self, machine, files=VARIANTS) as card:
                card.start()
                for step, (width, height, *minimised) in enumerate(screens):
                    if minimised:
                        card.inspect("message", 0x112, 0xF022, 0)  # SC_MINIMIZE, its low bits set
                    if step:
                        card.inspect("displayloop", 1, width, height, 0, 0)
                    if minimised:
                        card.inspect("message", 0x112, 0xF120, 0)  # WM_SYSCOMMAND SC_RESTORE
                    shown = "-".join("x".join(map(str, screen)) for screen in screens[:step + 1])
                    card.assert_as_reviewed(f"layout-{dpi}-{shown}")


class Painting(unittest.TestCase):
    def test_banners_labels_and_title_in_both_reading_directions(self):
        # (DPI, language, brand, files[, Windows]): each brand's banner at 96 DPI, Zell's taken away, both directions
        # at 120; XP's Arabic card flips its banner for XP's GDI+, which Wine mirrors again: it reads backwards here.
        for dpi, language, brand, files, *xp in [(96, "en", brand, {}) for brand in pictures.BRANDS] + [
                (96, "en", "Zell", {rf"{PIC}\Zell_Banner.bmp": None}), (96, "ar", "Marwick", {}),
                (96, "ar", "Marwick", {}, "winxp"), (120, "ar", "Lumiframe", {}), (120, "en", "Lumiframe", {})]:
            arabic = language == "ar"
            machine = Machine(dpi=dpi, locale="ar_SA.UTF-8" if arabic else "en_US.UTF-8", brand=brand, dmi=ZELL,
                              version=xp[0] if xp else None, wmi_delay=300 if dpi > 96 else None)  # WMI slow
            with self.subTest(dpi=dpi, language=language, brand=brand, banner=not files, version=xp), \
                    Card(self, machine, ARABIC if arabic else None, files) as card:
                card.start()
                name = language if arabic or dpi > 96 else brand.replace(" ", "-") + ("-no-banner" if files else "")
                card.assert_as_reviewed(f"card-{dpi}-{name}{''.join('-' + v for v in xp)}")

    def test_a_high_contrast_scheme_before_the_start_and_another_while_the_card_is_open(self):
        with Card(self, Machine(brand="Zell", dmi=ZELL, colours=HIGH_CONTRAST_BLACK)) as card:
            card.start()
            card.assert_as_reviewed("scheme-high-contrast-black")
            card.inspect("hooked", *(v for colour in HIGH_CONTRAST_WHITE.items() for v in (0x8000, *colour)),
                         0x1A, 0x43, 0)  # and Windows' word of it: WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST
            card.assert_as_reviewed("scheme-high-contrast-white-live")
