#include "support/window_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

#include "chart/view/chart_widget.h"
#include "windows/form2.h"

namespace morvik::testing {

ShownForm::ShownForm() : form_(std::make_unique<TForm1>()) {
    about_ = std::make_unique<TForm2>(form_.get());
    form_->SetAboutWindow(about_.get());
    form_->show();
    if (!QTest::qWaitForWindowExposed(form_.get())) qWarning("main window not exposed");
}

ShownForm::~ShownForm() {
    about_.reset();
    form_.reset();
}

QString DataFiles::write(const QString& name, const QByteArray& bytes) {
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test data file");
    }
    return file.fileName();
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray NumberedVectors(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += QByteArray::number(i) + ' ' + QByteArray::number(2 * i + 1) + '\n';
    return bytes;
}

MessageBoxAnswerer::MessageBoxAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start(10);
}

void MessageBoxAnswerer::poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    seen_.push_back({box->windowTitle(), box->text(), box->icon()});
    // Questions (such as replacing an existing file) are answered "Yes".
    QAbstractButton* button = box->button(QMessageBox::Yes);
    if (button == nullptr) button = box->defaultButton();
    if (button == nullptr && !box->buttons().isEmpty()) button = box->buttons().first();
    if (button != nullptr) button->click();
}

FileDialogAnswerer::FileDialogAnswerer(QString name) : name_(std::move(name)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start(10);
}

void FileDialogAnswerer::poll() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    if (answered_) {
        // The dialog refused the name: cancel it rather than hang the test.
        qWarning("the file dialog did not take \"%s\"", qPrintable(name_));
        dialog->reject();
        return;
    }
    answered_ = true;
    if (name_.isEmpty()) {
        timer_.stop();
        dialog->reject();
        return;
    }
    // Typed into the name field, as a user would.
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        edit->setText(name_);
    } else {
        dialog->selectFile(name_);
    }
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept is protected
}

AnimationRecorder::AnimationRecorder(TForm1& form) {
    previous_ = SetPauseFunction([this](int ms) {
        events_.append(QStringLiteral("pause %1").arg(ms));
        if (onPause) onPause(ms);
    });
    connection_ = QObject::connect(form.Chart(), &chart::ChartWidget::repainted,
                                   [this] { events_.append(QStringLiteral("repaint")); });
}

AnimationRecorder::~AnimationRecorder() {
    QObject::disconnect(connection_);
    SetPauseFunction(previous_);
}

}  // namespace morvik::testing
