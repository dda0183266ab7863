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
]
# Faces whose digits are not ordinary printed digits.
EXCLUDE = ("ExtraLight", "MathTeX", "StandardSymbols", "D050000L", "Z003", "Thin")


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
