// Steps 5 and 6 with the pause replaced by a recorder: the report, the sequence of repaints
// and pauses, the frames of both animations, and the final picture.
#include <QFile>
#include <QTest>
#include <bit>
#include <cmath>
#include <random>
#include <utility>

#include "analysis/projection.h"
#include "analysis/rotation.h"
#include "chart/view/chart_widget.h"
#include "support/window_test_support.h"

using namespace morvik::testing;

namespace {

quint64 Bits(double v) {
    return std::bit_cast<quint64>(v);
}

// Points along the direction of the given angle, at distances -2, -1, 1 and 3 from the
// centre (1, 1), so that their principal component has that direction.
QByteArray PointsAlong(double degrees) {
    const double a = degrees * M_PI / 180.0;
    QByteArray bytes;
    for (double d : {-2.0, -1.0, 1.0, 3.0}) {
        bytes += QByteArray::number(1 + d * std::cos(a), 'g', 17) + ' ' +
                 QByteArray::number(1 + d * std::sin(a), 'g', 17) + '\n';
    }
    return bytes;
}

void WalkTo(ShownForm& f, int step) {
    while (f.form().CurrentStep() + 1 < step) f.button("btnNext")->click();
}

}  // namespace

class AnimationTest : public QObject {
    Q_OBJECT
  private slots:
    void principalComponentStep() {
        ShownForm f;
        DataFiles files;
        AnimationRecorder recorder(f.form());
        f.form().OpenFile(files.write("three.txt", "1 2\n3 4\n5 0\n"));
        WalkTo(f, 4);
        auto& model = f.form().Chart()->Model();
        const morvik::TData& data = f.form().DataSet();
        const morvik::TPCVector pc = f.form().PrincipalComponent();

        // Series1 holds the points by index; frame 1 is 1/30 of the way, frame 30 on the
        // projection.
        std::vector<std::vector<std::pair<quint64, quint64>>> frames;
        recorder.onPause = [&](int ms) {
            if (ms != 33) return;
            std::vector<std::pair<quint64, quint64>> frame;
            for (std::size_t i = 0; i < model.Series1.Count(); ++i) {
                frame.emplace_back(Bits(model.Series1.XValue(i)), Bits(model.Series1.YValue(i)));
            }
            frames.push_back(frame);
        };
        recorder.clear();
        f.button("btnNext")->click();

        QCOMPARE(f.form().ReportLines(),
                 QStringList({"Principal component:", "red dashed line, vector = (0.707; -0.707)",
                              "", "New data set:", "(shown first 100 points)", "", "-1.414",
                              "-1.414", "2.828"}));
        QStringList expected = {"repaint", "repaint", "pause 1000"};
        for (int k = 0; k < 30; ++k)
            expected << "repaint"
                     << "pause 33";
        QCOMPARE(recorder.events().mid(recorder.events().size() - expected.size()), expected);

        QCOMPARE(frames.size(), std::size_t{30});
        for (std::size_t i = 0; i < data.Count; ++i) {
            const morvik::TVector z = data.ZeroMeanVectors[i];
            const morvik::TVector p = morvik::ProjectionPoint(pc, morvik::NewValue(pc, z));
            const morvik::TVector first = morvik::AnimationPosition(z, p, 1);
            QCOMPARE(frames[0][i], std::make_pair(Bits(first.X), Bits(first.Y)));
            QVERIFY(std::abs(std::bit_cast<double>(frames[29][i].first) - p.X) < 1e-15);
            QVERIFY(std::abs(std::bit_cast<double>(frames[29][i].second) - p.Y) < 1e-15);
        }
        // At the end the data points are hidden and restored; the projection lines hidden.
        QVERIFY(!model.Series1.Active());
        QVERIFY(!model.Series4.Active());
        QVERIFY(model.Series2.Active() && model.Series3.Active());
        QCOMPARE(model.Series1.Count(), std::size_t{3});
        QCOMPARE(model.Series1.XValue(0), -2.0);  // sorted by X again: -2, 0, 2
        QCOMPARE(model.Series4.Count(), std::size_t{3});
        QCOMPARE(model.Series2.Count(), std::size_t{2});
    }

    void principalComponentListsTheFirstHundredValues() {
        ShownForm f;
        DataFiles files;
        AnimationRecorder recorder(f.form());
        f.form().OpenFile(files.write("many.txt", NumberedVectors(150)));
        WalkTo(f, 5);
        const QStringList report = f.form().ReportLines();
        QCOMPARE(report.size(), 6 + 100);
        QCOMPARE(report[4], QStringLiteral("(shown first 100 points)"));
        auto& model = f.form().Chart()->Model();
        QCOMPARE(model.Series3.Count(), std::size_t{150});
        QCOMPARE(model.Series4.Count(), std::size_t{150});
    }

    void newDataSetStep_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("frames");
        QTest::addColumn<double>("startAngle");
        QTest::newRow("along X") << QByteArray("1 0\n2 0\n3 0\n") << 0 << 0.0;
        QTest::newRow("below one degree") << PointsAlong(0.4) << 0 << 0.4;
        QTest::newRow("exactly 45") << QByteArray("0 0\n2 2\n") << 45 << 45.0;
        QTest::newRow("30.7") << PointsAlong(30.7) << 30 << 30.7;
        QTest::newRow("-30.7") << PointsAlong(-30.7) << 30 << -30.7;
        QTest::newRow("vertical") << QByteArray("0 1\n0 2\n0 3\n") << 90 << 90.0;
    }

    void newDataSetStep() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, frames);
        QFETCH(double, startAngle);
        ShownForm f;
        DataFiles files;
        AnimationRecorder recorder(f.form());
        f.form().OpenFile(files.write("data.txt", bytes));
        WalkTo(f, 5);
        const QStringList step5Report = f.form().ReportLines();
        auto& model = f.form().Chart()->Model();
        const morvik::TData& data = f.form().DataSet();
        const morvik::TPCVector pc = f.form().PrincipalComponent();
        const double fixedMinimum = model.BottomAxis.Minimum();
        const double fixedMaximum = model.BottomAxis.Maximum();

        // The angle each frame shows, read off the point with the largest new value.
        std::size_t far = 0;
        for (std::size_t j = 0; j < data.Count; ++j) {
            if (std::abs(morvik::NewValue(pc, data.ZeroMeanVectors[j])) >
                std::abs(morvik::NewValue(pc, data.ZeroMeanVectors[far]))) {
                far = j;
            }
        }
        const double tFar = morvik::NewValue(pc, data.ZeroMeanVectors[far]);
        QList<double> angles;
        recorder.onPause = [&](int ms) {
            QCOMPARE(ms, 30);
            angles << std::atan2(model.Series3.YValue(far) / tFar,
                                 model.Series3.XValue(far) / tFar) *
                          180 / M_PI;
        };
        recorder.clear();
        f.button("btnNext")->click();

        QCOMPARE(angles.size(), frames);
        const double direction = startAngle > 0 ? -1.0 : 1.0;
        for (int k = 0; k < angles.size(); ++k) {
            QVERIFY2(
                std::abs(angles[k] - (startAngle + direction * (k + 1))) < 1e-6,
                qPrintable(QStringLiteral("frame %1 shows %2 degrees").arg(k + 1).arg(angles[k])));
        }
        // Final placement on the X axis at the new values; the X axis line across the range
        // the chart last computed (the fixed range of step 5 when no frame was drawn).
        for (std::size_t j = 0; j < data.Count; ++j) {
            QCOMPARE(Bits(model.Series3.XValue(j)),
                     Bits(morvik::NewValue(pc, data.ZeroMeanVectors[j])));
            QCOMPARE(Bits(model.Series3.YValue(j)), Bits(0.0));
        }
        QVERIFY(model.BottomAxis.Automatic() && model.LeftAxis.Automatic());
        QCOMPARE(model.Series2.Count(), std::size_t{2});
        QCOMPARE(model.Series2.YValue(0), 0.0);
        QCOMPARE(model.Series2.YValue(1), 0.0);
        if (frames == 0) {
            QCOMPARE(model.Series2.XValue(0), fixedMinimum);
            QCOMPARE(model.Series2.XValue(1), fixedMaximum);
        } else {
            QCOMPARE(model.Series2.XValue(0), model.BottomAxis.Minimum());
            QCOMPARE(model.Series2.XValue(1), model.BottomAxis.Maximum());
        }
        QStringList expectedReport = step5Report;
        expectedReport[1] = QStringLiteral("red dashed line is the X-axis.");
        QCOMPARE(f.form().ReportLines(), expectedReport);
        QVERIFY(!f.button("btnNext")->isEnabled());
    }

    // A data set large enough for the frames to be computed on two threads: every point of
    // every frame of both animations is still exactly what the formulas give for it.
    void framesOfALargeDataSet() {
        ShownForm f;
        DataFiles files;
        AnimationRecorder recorder(f.form());
        QByteArray bytes;
        std::mt19937_64 random(3);
        std::normal_distribution<double> along(0, 5), across(0, 1);
        for (int i = 0; i < 70000; ++i) {
            const double a = along(random), b = across(random);
            bytes += QByteArray::number(2 + a - 0.5 * b, 'g', 17) + ' ' +
                     QByteArray::number(1 + 0.5 * a + b, 'g', 17) + '\n';
        }
        f.form().OpenFile(files.write("large.txt", bytes));
        WalkTo(f, 4);
        auto& model = f.form().Chart()->Model();
        const morvik::TData& data = f.form().DataSet();
        const morvik::TPCVector pc = f.form().PrincipalComponent();

        int frame = 0;
        std::size_t mismatches = 0;
        recorder.onPause = [&](int ms) {
            if (ms != 33) return;
            ++frame;
            const auto xs = std::as_const(model.Series1).XValues();
            const auto ys = std::as_const(model.Series1).YValues();
            for (std::size_t i = 0; i < data.Count; ++i) {
                const morvik::TVector z = data.ZeroMeanVectors[i];
                const morvik::TVector p = morvik::ProjectionPoint(pc, morvik::NewValue(pc, z));
                const morvik::TVector at = morvik::AnimationPosition(z, p, frame);
                mismatches += Bits(xs[i]) != Bits(at.X) || Bits(ys[i]) != Bits(at.Y);
            }
        };
        f.button("btnNext")->click();
        QCOMPARE(frame, 30);
        QCOMPARE(mismatches, std::size_t{0});

        double angle = morvik::StartAngle(pc);
        int turns = 0;
        recorder.onPause = [&](int ms) {
            QCOMPARE(ms, 30);
            ++turns;
            angle = morvik::NextAngle(angle);
            const morvik::TRotation rotation = morvik::RotationFor(angle);
            const auto xs = std::as_const(model.Series3).XValues();
            const auto ys = std::as_const(model.Series3).YValues();
            for (std::size_t j = 0; j < data.Count; ++j) {
                const morvik::TVector at =
                    morvik::RotatedPoint(rotation, morvik::NewValue(pc, data.ZeroMeanVectors[j]));
                mismatches += Bits(xs[j]) != Bits(at.X) || Bits(ys[j]) != Bits(at.Y);
            }
        };
        f.button("btnNext")->click();
        QCOMPARE(turns, static_cast<int>(morvik::FrameCount(morvik::StartAngle(pc))));
        QVERIFY(turns > 20);
        QCOMPARE(mismatches, std::size_t{0});
    }

    // Back to 5 and on to 6 again repeats the same report, picture and animation.
    void walkingAgainRepeatsEverything() {
        ShownForm f;
        DataFiles files;
        AnimationRecorder recorder(f.form());
        f.form().OpenFile(files.write("data.txt", PointsAlong(30.7)));
        WalkTo(f, 6);
        const QStringList report6 = f.form().ReportLines();
        const QImage picture6 = f.form().Chart()->RenderImage();
        f.button("btnBack")->click();
        const QStringList report5 = f.form().ReportLines();
        recorder.clear();
        f.button("btnNext")->click();
        const QStringList events = recorder.events();
        QCOMPARE(f.form().ReportLines(), report6);
        QCOMPARE(f.form().Chart()->RenderImage(), picture6);
        f.button("btnBack")->click();
        QCOMPARE(f.form().ReportLines(), report5);
        recorder.clear();
        f.button("btnNext")->click();
        QCOMPARE(recorder.events(), events);
    }

    // The published worked example: ten points whose new one-dimensional values are known.
    void tutorialExample() {
        ShownForm f;
        AnimationRecorder recorder(f.form());
        f.form().OpenFile(QString::fromLocal8Bit(qgetenv("MORVIK_EXAMPLES")) + "/tutorial.txt");
        WalkTo(f, 6);
        const double published[] = {-0.827970186, 1.77758033,   -0.992197494, -0.274210416,
                                    -1.67580142,  -0.912949103, 0.0991094375, 1.14457216,
                                    0.438046137,  1.22382056};
        const morvik::TData& data = f.form().DataSet();
        QCOMPARE(data.Count, 10u);
        const morvik::TPCVector pc = f.form().PrincipalComponent();
        const double sign =
            morvik::NewValue(pc, data.ZeroMeanVectors[0]) * published[0] > 0 ? 1.0 : -1.0;
        for (int i = 0; i < 10; ++i) {
            QVERIFY(std::abs(sign * morvik::NewValue(pc, data.ZeroMeanVectors[i]) - published[i]) <
                    1e-8);
        }
        // The report lists the same values, and the points end on the X axis there.
        QCOMPARE(f.form().ReportLines()[6],
                 sign > 0 ? QStringLiteral("-0.828") : QStringLiteral("0.828"));
    }
};

QTEST_MAIN(AnimationTest)
#include "tst_animation.moc"
