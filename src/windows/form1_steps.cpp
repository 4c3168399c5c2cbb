// The six step computations: each rebuilds its report and its series from the stored data.
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <array>

#include "analysis/data_reader.h"
#include "analysis/number_format.h"
#include "analysis/projection.h"
#include "analysis/rotation.h"
#include "chart/view/chart_widget.h"
#include "parallel/two_parts.h"
#include "windows/form1.h"
#include "windows/pause.h"
#include "windows/report_memo.h"

namespace {

constexpr std::uint32_t kListedVectors = 100;
constexpr int kProjectionPauseMs = 1000;
constexpr int kProjectionFramePauseMs = 33;
constexpr int kRotationFramePauseMs = 30;

QStringList ToQStringList(const std::vector<std::string>& lines) {
    QStringList result;
    result.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) result.append(QString::fromStdString(line));
    return result;
}

// Vectors, in their order, as the points of a series.
morvik::chart::PointSource<2> VectorPoints(const morvik::TVectors& vectors) {
    return [&vectors](std::size_t first, std::size_t n, const std::array<double*, 2>& out) {
        for (std::size_t k = 0; k < n; ++k) {
            const morvik::TVector v = vectors[first + k];
            out[0][k] = v.X;
            out[1][k] = v.Y;
        }
    };
}

}  // namespace

bool TForm1::ReadDataSet() {
    auto& series1 = ChartModel().Series1;
    series1.Clear();
    memoCalcBox->ClearLines();
    memoCalcBox->AppendLines({QStringLiteral("File: ") + QFileInfo(FileName).fileName(), QString(),
                              QString(), QString(), QString()});

    if (!Data.Loaded) {
        Data.Vectors.Clear();
        Data.Count = 0;
        const morvik::ReadResult result =
            morvik::ReadDataFile(QFile::encodeName(FileName).toStdString(), Data.Vectors);
        if (result.Outcome != morvik::ReadOutcome::Ok) {
            // Nothing that was read survives a fatal reading.
            Data.Vectors.Clear();
            switch (result.Outcome) {
                case morvik::ReadOutcome::CannotOpen:
                    ProcessingError(QStringLiteral("File read error. Can not open file: ") +
                                    FileName);
                    break;
                case morvik::ReadOutcome::OutOfMemory:
                    ProcessingError(QStringLiteral("Not enough memory to store the data."));
                    break;
                default:
                    ProcessingError(QStringLiteral("File read error. Error reading line: ") +
                                    QString::number(result.FailedVector));
                    break;
            }
            return false;
        }
        Data.Count = static_cast<std::uint32_t>(Data.Vectors.Size());
        Data.Loaded = Data.Count > 0;
    }

    // List and plot the vectors, whether just read or already in memory.
    const std::string separator = QLocale().decimalPoint().toStdString();
    QStringList listing;
    for (std::uint32_t i = 0; i < std::min(Data.Count, kListedVectors); ++i) {
        const morvik::TVector v = Data.Vectors[i];
        listing.append(QString::fromStdString(morvik::RawValue(v.X, separator) + "; " +
                                              morvik::RawValue(v.Y, separator)));
    }
    memoCalcBox->AppendLines(listing);
    series1.AddXYs(Data.Count, VectorPoints(Data.Vectors));

    SetPointSize(Data.Count >= 100 ? 2 : 4);
    if (Data.Count > 0) {
        FitAxes();
        memoCalcBox->ReplaceLine(2, QString::number(Data.Count) + QStringLiteral(" data vectors:"));
        memoCalcBox->ReplaceLine(3, QStringLiteral("(shown first 100 points)"));
    }
    return Data.Count > 0;
}

bool TForm1::SubtractMean() {
    if (!Data.ZeroMeanVectors.TryAllocate(Data.Count)) {
        ProcessingError(QStringLiteral("Not enough memory to store the data."));
        return false;
    }
    auto& series1 = ChartModel().Series1;
    series1.Clear();
    memoCalcBox->ClearLines();
    const morvik::TDimensionMeans means =
        morvik::SubtractMeans(Data.Vectors, Data.Count, Data.ZeroMeanVectors);
    series1.AddXYs(Data.Count, VectorPoints(Data.ZeroMeanVectors));
    memoCalcBox->AppendLines(
        ToQStringList(morvik::SubtractMeanReport(means, Data.ZeroMeanVectors, Data.Count)));
    FitAxes();
    return true;
}

bool TForm1::ComputeCovariance() {
    memoCalcBox->ClearLines();
    CovMatrix = morvik::ComputeCovarianceMatrix(Data.ZeroMeanVectors, Data.Count);
    memoCalcBox->AppendLines(ToQStringList(morvik::CovarianceReport(CovMatrix)));
    return true;
}

bool TForm1::ComputeEigenvectors() {
    memoCalcBox->ClearLines();
    const morvik::TEigenAnalysis analysis = morvik::AnalyseEigenvectors(CovMatrix);
    PCVector = analysis.PCVector;
    memoCalcBox->AppendLines(ToQStringList(analysis.ReportLines));
    return analysis.Succeeded();
}

bool TForm1::ShowPrincipalComponent() {
    auto& model = ChartModel();
    model.Series2.Clear();
    model.Series3.Clear();
    model.Series4.Clear();
    chrtGraph->repaint();

    memoCalcBox->ClearLines();
    memoCalcBox->AppendLines(ToQStringList(
        morvik::PrincipalComponentReport(PCVector, Data.ZeroMeanVectors, Data.Count)));

    // Each vector's projection line, from the vector to its projection point.
    const auto projection = [this](std::size_t i) {
        return morvik::ProjectionPoint(PCVector,
                                       morvik::NewValue(PCVector, Data.ZeroMeanVectors[i]));
    };
    model.Series4.AddArrows(
        Data.Count, [&](std::size_t first, std::size_t n, const std::array<double*, 4>& out) {
            for (std::size_t k = 0; k < n; ++k) {
                const morvik::TVector z = Data.ZeroMeanVectors[first + k];
                const morvik::TVector p = projection(first + k);
                out[0][k] = z.X;
                out[1][k] = z.Y;
                out[2][k] = p.X;
                out[3][k] = p.Y;
            }
        });
    model.Series3.AddXYs(Data.Count,
                         [&](std::size_t first, std::size_t n, const std::array<double*, 2>& out) {
                             for (std::size_t k = 0; k < n; ++k) {
                                 const morvik::TVector p = projection(first + k);
                                 out[0][k] = p.X;
                                 out[1][k] = p.Y;
                             }
                         });
    FitAxes();
    DrawPrincipalComponent();
    chrtGraph->repaint();
    morvik::Pause(kProjectionPauseMs);
    model.Series4.SetActive(false);
    MoveDataToProjection();
    return true;
}

void TForm1::MoveDataToProjection() {
    auto& series1 = ChartModel().Series1;
    const std::uint32_t count = Data.Count;
    // Every frame writes, by index, the position of the vector with the same index.
    const std::span<double> xs = series1.XValues();
    const std::span<double> ys = series1.YValues();
    const std::size_t n = std::min<std::size_t>(count, xs.size());
    for (int frame = 1; frame <= morvik::kProjectionFrames; ++frame) {
        morvik::ForEachHalf(n, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const morvik::TVector z = Data.ZeroMeanVectors[i];
                const morvik::TVector p =
                    morvik::ProjectionPoint(PCVector, morvik::NewValue(PCVector, z));
                const morvik::TVector position = morvik::AnimationPosition(z, p, frame);
                xs[i] = position.X;
                ys[i] = position.Y;
            }
        });
        series1.ValuesChanged();
        chrtGraph->repaint();
        morvik::Pause(kProjectionFramePauseMs);
    }
    series1.SetActive(false);
    // Restore the data points (unseen while inactive) for a later run of this step.
    series1.Clear();
    series1.AddXYs(count, VectorPoints(Data.ZeroMeanVectors));
}

bool TForm1::DeriveNewDataSet() {
    auto& model = ChartModel();
    memoCalcBox->ReplaceLine(1, QStringLiteral("red dashed line is the X-axis."));
    model.BottomAxis.SetAutomatic(true);
    model.LeftAxis.SetAutomatic(true);

    double angle = morvik::StartAngle(PCVector);
    const unsigned frames = morvik::FrameCount(angle);
    const std::span<double> xs = model.Series3.XValues();
    const std::span<double> ys = model.Series3.YValues();
    // Point j of the projection series takes the new value of vector j.
    const std::size_t n = std::min<std::size_t>(xs.size(), Data.Count);
    for (unsigned frame = 0; frame < frames; ++frame) {
        angle = morvik::NextAngle(angle);
        const morvik::TRotation rotation = morvik::RotationFor(angle);
        morvik::ForEachHalf(n, [&](std::size_t begin, std::size_t end) {
            for (std::size_t j = begin; j < end; ++j) {
                const double t = morvik::NewValue(PCVector, Data.ZeroMeanVectors[j]);
                const morvik::TVector point = morvik::RotatedPoint(rotation, t);
                xs[j] = point.X;
                ys[j] = point.Y;
            }
        });
        model.Series3.ValuesChanged();
        DrawPrincipalComponent();
        chrtGraph->repaint();
        morvik::Pause(kRotationFramePauseMs);
    }
    for (std::size_t j = 0; j < n; ++j) {
        xs[j] = morvik::NewValue(PCVector, Data.ZeroMeanVectors[j]);
        ys[j] = 0.0;
    }
    model.Series3.ValuesChanged();
    model.Series2.Clear();
    model.Series2.AddXY(model.BottomAxis.Minimum(), 0.0);
    model.Series2.AddXY(model.BottomAxis.Maximum(), 0.0);
    return true;
}
