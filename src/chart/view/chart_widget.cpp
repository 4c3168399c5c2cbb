#include "chart/view/chart_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <cmath>
#include <cstdlib>
#include <new>

namespace morvik::chart {
namespace {

// A left drag must move further than this in both directions to zoom or restore.
constexpr int kMinDrag = 16;

bool Finite(long double v) {
    return std::isfinite(static_cast<double>(v));
}

}  // namespace

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    model_.SetChangedCallback([this] { update(); });
}

QImage ChartWidget::RenderImage() {
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull()) return image;
    layout_ = renderer_.Render(model_, image, font(), locale());
    return image;
}

void ChartWidget::paintEvent(QPaintEvent*) {
    // On a high-density screen the chart is drawn at the screen's resolution, so its lines and
    // text are as sharp as the rest of the window; the layout stays in widget pixels.
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize(qRound(width() * ratio), qRound(height() * ratio));
    const bool sameFrame = frame_.size() == deviceSize && frame_.devicePixelRatio() == ratio;
    const bool reuse = onlyRubberBandMoved_ && !model_.Changed() && sameFrame;
    onlyRubberBandMoved_ = false;
    if (!reuse) {
        if (!sameFrame) {
            frame_ = QImage(deviceSize, QImage::Format_RGB32);
            frame_.setDevicePixelRatio(ratio);
        }
        // A paint must never end the program: when memory runs out while placing points or
        // drawing, the chart shows a blank plot until the next paint can draw it whole.
        try {
            if (!frame_.isNull()) layout_ = renderer_.Render(model_, frame_, font(), locale());
        } catch (const std::bad_alloc&) {
            frame_.fill(Qt::white);
            layout_ = ChartLayout{};
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, frame_);
    if (drag_ == Drag::Zoom) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(QRect(dragStart_, dragLast_).normalized());
    }
    painter.end();
    model_.MarkDrawn();
    emit repainted();
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
    if (drag_ != Drag::None || !layout_.valid) return;
    const QPoint at = event->position().toPoint();
    if (!layout_.plot.contains(at)) return;
    if (event->button() == Qt::LeftButton) drag_ = Drag::Zoom;
    if (event->button() == Qt::RightButton) drag_ = Drag::Scroll;
    dragStart_ = dragLast_ = at;
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Zoom) {
        dragLast_ = at;
        onlyRubberBandMoved_ = true;
        update();
    } else if (drag_ == Drag::Scroll) {
        const QPoint delta = at - dragLast_;
        dragLast_ = at;
        if (!delta.isNull()) Scroll(delta);
    }
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Zoom && event->button() == Qt::LeftButton) {
        drag_ = Drag::None;
        update();
        const QPoint move = at - dragStart_;
        if (std::abs(move.x()) > kMinDrag && std::abs(move.y()) > kMinDrag) {
            if (move.x() > 0 && move.y() > 0)
                Zoom(dragStart_, at);
            else
                RestoreAxes();
        }
    } else if (drag_ == Drag::Scroll && event->button() == Qt::RightButton) {
        drag_ = Drag::None;
    }
}

void ChartWidget::SaveAxesOnce() {
    if (beforeZoom_) return;
    const ChartAxis& b = model_.BottomAxis;
    const ChartAxis& l = model_.LeftAxis;
    beforeZoom_ = SavedAxes{{b.Automatic(), b.Minimum(), b.Maximum()},
                            {l.Automatic(), l.Minimum(), l.Maximum()}};
}

void ChartWidget::RestoreAxes() {
    if (!beforeZoom_) return;
    auto restore = [](ChartAxis& axis, const AxisState& state) {
        axis.SetMinMax(state.minimum, state.maximum);
        axis.SetAutomatic(state.automatic);
    };
    restore(model_.BottomAxis, beforeZoom_->bottom);
    restore(model_.LeftAxis, beforeZoom_->left);
    beforeZoom_.reset();
}

void ChartWidget::Zoom(QPoint from, QPoint to) {
    const long double x0 = layout_.x.ToValue(from.x()), x1 = layout_.x.ToValue(to.x());
    const long double y0 = layout_.y.ToValue(to.y()), y1 = layout_.y.ToValue(from.y());
    if (!Finite(x0) || !Finite(x1) || !Finite(y0) || !Finite(y1)) return;
    SaveAxesOnce();
    model_.BottomAxis.SetMinMax(static_cast<double>(x0), static_cast<double>(x1));
    model_.LeftAxis.SetMinMax(static_cast<double>(y0), static_cast<double>(y1));
}

void ChartWidget::Scroll(QPoint delta) {
    // The values move with the pointer: the range shifts against the drag.
    auto shifted = [](const ChartAxis& axis, const AxisMapping& m, int pixels, long double& lo,
                      long double& hi) {
        const long double shift = m.ToValue(m.PixelAtMin() - pixels) - m.ToValue(m.PixelAtMin());
        lo = axis.Minimum() + (m.Middle() ? 0 : shift);
        hi = axis.Maximum() + (m.Middle() ? 0 : shift);
        return Finite(lo) && Finite(hi);
    };
    long double x0, x1, y0, y1;
    if (!shifted(model_.BottomAxis, layout_.x, delta.x(), x0, x1) ||
        !shifted(model_.LeftAxis, layout_.y, delta.y(), y0, y1))
        return;
    SaveAxesOnce();
    model_.BottomAxis.SetMinMax(static_cast<double>(x0), static_cast<double>(x1));
    model_.LeftAxis.SetMinMax(static_cast<double>(y0), static_cast<double>(y1));
}

}  // namespace morvik::chart
