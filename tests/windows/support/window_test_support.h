#pragma once
// Shared helpers of the window tests: a shown main window, data files in a temporary folder,
// answering modal dialogs, and recording the animation's repaints and pauses.

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <vector>

#include "windows/form1.h"
#include "windows/pause.h"

namespace morvik::testing {

// A main window as the program shows it, with its About window.
class ShownForm {
  public:
    ShownForm();
    ~ShownForm();
    TForm1& form() { return *form_; }
    template <typename T>
    T* control(const char* name) const {
        return form_->findChild<T*>(QString::fromLatin1(name));
    }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }
    QLabel* label(const char* name) const { return control<QLabel>(name); }

  private:
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<QWidget> about_;
};

// Writes a data file into a temporary folder that lives as long as the object.
class DataFiles {
  public:
    QString write(const QString& name, const QByteArray& bytes);
    QString path(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
};

// The whole contents of a file, or nothing when it cannot be read.
QByteArray ReadAll(const QString& path);

// Generates "x y\n" lines of the vectors (i, 2i + 1) for i = 1..count.
QByteArray NumberedVectors(int count);

// Answers the next modal message boxes by pressing "Yes" or their default-or-first button, and
// remembers what they said.
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer();
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };
    const std::vector<Seen>& seen() const { return seen_; }

  private:
    void poll();
    QTimer timer_;
    std::vector<Seen> seen_;
};

// Answers the next modal file dialog: confirms it with the given name, typed as a user
// would type it, or cancels it when the name is empty.
class FileDialogAnswerer {
  public:
    explicit FileDialogAnswerer(QString name);
    bool answered() const { return answered_; }

  private:
    void poll();
    QString name_;
    QTimer timer_;
    bool answered_ = false;
};

// Replaces the pause function while alive. Records "repaint" for every paint of the chart and
// "pause N" for every pause, and lets a test look at the window at every pause.
class AnimationRecorder {
  public:
    explicit AnimationRecorder(TForm1& form);
    ~AnimationRecorder();
    const QStringList& events() const { return events_; }
    void clear() { events_.clear(); }
    std::function<void(int)> onPause;

  private:
    QStringList events_;
    PauseFunction previous_;
    QMetaObject::Connection connection_;
};

}  // namespace morvik::testing
