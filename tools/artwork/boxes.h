#pragma once
// A very small formula layout: boxes with a width and a height above and below the baseline,
// composed into rows, sub- and superscripts, fractions, bars, big operators and matrices, then
// drawn with QPainter at whole-pixel positions so the rules and strokes stay sharp.

#include <QFont>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace artwork {

struct Box {
    int width = 0;
    int ascent = 0;   // pixels above the baseline
    int descent = 0;  // pixels below the baseline
    // Draws the box with its left edge at x and its baseline at baseline.
    std::function<void(QPainter&, int x, int baseline)> draw;

    int height() const { return ascent + descent; }
};

// Text in one font. The vertical extent is that of the ink (tight), the width the advance.
Box Text(const QFont& font, const QString& text);
// Empty horizontal space.
Box Space(int width);
// Boxes side by side on one baseline.
Box Row(const std::vector<Box>& boxes);
// `base` with `sub` lowered by `drop` pixels.
Box Subscript(const Box& base, const Box& sub, int drop);
// A rule of `thickness` above the box, `gap` pixels over its ink, `inset` pixels short at the left
// and `rightInset` at the right (italic letters lean, so the bar is shifted with them).
Box Overbar(const Box& base, int gap, int inset, int rightInset);
// A vector arrow above the box (the arrow's head points right).
Box VectorArrow(const Box& base, int gap, int shift);
// A fraction: the rule lies `axis` pixels above the baseline.
Box Fraction(const Box& numerator, const Box& denominator, int axis, int gap, int overhang);
// A big operator with limits centred above and below it.
Box Limits(const Box& op, const Box& upper, const Box& lower, int gap);
// A matrix in parentheses, centred on the axis; cells are centred in their columns.
Box ParenMatrix(const std::vector<std::vector<Box>>& rows, int columnGap, int rowGap, int axis);
// Lines one under another, left-aligned, baselines `pitch` pixels apart.
Box Column(const std::vector<Box>& lines, int pitch);
// Vertical bars |...| around a box.
Box Norm(const Box& inner, int gap);

}  // namespace artwork
