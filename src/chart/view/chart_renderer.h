#pragma once
// Draws a whole ChartModel into an RGB32 image: background, grid, the active series in series
// order clipped to the plot rectangle, axes with ticks and labels.

#include <QFont>
#include <QImage>
#include <QLocale>
#include <QRect>

#include "chart/model/chart_model.h"
#include "chart/view/axis_mapping.h"
#include "chart/view/marker_blitter.h"

namespace morvik::chart {

struct ChartLayout {
    bool valid = false;  // false when the image is too small for a plot
    QRect plot;          // the plot rectangle; series are clipped to it
    AxisMapping x, y;    // as drawn
};

class ChartRenderer {
  public:
    // Draws into image, which must be Format_RGB32. Automatic axis ranges are fitted to the
    // active series and stored into the axes, as the range of this redraw. An image with a
    // device pixel ratio is drawn at its full resolution; the layout stays in logical pixels.
    ChartLayout Render(ChartModel& model, QImage& image, const QFont& font, const QLocale& locale);

  private:
    MarkerScratch scratch_;
};

// The automatic range of one axis for a plot of lengthPixels: the bounds of the active series,
// widened at each end by the marker size plus one pixel when a point series is shown.
void AutomaticRange(const ChartModel& model, bool vertical, int lengthPixels, double& minimum,
                    double& maximum);

}  // namespace morvik::chart
