#pragma once
// The chart widget: draws a ChartModel fast (markers blitted straight into an image), zooms
// with a left drag towards the lower right, undoes zoom and scroll with a left drag any
// other way, scrolls with a right drag, and renders itself into an image for saving.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

#include "chart/model/chart_model.h"
#include "chart/view/chart_renderer.h"

namespace morvik::chart {

class ChartWidget : public QWidget {
    Q_OBJECT
  public:
    explicit ChartWidget(QWidget* parent = nullptr);

    ChartModel& Model() { return model_; }
    const ChartModel& Model() const { return model_; }

    // The whole chart drawn anew at the widget's current size (white background, active
    // series, current ranges); automatic ranges are computed as for a paint.
    QImage RenderImage();

    // The plot rectangle of the last drawing (series are clipped to it); empty before the first.
    QRect PlotRect() const { return layout_.valid ? layout_.plot : QRect(); }

  signals:
    void resized();    // the widget's size changed
    void repainted();  // a paint of the widget finished

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // The axes as they were before the first zoom or scroll since the last restore.
    struct AxisState {
        bool automatic;
        double minimum, maximum;
    };
    struct SavedAxes {
        AxisState bottom, left;
    };
    enum class Drag { None, Zoom, Scroll };

    void SaveAxesOnce();
    void RestoreAxes();
    void Zoom(QPoint from, QPoint to);
    void Scroll(QPoint delta);

    ChartModel model_;
    ChartRenderer renderer_;
    ChartLayout layout_;
    QImage frame_;  // the last drawing, reused while only the zoom rectangle moves
    bool onlyRubberBandMoved_ = false;
    Drag drag_ = Drag::None;
    QPoint dragStart_, dragLast_;
    std::optional<SavedAxes> beforeZoom_;
};

}  // namespace morvik::chart
