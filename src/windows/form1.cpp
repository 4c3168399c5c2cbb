// The main window's controls, their layout at 96 dpi, and the resize rules that keep the
// chart square.
#include "windows/form1.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>

#include "chart/view/chart_widget.h"
#include "windows/artwork.h"
#include "windows/fonts.h"
#include "windows/report_memo.h"

namespace {

// The layout is made for this client area; the anchored controls take up any difference.
constexpr int kDesignClientWidth = 786;
constexpr int kDesignClientHeight = 555;
constexpr int kChartLeft = 275;
constexpr int kChartTop = 12;
constexpr int kChartBottomGap = 43;
// Gap between the chart and the right edge of the client area (a 4-pixel frame on each side
// of the outer-width rule "chart left + chart width + 20").
constexpr int kChartRightGap = 12;

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                  const QFont& font) {
    auto* label = Named(new QLabel(caption, parent), name);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& geometry) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(geometry);
    return button;
}

QLabel* MakePicture(QWidget* parent, const char* name, const QPixmap& pixmap) {
    auto* picture = Named(new QLabel(parent), name);
    picture->setPixmap(pixmap);
    picture->setGeometry(8, 18, 225, 98);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->hide();
    return picture;
}

QFileDialog* MakeFileDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode,
                            const QStringList& filters, const QString& defaultSuffix) {
    auto* dialog = Named(new QFileDialog(parent), name);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(filters.first());
    dialog->setDefaultSuffix(defaultSuffix);
    // The save dialogs ask before replacing an existing file.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    return dialog;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Morvik"));
    setWindowIcon(morvik::WindowIcon());
    setFont(morvik::UiFont());
    CreateControls();
    // Start position and client size at 96 dpi; only the height can be changed later.
    move(197, 118);
    resize(kDesignClientWidth, kDesignClientHeight);
    setFixedWidth(kDesignClientWidth);
    setMinimumHeight(kDesignClientHeight);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::CreateControls() {
    const QFont heading = morvik::HeadingFont();
    lblStep = MakeLabel(this, "lblStep", QStringLiteral("Step"), 16, 16, heading);
    lblStepNumber = MakeLabel(this, "lblStepNumber", QStringLiteral("S"), 64, 16, heading);
    lblStepTotalSteps = MakeLabel(this, "lblStepTotalSteps", QStringLiteral("/6"), 75, 16, heading);
    lblStepName =
        MakeLabel(this, "lblStepName", QStringLiteral("Step name"), 16, 40, morvik::UiBoldFont());

    btnBack = MakeButton(this, "btnBack", QStringLiteral("<  Back"), {16, 72, 75, 25});
    btnNext = MakeButton(this, "btnNext", QStringLiteral("Next  >"), {112, 72, 75, 25});
    btnBack->setEnabled(false);
    btnNext->setEnabled(false);

    btnData = MakeButton(this, "btnData", QStringLiteral("Open file..."), {16, 120, 97, 20});
    lblSourceFile =
        MakeLabel(this, "lblSourceFile", QStringLiteral("source file"), 120, 120, morvik::UiFont());
    // Vertically centred on the 20-pixel button beside it.
    lblSourceFile->move(120, 120 + (20 - lblSourceFile->height()) / 2);

    gbxHelpBox = Named(new QGroupBox(QStringLiteral("Help Box"), this), "gbxHelpBox");
    gbxHelpBox->setGeometry(16, 160, 241, 129);
    const QFont regular = morvik::UiFont();
    lblHelpLine1 =
        MakeLabel(gbxHelpBox, "lblHelpLine1", QStringLiteral("help line 1"), 16, 24, regular);
    lblHelpLine2 =
        MakeLabel(gbxHelpBox, "lblHelpLine2", QStringLiteral("help line 2"), 16, 48, regular);
    lblHelpLine3 =
        MakeLabel(gbxHelpBox, "lblHelpLine3", QStringLiteral("help line 3"), 16, 72, regular);
    lblHelpLine4 =
        MakeLabel(gbxHelpBox, "lblHelpLine4", QStringLiteral("help line 4"), 16, 96, regular);
    imgHelpStep3 = MakePicture(gbxHelpBox, "imgHelpStep3", morvik::HelpStep3Picture());
    imgHelpStep4 = MakePicture(gbxHelpBox, "imgHelpStep4", morvik::HelpStep4Picture());

    gbxCalcBox = Named(new QGroupBox(QStringLiteral("Calculations Box"), this), "gbxCalcBox");
    gbxCalcBox->setGeometry(16, 304, 241, 209);
    memoCalcBox = Named(new morvik::ReportMemo(gbxCalcBox), "memoCalcBox");
    memoCalcBox->setGeometry(8, 16, 225, 185);
    lblProcessInfo =
        MakeLabel(this, "lblProcessInfo", QStringLiteral("process information"), 32, 340, regular);
    lblProcessInfo->raise();

    btnSaveCalc = MakeButton(this, "btnSaveCalc", QStringLiteral("Save..."), {16, 520, 65, 20});
    btnAbout = MakeButton(this, "btnAbout", QStringLiteral("About..."), {192, 520, 65, 20});

    chrtGraph = Named(new morvik::chart::ChartWidget(this), "chrtGraph");
    chrtGraph->setGeometry(kChartLeft, kChartTop, 500, 500);
    chrtGraph->setFocusPolicy(Qt::NoFocus);
    btnSaveGraph = MakeButton(this, "btnSaveGraph", QStringLiteral("Save..."), {275, 520, 65, 20});
    chbxShowProjectionLines = Named(new QCheckBox(QStringLiteral("Show projection lines"), this),
                                    "chbxShowProjectionLines");
    chbxShowProjectionLines->setGeometry(360, 520, 121, 17);
    chbxShowProjectionLines->setChecked(true);
    chbxShowProjectionLines->setEnabled(false);
    chbxShowProjectionLines->hide();

    dlgOpenData = MakeFileDialog(
        this, "dlgOpenData", QFileDialog::AcceptOpen,
        {QStringLiteral("Text file (*.txt)"), QStringLiteral("All files (*)")}, QString());
    dlgSaveCalcBox = MakeFileDialog(this, "dlgSaveCalcBox", QFileDialog::AcceptSave,
                                    {QStringLiteral("Text file (*.txt)")}, QStringLiteral("txt"));
    dlgSaveGraph = MakeFileDialog(this, "dlgSaveGraph", QFileDialog::AcceptSave,
                                  {QStringLiteral("Bitmap file (*.bmp)")}, QStringLiteral("bmp"));

    // Keyboard order: "<  Back", "Next  >", the report, the report's "Save...", the chart's
    // "Save...", "Open file...", (the hidden check box), "About...".
    for (QLabel* label : findChildren<QLabel*>()) label->setFocusPolicy(Qt::NoFocus);
    gbxHelpBox->setFocusPolicy(Qt::NoFocus);
    gbxCalcBox->setFocusPolicy(Qt::NoFocus);
    setTabOrder(btnBack, btnNext);
    setTabOrder(btnNext, memoCalcBox);
    setTabOrder(memoCalcBox, btnSaveCalc);
    setTabOrder(btnSaveCalc, btnSaveGraph);
    setTabOrder(btnSaveGraph, btnData);
    setTabOrder(btnData, chbxShowProjectionLines);
    setTabOrder(chbxShowProjectionLines, btnAbout);

    connect(btnData, &QPushButton::clicked, this, &TForm1::btnDataClick);
    connect(btnNext, &QPushButton::clicked, this, &TForm1::btnNextClick);
    connect(btnBack, &QPushButton::clicked, this, &TForm1::btnBackClick);
    connect(btnSaveCalc, &QPushButton::clicked, this, &TForm1::btnSaveCalcClick);
    connect(btnSaveGraph, &QPushButton::clicked, this, &TForm1::btnSaveGraphClick);
    connect(btnAbout, &QPushButton::clicked, this, &TForm1::btnAboutClick);
    connect(chbxShowProjectionLines, &QCheckBox::clicked, this,
            &TForm1::chbxShowProjectionLinesClick);
    connect(chrtGraph, &morvik::chart::ChartWidget::resized, this, &TForm1::chrtGraphResize);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm1::FormShow() {
    if (!Shown) ResetSteps();
    Shown = true;
}

// Anchors: the chart keeps its distances to the top and bottom, the calculations box and
// its memo grow with the height, and the lower buttons keep their distance to the bottom.
void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Our own width changes need no new layout; the first size is the design size.
    if (layingOut_ || !event->oldSize().isValid() || event->oldSize().height() == height()) return;
    layingOut_ = true;
    const int dy = height() - kDesignClientHeight;
    gbxCalcBox->setGeometry(16, 304, 241, 209 + dy);
    memoCalcBox->setGeometry(8, 16, 225, 185 + dy);
    btnSaveCalc->move(16, 520 + dy);
    btnAbout->move(192, 520 + dy);
    btnSaveGraph->move(275, 520 + dy);
    chbxShowProjectionLines->move(360, 520 + dy);
    const int chartHeight = height() - kChartTop - kChartBottomGap;
    chrtGraph->setGeometry(kChartLeft, kChartTop, chrtGraph->width(), chartHeight);
    layingOut_ = false;
    // The chart has made itself square by now; the width follows it at once.
    FormConstrainedResize();
}

void TForm1::chrtGraphResize() {
    // The chart makes itself square.
    if (chrtGraph->width() != chrtGraph->height())
        chrtGraph->resize(chrtGraph->height(), chrtGraph->height());
}

void TForm1::FormConstrainedResize() {
    // Only the height can change: the width follows the square chart.
    const int width = kChartLeft + chrtGraph->width() + kChartRightGap;
    if (minimumWidth() != width || maximumWidth() != width) setFixedWidth(width);
}
