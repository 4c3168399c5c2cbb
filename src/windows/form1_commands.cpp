// The window's own commands: opening a data file, saving the report and the chart, About.
#include <QBuffer>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QStringEncoder>

#include "chart/view/chart_widget.h"
#include "windows/form1.h"
#include "windows/report_memo.h"
#include "windows/safe_file.h"

namespace {

// Shows a file dialog, offering the name chosen last; returns the confirmed path or "".
QString AskForFile(QFileDialog* dialog) {
    if (dialog->exec() != QDialog::Accepted) return QString();
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty()) return QString();
    dialog->selectFile(files.first());
    return files.first();
}

}  // namespace

void TForm1::btnDataClick() {
    const QString path = AskForFile(dlgOpenData);
    if (!path.isEmpty()) OpenFile(path);
}

void TForm1::OpenFile(const QString& path) {
    ClearData();
    ResetSteps();
    FileName = path;
    lblSourceFile->setText(QFileInfo(FileName).fileName());
    lblSourceFile->adjustSize();
    RunStep();
}

void TForm1::btnSaveCalcClick() {
    const QString path = AskForFile(dlgSaveCalcBox);
    if (path.isEmpty()) return;
    // Whole report lines, each ended by CR LF, in the system's encoding, without a BOM.
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    QByteArray bytes;
    for (const QString& line : memoCalcBox->Lines()) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    }
    const QString error = morvik::WriteFileSafely(path, bytes);
    if (!error.isEmpty()) QMessageBox::critical(this, windowTitle(), error);
}

void TForm1::btnSaveGraphClick() {
    const QString path = AskForFile(dlgSaveGraph);
    if (path.isEmpty()) return;
    QByteArray bytes;
    {
        const QImage image = chrtGraph->RenderImage().convertToFormat(QImage::Format_RGB32);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "BMP");
        if (!writer.write(image)) {
            QMessageBox::critical(this, windowTitle(), QStringLiteral("Stream write error."));
            return;
        }
    }
    const QString error = morvik::WriteFileSafely(path, bytes);
    if (!error.isEmpty()) QMessageBox::critical(this, windowTitle(), error);
}

void TForm1::btnAboutClick() {
    if (auto* about = qobject_cast<QDialog*>(aboutWindow_)) about->exec();
}

void TForm1::chbxShowProjectionLinesClick() {
    ChartModel().Series4.SetActive(chbxShowProjectionLines->isChecked());
}
