#pragma once
// The main window: the step sequencer, the step computations, the chart operations and the
// window's own commands. The arithmetic lives in analysis/, the drawing in chart/.

#include <QString>
#include <QWidget>
#include <cstdint>

#include "analysis/eigen.h"
#include "analysis/mean_covariance.h"
#include "analysis/vectors.h"

class QCheckBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class TForm2;

namespace morvik {
class ReportMemo;
namespace chart {
class ChartWidget;
class ChartModel;
}  // namespace chart
}  // namespace morvik

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The About window shown by "About..." (created after the main window).
    void SetAboutWindow(QWidget* aboutWindow) { aboutWindow_ = aboutWindow; }

    // What a confirmed open dialog does: forget the data, return to step 1 and read path.
    void OpenFile(const QString& path);

    // Read-only views of the analysis state, for tests and benchmarks.
    std::uint8_t CurrentStep() const { return Step; }
    bool LastStepSucceeded() const { return StepOk; }
    const morvik::TData& DataSet() const { return Data; }
    const morvik::TCovMatrix& Covariance() const { return CovMatrix; }
    morvik::TPCVector PrincipalComponent() const { return PCVector; }
    bool EndRequested() const { return endRequested_; }
    QStringList ReportLines() const;
    morvik::chart::ChartWidget* Chart() const { return chrtGraph; }

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private slots:
    void btnDataClick();
    void btnNextClick();
    void btnBackClick();
    void btnSaveCalcClick();
    void btnSaveGraphClick();
    void btnAboutClick();
    void chbxShowProjectionLinesClick();
    void chrtGraphResize();

  private:
    void CreateControls();
    void FormCreate();
    void FormShow();
    void FormConstrainedResize();

    // Sequencer.
    void ResetSteps();
    void ShowStepName();
    void ShowStepHelp();
    void UpdateStepButtons();
    void UpdateNextAfterStep();
    void ShowProcessInfo();
    void RunStep();
    bool RunStepComputation();
    void ClearData();
    void ProcessingError(const QString& Msg);

    // Step computations.
    bool ReadDataSet();
    bool SubtractMean();
    bool ComputeCovariance();
    bool ComputeEigenvectors();
    bool ShowPrincipalComponent();
    void MoveDataToProjection();
    bool DeriveNewDataSet();

    // Chart operations.
    void ShowStepSeries();
    void SetPointSize(int size);
    void FitAxes();
    void DrawPrincipalComponent();
    void PlaceAddedPoints();
    morvik::chart::ChartModel& ChartModel();

    // Analysis state.
    std::uint8_t Step = 0;
    bool Idle = false;
    bool StepOk = false;
    bool Shown = false;
    QString FileName;
    morvik::TData Data;
    morvik::TCovMatrix CovMatrix;
    morvik::TPCVector PCVector;

    // Controls.
    QLabel* lblStep = nullptr;
    QLabel* lblStepNumber = nullptr;
    QLabel* lblStepTotalSteps = nullptr;
    QLabel* lblStepName = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnData = nullptr;
    QLabel* lblSourceFile = nullptr;
    QGroupBox* gbxHelpBox = nullptr;
    QLabel* lblHelpLine1 = nullptr;
    QLabel* lblHelpLine2 = nullptr;
    QLabel* lblHelpLine3 = nullptr;
    QLabel* lblHelpLine4 = nullptr;
    QLabel* imgHelpStep3 = nullptr;
    QLabel* imgHelpStep4 = nullptr;
    QGroupBox* gbxCalcBox = nullptr;
    morvik::ReportMemo* memoCalcBox = nullptr;
    QLabel* lblProcessInfo = nullptr;
    QPushButton* btnSaveCalc = nullptr;
    QPushButton* btnAbout = nullptr;
    morvik::chart::ChartWidget* chrtGraph = nullptr;
    QPushButton* btnSaveGraph = nullptr;
    QCheckBox* chbxShowProjectionLines = nullptr;
    QFileDialog* dlgOpenData = nullptr;
    QFileDialog* dlgSaveCalcBox = nullptr;
    QFileDialog* dlgSaveGraph = nullptr;

    QWidget* aboutWindow_ = nullptr;
    bool endRequested_ = false;
    bool layingOut_ = false;
};
