// Whole walks through the six steps on data sets at the edges of the double range: values
// near the largest double, near its square root (where squares overflow), subnormals, all
// points equal, points on one line, thousands of copies of one point, and mixes of these.
// After every step the window must show either a plausible report or the one error box of a
// value too large to compute with, never an infinity, a NaN or a busy display left behind.
#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "chart/view/chart_widget.h"
#include "support/window_test_support.h"

using namespace morvik::testing;

namespace {

enum class Family {
    Huge,
    SquareRootLimit,
    FourthRootLimit,
    Subnormal,
    AllEqual,
    Collinear,
    ManyIdentical,
    Mixed
};

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTrueMin = std::numeric_limits<double>::denorm_min();
constexpr double kMinNormal = std::numeric_limits<double>::min();
constexpr double kSquareRootOfMax = 1.3407807929942596e154;

using Vectors = std::vector<morvik::TVector>;

class ValueSource {
  public:
    explicit ValueSource(std::uint64_t seed) : rng_(seed) {}

    int Size() { return std::uniform_int_distribution<int>(2, 50)(rng_); }
    double Sign() { return std::bernoulli_distribution(0.5)(rng_) ? -1.0 : 1.0; }
    double Uniform(double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(rng_); }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // Up to the largest double; one value in eight is exactly +-max.
    double Huge() {
        if (Pick(8) == 0) return Sign() * kMax;
        return Sign() * Uniform(0.05, 1.79) * 1e308;
    }
    // A narrow band below the largest double, all of one sign: the data can be plotted, but
    // sums of two values overflow.
    double HugeBand(double sign) { return sign * Uniform(1.5, 1.6) * 1e308; }
    // Around the largest value whose square is still a double.
    double NearSquareRoot() { return Sign() * Uniform(0.5, 1.6) * 1e154; }
    // Around the values whose covariance squared (in the eigenvalues) is about the largest
    // double; these data sets can get through every step.
    double NearFourthRoot() { return Sign() * Uniform(0.3, 1.6) * 1e77; }
    // Small multiples of the smallest subnormal, zeros of both signs included.
    double Subnormal() { return Sign() * kTrueMin * Pick(2001); }
    double Ordinary() { return Uniform(-100, 100); }
    double Extreme() {
        const double values[] = {kMax,      -kMax, kMinNormal, -kMinNormal,      kTrueMin,
                                 -kTrueMin, 0.0,   -0.0,       kSquareRootOfMax, -kSquareRootOfMax};
        return values[Pick(std::size(values))];
    }
    // Any kind of value; without the largest ones when withHuge is false, so that the set
    // has a chance to get past step 1.
    double Mixed(bool withHuge = true) {
        switch (Pick(withHuge ? 6 : 4)) {
            case 0:
                return NearFourthRoot();
            case 1:
                return Subnormal();
            case 2:
                return Ordinary();
            case 3:
                return Pick(2) ? kMinNormal : -0.0;
            case 4:
                return NearSquareRoot();
            default:
                return Pick(2) ? Extreme() : Huge();
        }
    }

  private:
    std::mt19937_64 rng_;
};

Vectors Generate(Family family, std::uint64_t seed) {
    ValueSource s(seed);
    const int n = s.Size();
    Vectors v;
    auto fill = [&](auto value) {
        for (int i = 0; i < n; ++i) v.push_back({value(), value()});
    };
    switch (family) {
        case Family::Huge:
            if (seed % 2) {
                fill([&] { return s.Huge(); });
            } else {
                const double sign = s.Sign();
                fill([&] { return s.HugeBand(sign); });
            }
            break;
        case Family::SquareRootLimit:
            fill([&] { return s.NearSquareRoot(); });
            break;
        case Family::FourthRootLimit:
            fill([&] { return s.NearFourthRoot(); });
            break;
        case Family::Subnormal:
            // Every other set pairs subnormal X values with ordinary Y values.
            for (int i = 0; i < n; ++i)
                v.push_back({s.Subnormal(), seed % 2 ? s.Ordinary() : s.Subnormal()});
            break;
        case Family::AllEqual:
            v.assign(n, morvik::TVector{s.Mixed(), s.Mixed()});
            break;
        case Family::Collinear: {
            const double scales[] = {1e-300, 1e-3, 1, 1e6, 1e150, 1e300};
            const double scale = scales[s.Pick(std::size(scales))];
            const double angle = s.Uniform(-std::numbers::pi, std::numbers::pi);
            const morvik::TVector origin{s.Uniform(-1, 1) * scale, s.Uniform(-1, 1) * scale};
            for (int i = 0; i < n; ++i) {
                const double t = s.Uniform(-1, 1) * scale;
                v.push_back({origin.X + t * std::cos(angle), origin.Y + t * std::sin(angle)});
            }
            break;
        }
        case Family::ManyIdentical: {
            v.assign(5000, morvik::TVector{s.Mixed(), s.Mixed()});
            // Some sets have a few other points among the copies.
            for (std::uint64_t i = 0; i < seed % 3; ++i)
                v.insert(v.begin() + s.Pick(5000), morvik::TVector{s.Mixed(), s.Mixed()});
            break;
        }
        case Family::Mixed:
            fill([&] { return s.Mixed(seed % 2 == 1); });
            break;
    }
    return v;
}

// 17 significant digits give every double back; Qt drops the sign of a negative zero.
QByteArray Text(double v) {
    return v == 0 && std::signbit(v) ? QByteArray("-0") : QByteArray::number(v, 'g', 17);
}

QByteArray DataFileBytes(const Vectors& vectors) {
    QByteArray bytes;
    for (const morvik::TVector& v : vectors) bytes += Text(v.X) + ' ' + Text(v.Y) + '\n';
    return bytes;
}

// The shapes of the report lines, per step.
const QString kFixed3 = QStringLiteral(R"((?:-?\d+\.\d{3}|[ -]\d\.\dE[+-]\d{4}))");

QString RawValuePattern() {
    const QString point = QRegularExpression::escape(QLocale().decimalPoint());
    return QStringLiteral(R"(-?\d+(?:%1\d+)?(?:E-?\d+)?)").arg(point);
}

QRegularExpression Whole(const QString& pattern) {
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

QString Literal(const char* text) {
    return QRegularExpression::escape(QString::fromLatin1(text));
}

// Every line a step may write, in any order (a step that failed part way leaves some).
QStringList LinePatterns(int step) {
    const QString f = kFixed3;
    switch (step) {
        case 1:
            return {R"(File: \S+)", "", R"(\d+ data vectors:)", Literal("(shown first 100 points)"),
                    RawValuePattern() + "; " + RawValuePattern()};
        case 2:
            return {Literal("Dimension mean:"),
                    "X dimension: " + f,
                    "Y dimension: " + f,
                    "",
                    Literal("Data set with zero mean:"),
                    Literal("(shown first 100 points)"),
                    f + "; " + f};
        case 3:
            return {Literal("Covariance matrix:"), "", f + "    " + f};
        case 4:
            return {Literal("Eigenvectors/eigenvalues for the covariance matrix:"),
                    "",
                    R"(Eigenvalue [12] = )" + f,
                    Literal("Eigenvalue 2 = the same as eigenvalue 1"),
                    R"(Eigenvector [12] = \()" + f + "; " + f + R"(\))",
                    Literal("Eigenvector 2: the same as eigenvector 1"),
                    Literal("Calculation problems occured:"),
                    Literal("It is not possible to calculate the eigenvector."),
                    Literal("It is not possible to calculate both of the eigenvalues and "
                            "eigenvectors.")};
        default:
            return {Literal("Principal component:"),
                    R"(red dashed line, vector = \()" + f + "; " + f + R"(\))",
                    Literal("red dashed line is the X-axis."),
                    "",
                    Literal("New data set:"),
                    Literal("(shown first 100 points)"),
                    f};
    }
}

// Empty when every line has one of the step's shapes; otherwise the first odd line.
QString OddLine(const QStringList& lines, int step) {
    std::vector<QRegularExpression> shapes;
    for (const QString& p : LinePatterns(step)) shapes.push_back(Whole(p));
    for (const QString& line : lines) {
        bool known = false;
        for (const QRegularExpression& shape : shapes)
            known = known || shape.match(line).hasMatch();
        if (!known) return QStringLiteral("odd line in step %1: \"%2\"").arg(step).arg(line);
    }
    const QString all = lines.join('\n');
    if (all.contains(QStringLiteral("inf"), Qt::CaseInsensitive) ||
        all.contains(QStringLiteral("nan"), Qt::CaseInsensitive)) {
        return QStringLiteral("infinity or NaN in step %1").arg(step);
    }
    return QString();
}

// A header line that carries numbers: checked by its shape only.
const QString kAnyShape = QStringLiteral("*");

// The lines of a successful step, position by position: the fixed header, then one listed
// value per vector up to 100.
QString UnexpectedLayout(const QStringList& lines, int step, int count) {
    const int listed = std::min(count, 100);
    QStringList expected;
    switch (step) {
        case 1:
            expected = {"File: set.txt", "", QStringLiteral("%1 data vectors:").arg(count),
                        "(shown first 100 points)", ""};
            break;
        case 2:
            expected = {
                "Dimension mean:",          kAnyShape, kAnyShape, "", "Data set with zero mean:",
                "(shown first 100 points)", ""};
            break;
        case 3:
            if (lines.size() != 4) return QStringLiteral("step 3 wrote %1 lines").arg(lines.size());
            return QString();
        case 4:
            if (lines.size() != 7) return QStringLiteral("step 4 wrote %1 lines").arg(lines.size());
            if (lines.contains(QStringLiteral("Calculation problems occured:")))
                return QStringLiteral("step 4 succeeded with calculation problems");
            return QString();
        default:
            expected = {"Principal component:",     kAnyShape, "", "New data set:",
                        "(shown first 100 points)", ""};
            break;
    }
    if (lines.size() != expected.size() + listed)
        return QStringLiteral("step %1 wrote %2 lines for %3 vectors")
            .arg(step)
            .arg(lines.size())
            .arg(count);
    for (int i = 0; i < expected.size(); ++i) {
        if (expected[i] != kAnyShape && lines[i] != expected[i])
            return QStringLiteral("step %1 line %2: \"%3\"").arg(step).arg(i).arg(lines[i]);
    }
    return QString();
}

bool Finite(std::span<const double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// The axes and every value of every series are finite (drawn as a paint draws them).
QString ChartProblem(morvik::chart::ChartWidget& chart) {
    if (chart.RenderImage().isNull()) return QStringLiteral("the chart did not render");
    const morvik::chart::ChartModel& model = chart.Model();
    for (const morvik::chart::ChartAxis* axis : {&model.BottomAxis, &model.LeftAxis}) {
        if (!std::isfinite(axis->Minimum()) || !std::isfinite(axis->Maximum()))
            return QStringLiteral("an axis range is not finite");
    }
    for (const morvik::chart::ChartSeries* s :
         {&model.Series1, &model.Series2, &model.Series3, &model.Series4}) {
        if (!Finite(s->XValues()) || !Finite(s->YValues()) || !Finite(s->EndXValues()) ||
            !Finite(s->EndYValues()))
            return QStringLiteral("series \"%1\" holds a value that is not finite")
                .arg(QString::fromStdString(s->Title()));
    }
    return QString();
}

quint64 Bits(double v) {
    return std::bit_cast<quint64>(v);
}

// The outcome of the step just run: the window as a step leaves it, and then either a
// plausible report, the step 4 report of an eigenproblem without a solution, or exactly
// one error box about values too large to compute with.
enum class Outcome { Succeeded, NoEigenvector, TooLarge };

QString CheckStep(ShownForm& f, const std::vector<MessageBoxAnswerer::Seen>& boxes, int count,
                  Outcome& outcome) {
    const int step = f.form().CurrentStep() + 1;
    if (f.label("lblProcessInfo")->isVisible() || !f.control<QWidget>("memoCalcBox")->isVisible())
        return QStringLiteral("step %1 left the busy display on screen").arg(step);
    if (f.form().EndRequested()) return QStringLiteral("step %1 ended the program").arg(step);
    const QStringList lines = f.form().ReportLines();
    if (QString odd = OddLine(lines, step); !odd.isEmpty()) return odd;
    if (QString chart = ChartProblem(*f.form().Chart()); !chart.isEmpty())
        return QStringLiteral("step %1: %2").arg(step).arg(chart);
    const bool nextEnabled = f.button("btnNext")->isEnabled();

    if (!boxes.empty()) {
        outcome = Outcome::TooLarge;
        if (boxes.size() != 1)
            return QStringLiteral("step %1 showed %2 boxes").arg(step).arg(boxes.size());
        if (boxes[0].icon != QMessageBox::Critical ||
            !boxes[0].text.contains(QStringLiteral("too large to compute with")))
            return QStringLiteral("step %1 showed \"%2\"").arg(step).arg(boxes[0].text);
        if (f.form().LastStepSucceeded() || nextEnabled)
            return QStringLiteral("step %1 failed but \"Next  >\" is enabled").arg(step);
        return QString();
    }
    if (!f.form().LastStepSucceeded()) {
        outcome = Outcome::NoEigenvector;
        if (step != 4 || !lines.contains(QStringLiteral("Calculation problems occured:")))
            return QStringLiteral("step %1 failed without saying why").arg(step);
        if (nextEnabled) return QStringLiteral("\"Next  >\" enabled after a failed step 4");
        return QString();
    }
    outcome = Outcome::Succeeded;
    if (nextEnabled != (step < 6))
        return QStringLiteral("\"Next  >\" wrong after a successful step %1").arg(step);
    return UnexpectedLayout(lines, step, count);
}

}  // namespace

class NumericExtremesTest : public QObject {
    Q_OBJECT
  private slots:
    void walkThroughAllSteps_data() {
        QTest::addColumn<int>("family");
        QTest::addColumn<quint64>("seed");
        const std::pair<Family, const char*> families[] = {
            {Family::Huge, "huge"},
            {Family::SquareRootLimit, "square root limit"},
            {Family::FourthRootLimit, "fourth root limit"},
            {Family::Subnormal, "subnormal"},
            {Family::AllEqual, "all equal"},
            {Family::Collinear, "collinear"},
            {Family::ManyIdentical, "5000 identical"},
            {Family::Mixed, "mixed"},
        };
        for (const auto& [family, name] : families) {
            const int sets = family == Family::ManyIdentical ? 3 : 6;
            for (quint64 seed = 1; seed <= quint64(sets); ++seed)
                QTest::addRow("%s %llu", name, seed) << int(family) << seed;
        }
    }

    void walkThroughAllSteps() {
        QFETCH(int, family);
        QFETCH(quint64, seed);
        const Vectors vectors = Generate(Family(family), seed * 7919 + quint64(family));
        const int count = int(vectors.size());

        ShownForm f;
        DataFiles files;
        AnimationRecorder recorder(f.form());
        MessageBoxAnswerer answerer;
        std::size_t boxesBefore = 0;
        auto newBoxes = [&] {
            std::vector<MessageBoxAnswerer::Seen> boxes(answerer.seen().begin() + boxesBefore,
                                                        answerer.seen().end());
            boxesBefore = answerer.seen().size();
            return boxes;
        };

        f.form().OpenFile(files.write("set.txt", DataFileBytes(vectors)));
        // The file gives back every value bit for bit.
        const morvik::TData& data = f.form().DataSet();
        QCOMPARE(int(data.Count), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(Bits(data.Vectors[i].X), Bits(vectors[i].X));
            QCOMPARE(Bits(data.Vectors[i].Y), Bits(vectors[i].Y));
        }

        QStringList reports[7];
        Outcome outcome = Outcome::Succeeded;
        for (;;) {
            const int step = f.form().CurrentStep() + 1;
            const QString problem = CheckStep(f, newBoxes(), count, outcome);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            reports[step] = f.form().ReportLines();
            if (step == 6 && outcome == Outcome::Succeeded) {
                // Step 6 keeps the report of step 5 but for its second line.
                QStringList expected = reports[5];
                expected[1] = QStringLiteral("red dashed line is the X-axis.");
                QCOMPARE(reports[6], expected);
            }
            if (outcome != Outcome::Succeeded || step == 6) break;
            f.button("btnNext")->click();
        }

        const int failedStep = f.form().CurrentStep() + 1;
        if (outcome != Outcome::TooLarge) return;
        if (failedStep == 1) {
            // Nothing to go back to; the window still opens and reads another file.
            f.form().OpenFile(files.write("small.txt", "1 2\n3 4\n5 0\n"));
            QVERIFY(f.form().LastStepSucceeded());
            QVERIFY(f.button("btnNext")->isEnabled());
            QCOMPARE(newBoxes().size(), std::size_t{0});
            return;
        }
        // The window stays usable: the step before runs again as it did the first time.
        f.button("btnBack")->click();
        const QString problem = CheckStep(f, newBoxes(), count, outcome);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(int(outcome), int(Outcome::Succeeded));
        QCOMPARE(f.form().ReportLines(), reports[failedStep - 1]);
        QVERIFY(f.button("btnNext")->isEnabled());
    }
};

QTEST_MAIN(NumericExtremesTest)
#include "tst_numeric_extremes.moc"
