#include "help_pictures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "boxes.h"

namespace artwork {
namespace {

const QString kMinus = QStringLiteral("\u2212");
const QString kSigma = QStringLiteral("\u2211");
const QString kLambda = QStringLiteral("\u03bb");

QFont SerifFont(int pixels, bool italic) {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(pixels);
    font.setItalic(italic);
    // Unhinted, so the measured advances match the glyphs drawn at four times the size.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

struct Fonts {
    explicit Fonts(int size)
        : roman(SerifFont(size, false)),
          italic(SerifFont(size, true)),
          smallRoman(SerifFont(size * 5 / 7, false)),
          smallItalic(SerifFont(size * 5 / 7, true)),
          sigma(SerifFont(size * 10 / 7, false)) {}

    QFont roman;
    QFont italic;
    QFont smallRoman;
    QFont smallItalic;
    QFont sigma;

    // The height of the minus sign's middle: fraction rules and matrices centre on it.
    int Axis() const {
        const QRectF ink = QFontMetricsF(roman).tightBoundingRect(kMinus);
        return static_cast<int>(std::lround(-ink.center().y()));
    }
    Box R(const QString& text) const { return Text(roman, text); }
    Box I(const QString& text) const { return Text(italic, text); }
};

// cov(a,b), with the variables in italics.
Box Cov(const Fonts& f, const QString& a, const QString& b) {
    return Row({f.R(QStringLiteral("cov(")), f.I(a), f.R(QStringLiteral(",")), Space(1), f.I(b),
                Space(1), f.R(QStringLiteral(")"))});
}

Box Vec(const Fonts& f) {
    return VectorArrow(f.I(QStringLiteral("v")), 2, 1);
}

// A white 225 x 98 canvas painted by `paint`, reduced to a 16-level grey palette. It is drawn
// four times larger and averaged down: the glyphs keep their true (serif) shapes, which the
// hinter flattens at this size, and the rules stay sharp because they lie on whole pixels.
template <typename Paint>
QImage Render(Paint paint) {
    constexpr int kScale = 4;
    QImage canvas(kHelpWidth * kScale, kHelpHeight * kScale, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.scale(kScale, kScale);
        paint(painter);
    }
    QImage indexed(kHelpWidth, kHelpHeight, QImage::Format_Indexed8);
    QList<QRgb> greys;
    for (int level = 0; level < 16; ++level) greys.append(qRgb(level * 17, level * 17, level * 17));
    indexed.setColorTable(greys);
    for (int y = 0; y < kHelpHeight; ++y) {
        uchar* target = indexed.scanLine(y);
        for (int x = 0; x < kHelpWidth; ++x) {
            int sum = 0;
            for (int dy = 0; dy < kScale; ++dy) {
                const QRgb* source =
                    reinterpret_cast<const QRgb*>(canvas.constScanLine(y * kScale + dy));
                for (int dx = 0; dx < kScale; ++dx) sum += qGray(source[x * kScale + dx]);
            }
            // A gamma above one darkens the partly covered pixels, so the thin strokes of the
            // serif face read as ink rather than as a grey haze.
            const double coverage = sum / (255.0 * kScale * kScale);
            target[x] = static_cast<uchar>(std::lround(15.0 * std::pow(coverage, 1.8)));
        }
    }
    return indexed;
}

// Draws boxes one under another, each centred, with `gaps[k]` pixels above box k and the rest
// of the height split evenly above the first and below the last.
void Stack(QPainter& painter, const std::vector<Box>& boxes, const std::vector<int>& gaps) {
    int total = 0;
    for (std::size_t k = 0; k < boxes.size(); ++k) total += boxes[k].height() + (k ? gaps[k] : 0);
    int top = (kHelpHeight - total) / 2;
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (k) top += gaps[k];
        boxes[k].draw(painter, (kHelpWidth - boxes[k].width) / 2, top + boxes[k].ascent);
        top += boxes[k].height();
    }
}

}  // namespace

QImage CovariancePicture() {
    const Fonts f(15);
    const int axis = f.Axis();
    const Box matrix = ParenMatrix(
        {{Cov(f, "x", "x"), Cov(f, "x", "y")}, {Cov(f, "y", "x"), Cov(f, "y", "y")}}, 12, 3, axis);

    const Box oneOverN = Fraction(f.R("1"), f.I("n"), axis, 1, 1);
    const Box sum = Limits(Text(f.sigma, kSigma), Text(f.smallItalic, "n"),
                           Row({Text(f.smallItalic, "i"), Text(f.smallRoman, "=1")}), 1);
    const auto sub = [&](const QString& letter) {
        return Subscript(f.I(letter), Text(f.smallItalic, "i"), 3);
    };
    const auto mean = [&](const QString& letter) { return Overbar(f.I(letter), 1, 2, 0); };
    const auto difference = [&](const QString& letter) {
        return Row(
            {f.R("("), sub(letter), Space(2), f.R(kMinus), Space(2), mean(letter), f.R(")")});
    };
    const Box formula = Row({Cov(f, "x", "y"), Space(3), f.R("="), Space(3), oneOverN, Space(2),
                             sum, Space(2), difference("X"), difference("Y")});

    return Render([&](QPainter& painter) { Stack(painter, {matrix, formula}, {0, 8}); });
}

QImage EigenvectorPicture() {
    const Fonts f(15);
    const Fonts legendFonts(14);
    const int axis = f.Axis();
    const auto entry = [&](const char* index) {
        return Subscript(f.I("x"), Text(f.smallRoman, index), 3);
    };
    const Box matrix =
        ParenMatrix({{entry("11"), entry("12")}, {entry("21"), entry("22")}}, 8, 4, axis);
    const Box equation = Row(
        {matrix, Space(3), Vec(f), Space(4), f.R("="), Space(4), f.I(kLambda), Space(1), Vec(f)});

    const Box line1 = Row({Vec(f), f.R(": eigenvector")});
    const Box line2 = Row({f.I(kLambda), f.R(": corresponding eigenvalue")});
    const Box line3 = Row(
        {f.R("Standard eigenvector: "), Norm(Vec(f), 1), Space(3), f.R("="), Space(3), f.R("1")});

    const Box legend = Column({line1, line2, line3}, 16);

    return Render([&](QPainter& painter) { Stack(painter, {equation, legend}, {0, 5}); });
}

}  // namespace artwork
