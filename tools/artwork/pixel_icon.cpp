#include "pixel_icon.h"

#include <QList>
#include <map>
#include <string>
#include <vector>

namespace artwork {
namespace {

constexpr int kSize = 32;
constexpr int kLetterHeight = 12;

// Palette slots. Index 0 is the transparent background.
enum Colour : uchar {
    kClear = 0,
    kRedOutline,
    kRedShade,
    kRed,
    kRedLight,
    kYellowOutline,
    kYellowShade,
    kYellow,
    kYellowLight,
};

QList<QRgb> Palette() {
    QList<QRgb> palette = {
        qRgba(0, 0, 0, 0), qRgb(64, 0, 0),     qRgb(160, 0, 0),
        qRgb(224, 16, 16), qRgb(255, 112, 96), qRgb(72, 48, 0),
        qRgb(208, 160, 0), qRgb(255, 224, 0),  qRgb(255, 250, 170),
    };
    while (palette.size() < 16) palette.append(qRgb(0, 0, 0));
    return palette;
}

// 2-pixel strokes; '#' is ink.
const std::map<char, std::vector<std::string>>& Glyphs() {
    static const std::map<char, std::vector<std::string>> glyphs = {
        {'M',
         {"##......##", "###....###", "####..####", "##.####.##", "##..##..##", "##......##",
          "##......##", "##......##", "##......##", "##......##", "##......##", "##......##"}},
        {'O',
         {".######.", "########", "##....##", "##....##", "##....##", "##....##", "##....##",
          "##....##", "##....##", "##....##", "########", ".######."}},
        {'R',
         {"#######.", "########", "##....##", "##....##", "##....##", "########", "#######.",
          "##.##...", "##..##..", "##...##.", "##....##", "##....##"}},
        {'V',
         {"##....##", "##....##", "##....##", "##....##", "##....##", "##....##", ".##..##.",
          ".##..##.", ".##..##.", "..####..", "..####..", "...##..."}},
        {'I',
         {"######", "######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..",
          "..##..", "######", "######"}},
        {'K',
         {"##....##", "##...##.", "##..##..", "##.##...", "####....", "###.....", "####....",
          "##.##...", "##..##..", "##...##.", "##....##", "##....##"}},
    };
    return glyphs;
}

struct Palette4 {
    uchar outline, shade, fill, light;
};

// Draws a word with its letters one pixel apart, outlined on all eight sides, with a light
// top-left edge and a shaded bottom-right edge on each stroke.
void DrawWord(QImage& image, const std::string& word, int left, int top, Palette4 colours) {
    std::vector<std::vector<bool>> ink(kSize, std::vector<bool>(kSize, false));
    int x = left;
    for (char letter : word) {
        const auto& rows = Glyphs().at(letter);
        for (int r = 0; r < kLetterHeight; ++r)
            for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
                if (rows[r][c] == '#') ink[top + r][x + c] = true;
        x += static_cast<int>(rows[0].size()) + 1;
    }
    const auto inked = [&](int px, int py) {
        return px >= 0 && py >= 0 && px < kSize && py < kSize && ink[py][px];
    };
    for (int py = 0; py < kSize; ++py)
        for (int px = 0; px < kSize; ++px) {
            if (inked(px, py)) continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (inked(px + dx, py + dy)) image.setPixel(px, py, colours.outline);
        }
    for (int py = 0; py < kSize; ++py)
        for (int px = 0; px < kSize; ++px) {
            if (!inked(px, py)) continue;
            uchar colour = colours.fill;
            if (!inked(px + 1, py) || !inked(px, py + 1))
                colour = colours.shade;
            else if (!inked(px - 1, py) || !inked(px, py - 1))
                colour = colours.light;
            image.setPixel(px, py, colour);
        }
}

}  // namespace

QImage Icon() {
    QImage image(kSize, kSize, QImage::Format_Indexed8);
    image.setColorTable(Palette());
    image.fill(kClear);
    // The lower row overlaps the upper one by two pixels and is drawn over it.
    DrawWord(image, "MOR", 1, 4, {kRedOutline, kRedShade, kRed, kRedLight});
    DrawWord(image, "VIK", 7, 15, {kYellowOutline, kYellowShade, kYellow, kYellowLight});
    return image;
}

QImage Enlarge(const QImage& indexed, int factor) {
    QImage large(indexed.width() * factor, indexed.height() * factor, QImage::Format_Indexed8);
    large.setColorTable(indexed.colorTable());
    for (int y = 0; y < large.height(); ++y) {
        const uchar* source = indexed.constScanLine(y / factor);
        uchar* target = large.scanLine(y);
        for (int x = 0; x < large.width(); ++x) target[x] = source[x / factor];
    }
    return large;
}

}  // namespace artwork
