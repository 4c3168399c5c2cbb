#include "boxes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace artwork {
namespace {

int Ceil(qreal value) {
    return static_cast<int>(std::ceil(value - 1e-9));
}

// A typeset parenthesis: a crescent, thin at its ends and thickest at the middle.
void DrawParen(QPainter& painter, int x, int top, int height, bool left) {
    const qreal w = std::max(4.0, height / 6.0);
    const qreal thick = std::min(1.8, 0.9 + height / 40.0);
    QPainterPath path;
    const qreal outer = left ? x : x + w;
    const qreal inner = left ? x + w : x;
    const qreal mid = top + height / 2.0;
    path.moveTo(inner, top);
    path.cubicTo(outer + (inner - outer) * 0.15, top + height * 0.22, outer, mid - height * 0.2,
                 outer, mid);
    path.cubicTo(outer, mid + height * 0.2, outer + (inner - outer) * 0.15, top + height * 0.78,
                 inner, top + height);
    const qreal shift = left ? thick : -thick;
    path.lineTo(inner, top + height - 0.3);
    path.cubicTo(outer + shift + (inner - outer) * 0.15, top + height * 0.78, outer + shift,
                 mid + height * 0.2, outer + shift, mid);
    path.cubicTo(outer + shift, mid - height * 0.2, outer + shift + (inner - outer) * 0.15,
                 top + height * 0.22, inner, top + 0.3);
    path.closeSubpath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(path);
    painter.restore();
}

int ParenWidth(int height) {
    return Ceil(std::max(4.0, height / 6.0)) + 1;
}

}  // namespace

Box Text(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(text);
    Box box;
    box.width = Ceil(metrics.horizontalAdvance(text));
    box.ascent = Ceil(-ink.top());
    box.descent = std::max(0, Ceil(ink.bottom()));
    box.draw = [font, text](QPainter& painter, int x, int baseline) {
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, baseline), text);
    };
    return box;
}

Box Space(int width) {
    Box box;
    box.width = width;
    box.draw = [](QPainter&, int, int) {};
    return box;
}

Box Row(const std::vector<Box>& boxes) {
    Box row;
    for (const Box& box : boxes) {
        row.width += box.width;
        row.ascent = std::max(row.ascent, box.ascent);
        row.descent = std::max(row.descent, box.descent);
    }
    row.draw = [boxes](QPainter& painter, int x, int baseline) {
        for (const Box& box : boxes) {
            box.draw(painter, x, baseline);
            x += box.width;
        }
    };
    return row;
}

Box Subscript(const Box& base, const Box& sub, int drop) {
    Box box;
    box.width = base.width + sub.width;
    box.ascent = std::max(base.ascent, sub.ascent - drop);
    box.descent = std::max(base.descent, sub.descent + drop);
    box.draw = [base, sub, drop](QPainter& painter, int x, int baseline) {
        base.draw(painter, x, baseline);
        sub.draw(painter, x + base.width, baseline + drop);
    };
    return box;
}

Box Overbar(const Box& base, int gap, int inset, int rightInset) {
    Box box = base;
    box.ascent = base.ascent + gap + 1;
    box.draw = [base, gap, inset, rightInset](QPainter& painter, int x, int baseline) {
        base.draw(painter, x, baseline);
        const int y = baseline - base.ascent - gap - 1;
        painter.fillRect(x + inset, y, base.width - inset - rightInset, 1, Qt::black);
    };
    return box;
}

Box VectorArrow(const Box& base, int gap, int shift) {
    Box box = base;
    box.ascent = base.ascent + gap + 3;
    box.draw = [base, gap, shift](QPainter& painter, int x, int baseline) {
        base.draw(painter, x, baseline);
        const qreal y = baseline - base.ascent - gap - 1.5;  // the middle of the shaft's row
        const qreal left = x + shift + 0.5;
        const qreal right = x + shift + std::max(base.width, 6) - 0.5;
        QPainterPath arrow;
        arrow.moveTo(left, y);
        arrow.lineTo(right, y);
        arrow.moveTo(right - 2.5, y - 2);
        arrow.lineTo(right, y);
        arrow.lineTo(right - 2.5, y + 2);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(Qt::black, 0.9, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(arrow);
        painter.restore();
    };
    return box;
}

Box Fraction(const Box& numerator, const Box& denominator, int axis, int gap, int overhang) {
    Box box;
    box.width = std::max(numerator.width, denominator.width) + 2 * overhang;
    box.ascent = axis + gap + numerator.height();
    box.descent = std::max(0, -axis + 1 + gap + denominator.height());
    box.draw = [numerator, denominator, axis, gap, width = box.width](QPainter& painter, int x,
                                                                      int baseline) {
        const int rule = baseline - axis;
        painter.fillRect(x, rule, width, 1, Qt::black);
        numerator.draw(painter, x + (width - numerator.width) / 2, rule - gap - numerator.descent);
        denominator.draw(painter, x + (width - denominator.width) / 2,
                         rule + 1 + gap + denominator.ascent);
    };
    return box;
}

Box Limits(const Box& op, const Box& upper, const Box& lower, int gap) {
    Box box;
    box.width = std::max({op.width, upper.width, lower.width});
    box.ascent = op.ascent + gap + upper.height();
    box.descent = op.descent + gap + lower.height();
    box.draw = [op, upper, lower, gap, width = box.width](QPainter& painter, int x, int baseline) {
        op.draw(painter, x + (width - op.width) / 2, baseline);
        upper.draw(painter, x + (width - upper.width) / 2,
                   baseline - op.ascent - gap - upper.descent);
        lower.draw(painter, x + (width - lower.width) / 2,
                   baseline + op.descent + gap + lower.ascent);
    };
    return box;
}

Box ParenMatrix(const std::vector<std::vector<Box>>& rows, int columnGap, int rowGap, int axis) {
    std::vector<int> columnWidths;
    std::vector<int> rowAscents;
    std::vector<int> rowDescents;
    for (const auto& row : rows) {
        int ascent = 0;
        int descent = 0;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (columnWidths.size() <= c) columnWidths.push_back(0);
            columnWidths[c] = std::max(columnWidths[c], row[c].width);
            ascent = std::max(ascent, row[c].ascent);
            descent = std::max(descent, row[c].descent);
        }
        rowAscents.push_back(ascent);
        rowDescents.push_back(descent);
    }
    int innerHeight = 0;
    for (std::size_t r = 0; r < rows.size(); ++r)
        innerHeight += rowAscents[r] + rowDescents[r] + (r ? rowGap : 0);
    int innerWidth = 0;
    for (std::size_t c = 0; c < columnWidths.size(); ++c)
        innerWidth += columnWidths[c] + (c ? columnGap : 0);

    const int parenHeight = innerHeight + 4;
    const int parenWidth = ParenWidth(parenHeight);
    const int pad = 2;
    Box box;
    box.width = 2 * (parenWidth + pad) + innerWidth;
    box.ascent = axis + parenHeight / 2;
    box.descent = parenHeight - box.ascent;
    box.draw = [=](QPainter& painter, int x, int baseline) {
        const int top = baseline - box.ascent;
        DrawParen(painter, x, top, parenHeight, true);
        DrawParen(painter, x + box.width - parenWidth + 1, top, parenHeight, false);
        int y = top + 2;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            int cx = x + parenWidth + pad;
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                const Box& cell = rows[r][c];
                cell.draw(painter, cx + (columnWidths[c] - cell.width) / 2, y + rowAscents[r]);
                cx += columnWidths[c] + columnGap;
            }
            y += rowAscents[r] + rowDescents[r] + rowGap;
        }
    };
    return box;
}

Box Column(const std::vector<Box>& lines, int pitch) {
    Box box;
    for (const Box& line : lines) box.width = std::max(box.width, line.width);
    box.ascent = lines.front().ascent;
    const int last = pitch * static_cast<int>(lines.size() - 1);
    for (std::size_t k = 0; k < lines.size(); ++k)
        box.descent = std::max(box.descent, pitch * static_cast<int>(k) + lines[k].descent);
    box.descent = std::max(box.descent, last);
    box.draw = [lines, pitch](QPainter& painter, int x, int baseline) {
        for (const Box& line : lines) {
            line.draw(painter, x, baseline);
            baseline += pitch;
        }
    };
    return box;
}

Box Norm(const Box& inner, int gap) {
    Box box;
    box.width = inner.width + 2 * (gap + 1);
    box.ascent = inner.ascent + 2;
    box.descent = inner.descent + 3;
    box.draw = [inner, gap, box](QPainter& painter, int x, int baseline) {
        const int top = baseline - box.ascent;
        painter.fillRect(x, top, 1, box.height(), Qt::black);
        painter.fillRect(x + box.width - 1, top, 1, box.height(), Qt::black);
        inner.draw(painter, x + 1 + gap, baseline);
    };
    return box;
}

}  // namespace artwork
