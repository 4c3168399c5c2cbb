#include "windows/report_memo.h"

namespace morvik {

ReportMemo::ReportMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setUndoRedoEnabled(false);
}

void ReportMemo::ClearLines() {
    lines_.clear();
    Refresh();
}

void ReportMemo::AppendLines(const QStringList& lines) {
    lines_.append(lines);
    Refresh();
}

void ReportMemo::ReplaceLine(int index, const QString& line) {
    if (index < 0 || index >= lines_.size()) return;
    lines_[index] = line;
    Refresh();
}

void ReportMemo::showEvent(QShowEvent* event) {
    if (stale_) Refresh();
    QPlainTextEdit::showEvent(event);
}

void ReportMemo::Refresh() {
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    stale_ = false;
    setPlainText(lines_.join(QLatin1Char('\n')));
}

}  // namespace morvik
