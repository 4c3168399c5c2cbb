// The About window: its fixed layout, its focus, the ways it closes (and the one that must not),
// and that it comes back where it was left. Also the pictures compiled into the program.

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "windows/artwork.h"
#include "windows/form2.h"

class TestForm2 : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void windowFrame();
    void labels_data();
    void labels();
    void okButton();
    void okIsTheOnlyFocusableControlAndHasFocusWhenShown();
    void escapeDoesNotClose();
    void closes_data();
    void closes();
    void execReturnsWhenOkIsClicked();
    void reshowKeepsWhereItWasClosed();

    void pictures_data();
    void pictures();

  private:
    void ShowAndActivate();
    QPushButton* Ok() const { return form_->findChild<QPushButton*>(QStringLiteral("btnOk")); }

    QPointer<TForm2> form_;
};

void TestForm2::init() {
    form_ = new TForm2;
}

void TestForm2::cleanup() {
    delete form_.data();
}

void TestForm2::ShowAndActivate() {
    form_->show();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_));
}

void TestForm2::windowFrame() {
    QCOMPARE(form_->objectName(), QStringLiteral("Form2"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("About"));
    QVERIFY(form_->isHidden());
    QCOMPARE(form_->size(), QSize(405, 217));
    QCOMPARE(form_->minimumSize(), QSize(405, 217));
    QCOMPARE(form_->maximumSize(), QSize(405, 217));
    QCOMPARE(form_->pos(), QPoint(385, 271));
    const Qt::WindowFlags flags = form_->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
}

void TestForm2::labels_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<bool>("bold");
    QTest::newRow("Label1") << "Morvik (ver. 0.2)" << QPoint(16, 16) << true;
    QTest::newRow("Label3") << "Principal component analysis for dimensionality reduction in 2D"
                            << QPoint(16, 32) << false;
    QTest::newRow("Label2") << "Educational tool" << QPoint(16, 48) << false;
    QTest::newRow("Label7") << "Authors:" << QPoint(16, 72) << true;
    QTest::newRow("Label4") << "Morvik developers, Morvik contributors" << QPoint(16, 88) << false;
    QTest::newRow("Label5") << "Methodology (with some changes):" << QPoint(16, 112) << true;
    QTest::newRow("Label8") << "L. I. Smith, A tutorial on Principal Components Analysis, 2002"
                            << QPoint(16, 128) << false;
    QTest::newRow("Label6")
        << "http://www.cs.otago.ac.nz/cosc453/student_tutorials/principal_components.pdf"
        << QPoint(16, 144) << false;
}

void TestForm2::labels() {
    QFETCH(QString, text);
    QFETCH(QPoint, topLeft);
    QFETCH(bool, bold);
    const auto* label = form_->findChild<QLabel*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->pos(), topLeft);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->font().pixelSize(), 11);
    // Sized to its text, on one line, inside the window; the address is plain, not a link.
    QCOMPARE(label->size(), label->sizeHint());
    QVERIFY(label->height() < 2 * label->fontMetrics().height());
    QVERIFY2(label->geometry().right() < form_->width(),
             qPrintable(QString::number(label->width())));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QVERIFY(!label->openExternalLinks());
}

void TestForm2::okButton() {
    QPushButton* ok = Ok();
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), QRect(168, 176, 75, 25));
    QVERIFY(!ok->autoDefault());
    QVERIFY(!ok->isDefault());
}

void TestForm2::okIsTheOnlyFocusableControlAndHasFocusWhenShown() {
    for (QWidget* child : form_->findChildren<QWidget*>()) {
        if (child != Ok()) QCOMPARE(child->focusPolicy(), Qt::NoFocus);
    }
    ShowAndActivate();
    QVERIFY(Ok()->hasFocus());
}

void TestForm2::escapeDoesNotClose() {
    ShowAndActivate();
    QTest::keyClick(Ok(), Qt::Key_Escape);
    QTest::keyClick(form_, Qt::Key_Escape);
    QVERIFY(form_->isVisible());
}

void TestForm2::closes_data() {
    // A key pressed on the focused OK button, or 0 for a mouse click on it, or -1 for the title
    // bar's close button.
    QTest::addColumn<int>("key");
    QTest::newRow("mouse click") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("title bar close") << -1;
}

void TestForm2::closes() {
    QFETCH(int, key);
    ShowAndActivate();
    if (key == 0)
        QTest::mouseClick(Ok(), Qt::LeftButton);
    else if (key > 0)
        QTest::keyClick(Ok(), Qt::Key(key));
    else
        QVERIFY(form_->close());
    QVERIFY(form_);  // hidden, not destroyed
    QVERIFY(form_->isHidden());
}

void TestForm2::execReturnsWhenOkIsClicked() {
    bool wasModal = false;
    QTimer::singleShot(0, form_, [this, &wasModal] {
        wasModal = form_->isModal() && QApplication::activeModalWidget() == form_;
        Ok()->click();
    });
    form_->exec();
    QVERIFY(wasModal);
    QVERIFY(form_->isHidden());
}

void TestForm2::reshowKeepsWhereItWasClosed() {
    form_->show();
    QCOMPARE(form_->pos(), QPoint(385, 271));
    form_->move(120, 64);
    Ok()->click();
    QVERIFY(form_->isHidden());
    ShowAndActivate();
    QCOMPARE(form_->pos(), QPoint(120, 64));
    QVERIFY(Ok()->hasFocus());
}

void TestForm2::pictures_data() {
    QTest::addColumn<QPixmap>("pixmap");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("corner");
    QTest::newRow("help step 3") << morvik::HelpStep3Picture()
                                 << QString::fromLatin1(morvik::kHelpStep3Resource)
                                 << QSize(225, 98) << qRgb(255, 255, 255);
    QTest::newRow("help step 4") << morvik::HelpStep4Picture()
                                 << QString::fromLatin1(morvik::kHelpStep4Resource)
                                 << QSize(225, 98) << qRgb(255, 255, 255);
    QTest::newRow("window icon") << morvik::WindowIcon().pixmap(32, 32)
                                 << QString::fromLatin1(morvik::kWindowIconResource)
                                 << QSize(32, 32) << qRgba(0, 0, 0, 0);
}

void TestForm2::pictures() {
    QFETCH(QPixmap, pixmap);
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(QRgb, corner);
    QCOMPARE(pixmap.size(), size);
    const QImage image(path);
    QCOMPARE(image.size(), size);
    // 16-colour pictures.
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QVERIFY(image.colorCount() <= 16);
    // White paper behind the formulas; the icon's background is transparent.
    QCOMPARE(image.pixel(0, 0), corner);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
