#pragma once
// The chart widget: draws a ChartModel fast (markers blitted straight into an image), zooms
// with a left drag towards the lower right, undoes zoom and scroll with a left drag any
// other way, scrolls with a right drag, and renders itself into an image for saving.

#include <QImage>
#include <QWidget>

#include "chart/model/chart_model.h"

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
    ChartModel model_;
};

}  // namespace morvik::chart
