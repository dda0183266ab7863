"""The printed-digit fonts used for training: Latin text faces from Debian's font
packages (see install-training-deps.sh). Missing files are skipped."""
import glob
import os

FONT_GLOBS = [
    "/usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif*.ttf",
    "/usr/share/fonts/truetype/liberation/Liberation*.ttf",
    "/usr/share/fonts/truetype/freefont/Free*.ttf",
    "/usr/share/fonts/truetype/noto/NotoSans-*.ttf",
    "/usr/share/fonts/truetype/noto/NotoSerif-*.ttf",
    "/usr/share/fonts/truetype/noto/NotoSansMono-*.ttf",
    "/usr/share/fonts/truetype/noto/NotoSansDisplay-*.ttf",
    "/usr/share/fonts/truetype/noto/NotoSerifDisplay-*.ttf",
    "/usr/share/fonts/opentype/urw-base35/*.otf",
    # Newspaper-like grotesques, condensed and heavy faces.
    "/usr/share/fonts/truetype/roboto/unhinted/Roboto*.ttf",
    "/usr/share/fonts/truetype/open-sans/OpenSans-*.ttf",
    "/usr/share/fonts/truetype/lato/Lato-*.ttf",
    "/usr/share/texmf/fonts/opentype/public/tex-gyre/texgyre*.otf",
    "/usr/share/fonts/truetype/crosextra/Carlito-*.ttf",
    "/usr/share/fonts/truetype/paratype/PT*.ttf",
    "/usr/share/fonts/truetype/adf/GilliusADF*.otf",
    "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-*.otf",
]
# Faces whose digits are not ordinary printed digits.
EXCLUDE = ("ExtraLight", "MathTeX", "StandardSymbols", "D050000L", "Z003", "Thin", "Hairline", "chorus", "math")


def training_fonts():
    found = set()
    for pattern in FONT_GLOBS:
        for path in glob.glob(pattern):
            name = os.path.basename(path)
            if not any(x in name for x in EXCLUDE):
                found.add(path)
    return sorted(found)


if __name__ == "__main__":
    fonts = training_fonts()
    print(len(fonts), "fonts")
    for f in fonts:
        print(f)
