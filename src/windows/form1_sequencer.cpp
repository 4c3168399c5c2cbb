// The step sequencer: step names, help texts, button states, the process label, running
// the current step's computation, and the fatal processing error.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <exception>
#include <new>

#include "analysis/numeric_error.h"
#include "chart/view/chart_widget.h"
#include "windows/form1.h"
#include "windows/report_memo.h"

namespace {

constexpr int kStepCount = 6;

const std::array<const char*, kStepCount> kStepNames = {
    "Read data set",       "Subtract the mean",     "Covariance matrix", "Eigenvectors/eigenvalues",
    "Principal component", "Deriving new data set",
};

// Help lines of the steps that show text; steps 3 and 4 show a formula picture instead.
const std::array<std::array<const char*, 4>, kStepCount> kHelpLines = {{
    {"- Open file with data vectors", "- Each data vector per line",
     "- Dimensions separated by space/tab", "- Graph: zoom with LMB, shift with RMB"},
    {"- Calculate mean for each dimension", "- Subtract the mean for each vector",
     "- Get new data set with zero mean", ""},
    {nullptr, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"Principal component is the eigenvector with",
     "the highest eigenvalue. It is the most signifi-",
     "cant relationship between the data dimensions.", "Dimensionality reduction: see next step."},
    {"- Multiply PC vector by data vectors", "- Data expressed in terms of PC",
     "- Principal component becoms the X-axis", "- For details see About reference"},
}};

void SetCaption(QLabel* label, const QString& caption) {
    label->setText(caption);
    label->adjustSize();
}

// The help lines were laid out for a narrower face than the ones Linux has; a line that would
// run past the help box's frame is set a little tighter instead of being cut off.
void SetHelpCaption(QLabel* label, const QString& caption) {
    const int available = label->parentWidget()->width() - label->x() - 6;
    QFont font = label->font();
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    label->setFont(font);
    SetCaption(label, caption);
    for (int spacing = 99; label->width() > available && spacing >= 88; --spacing) {
        font.setLetterSpacing(QFont::PercentageSpacing, spacing);
        label->setFont(font);
        label->adjustSize();
    }
}

}  // namespace

void TForm1::FormCreate() {
    Shown = false;
    ClearData();
}

void TForm1::ResetSteps() {
    Step = 0;
    StepOk = false;
    Idle = true;
    SetCaption(lblSourceFile, QStringLiteral("no file"));
    auto& model = ChartModel();
    model.Series1.Clear();
    model.Series2.Clear();
    model.Series3.Clear();
    model.Series4.Clear();
    btnData->setFocus();
    memoCalcBox->ClearLines();
    ShowStepSeries();
    ShowStepHelp();
    ShowStepName();
    UpdateStepButtons();
    ShowProcessInfo();
}

void TForm1::ShowStepName() {
    SetCaption(lblStepNumber, QString::number(Step + 1));
    if (Step < kStepCount) SetCaption(lblStepName, QString::fromLatin1(kStepNames[Step]));
}

void TForm1::ShowStepHelp() {
    const bool picture = Step == 2 || Step == 3;
    QLabel* lines[] = {lblHelpLine1, lblHelpLine2, lblHelpLine3, lblHelpLine4};
    for (QLabel* line : lines) line->setVisible(!picture);
    imgHelpStep3->setVisible(Step == 2);
    imgHelpStep4->setVisible(Step == 3);
    if (picture || Step >= kStepCount) return;
    for (int i = 0; i < 4; ++i) SetHelpCaption(lines[i], QString::fromLatin1(kHelpLines[Step][i]));
}

void TForm1::UpdateStepButtons() {
    btnBack->setEnabled(Step != 0);
    btnNext->setEnabled(Step != kStepCount - 1 && Data.Loaded);
}

void TForm1::UpdateNextAfterStep() {
    if (Step == 0 || Step == 3) btnNext->setEnabled(StepOk);
}

void TForm1::ShowProcessInfo() {
    SetCaption(lblProcessInfo,
               Step == 0 ? QStringLiteral("Reading data...") : QStringLiteral("Calculating..."));
    lblProcessInfo->setVisible(!Idle);
    memoCalcBox->setVisible(!lblProcessInfo->isVisibleTo(this));
}

void TForm1::RunStep() {
    UpdateStepButtons();
    ShowStepName();
    ShowStepHelp();
    ShowStepSeries();
    Idle = false;
    ShowProcessInfo();
    repaint();
    StepOk = RunStepComputation();
    Idle = true;
    ShowProcessInfo();
    UpdateNextAfterStep();
}

// Runs the computation chosen by Step. Values too large to compute with (an overflow in a
// sum, a square or an axis range) and exhausted memory leave the computation as exceptions;
// they are reported here so that the window stays usable, and the step counts as failed:
// "Next  >" is disabled, as there are no results to go on with.
bool TForm1::RunStepComputation() {
    QString problem;
    try {
        // Steps 1 to 6; any other value runs the last step's computation.
        using Computation = bool (TForm1::*)();
        static constexpr Computation kComputations[kStepCount] = {&TForm1::ReadDataSet,
                                                                  &TForm1::SubtractMean,
                                                                  &TForm1::ComputeCovariance,
                                                                  &TForm1::ComputeEigenvectors,
                                                                  &TForm1::ShowPrincipalComponent,
                                                                  &TForm1::DeriveNewDataSet};
        const bool ok = (this->*kComputations[std::min<int>(Step, kStepCount - 1)])();
        PlaceAddedPoints();
        return ok;
    } catch (const morvik::NumericError&) {
        problem = QStringLiteral(
            "A result would exceed the largest number the program can hold (about 1.8E308): "
            "the values are too large to compute with, or so close to zero that dividing by "
            "them is impossible.");
    } catch (const std::bad_alloc&) {
        problem = QStringLiteral("There is not enough memory to complete this step.");
    }
    btnNext->setEnabled(false);
    Idle = true;
    ShowProcessInfo();
    QMessageBox::critical(this, windowTitle(),
                          QStringLiteral("Step %1 \"%2\" could not be completed.\n\n%3")
                              .arg(Step + 1)
                              .arg(lblStepName->text(), problem));
    return false;
}

void TForm1::ClearData() {
    FileName.clear();
    Data.Vectors.Clear();
    Data.ZeroMeanVectors.Clear();
    Data.Count = 0;
    Data.Loaded = false;
}

void TForm1::ProcessingError(const QString& Msg) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"),
                    QStringLiteral("Processing error:\n") + Msg +
                        QStringLiteral("\n\nApplication will be closed."),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ProcessingErrorBox"));
    box.exec();
    // The end takes effect once control is back in the event loop.
    endRequested_ = true;
    QCoreApplication::quit();
}

void TForm1::btnNextClick() {
    if (Step + 1 >= kStepCount) return;
    ++Step;
    RunStep();
}

void TForm1::btnBackClick() {
    if (Step == 0) return;
    --Step;
    RunStep();
}

QStringList TForm1::ReportLines() const {
    return memoCalcBox->Lines();
}
