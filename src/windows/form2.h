#pragma once
// The About window: names the tool, its version, its authors and the tutorial whose method the
// steps follow. Created hidden at start, shown modally, hidden again (never destroyed) on close.

#include <QDialog>

class QKeyEvent;
class QLabel;
class QPushButton;
class QShowEvent;

class TForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm2(QWidget* parent = nullptr);

  public slots:
    void btnOkClick();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* AddLabel(const char* name, int left, int top, const QString& text, bool bold);

    QPushButton* btnOk = nullptr;
};
