#pragma once
// The calculation report: a list of whole lines shown in a read-only, word-wrapping memo.
// The list is the source of truth; wrapping is display only, so appending a line or
// replacing the line at an index always addresses whole report lines.

#include <QPlainTextEdit>
#include <QStringList>

namespace morvik {

class ReportMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit ReportMemo(QWidget* parent = nullptr);

    const QStringList& Lines() const { return lines_; }
    void ClearLines();
    void AppendLines(const QStringList& lines);
    void ReplaceLine(int index, const QString& line);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Rebuilds the shown text from the lines; deferred while the memo is hidden (a step
    // computes behind the process label), so a step's many appends cost one rebuild.
    void Refresh();
    QStringList lines_;
    bool stale_ = false;
};

}  // namespace morvik
