// The chart operations the sequencer and the steps call.
#include "chart/view/chart_widget.h"
#include "windows/form1.h"

morvik::chart::ChartModel& TForm1::ChartModel() {
    return chrtGraph->Model();
}

void TForm1::ShowStepSeries() {
    auto& model = ChartModel();
    if (Step == 4) {
        // Entering step 5: the results of an earlier run go before anything is drawn anew.
        model.Series2.Clear();
        model.Series3.Clear();
        model.Series4.Clear();
        chrtGraph->repaint();
    }
    model.Series1.SetActive(Step != 5);
    model.Series2.SetActive(Step == 4 || Step == 5);
    model.Series3.SetActive(model.Series2.Active());
    model.Series4.SetActive(Step == 4);
}

void TForm1::SetPointSize(int size) {
    morvik::chart::SetPointSize(ChartModel(), size);
}

void TForm1::FitAxes() {
    morvik::chart::FitAxes(ChartModel());
}

void TForm1::DrawPrincipalComponent() {
    morvik::chart::DrawPrincipalComponent(ChartModel(), PCVector.x, PCVector.y);
}

// The series place points added out of X order when they are first read. Doing it here, inside
// the step, makes running out of memory for it a failure of the step, reported like any other,
// instead of a failure in the middle of a paint.
void TForm1::PlaceAddedPoints() {
    auto& model = ChartModel();
    for (morvik::chart::ChartSeries* series :
         {&model.Series1, &model.Series2, &model.Series3, &model.Series4}) {
        static_cast<void>(series->XValues());
    }
}
