#pragma once
// The status log: lines of text, and received bytes that run on in one line. A paragraph of a
// plain-text edit is laid out as a whole whenever it changes, so appending to a long line costs
// the whole line. Text therefore goes in at once while its line is short, which every command's
// answer is; a line beyond that (only a flood makes one) takes its text in larger, rarer
// appends, and is cut into a new line only after 64 KiB.
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

class QPlainTextEdit;

namespace statuslog {

class StatusLog {
public:
    explicit StatusLog(QPlainTextEdit& edit);
    StatusLog(const StatusLog&) = delete;
    StatusLog& operator=(const StatusLog&) = delete;

    // Runs on in the current line; after a whole line it starts a new one.
    void appendRunOn(const QString& text);
    // A line of its own, after every byte appended before it.
    void appendLine(const QString& line);
    void clear();

private:
    qsizetype currentLineChars() const;
    qsizetype roomInLine() const;
    void putSome();  // held text into the edit, up to the end of the current line
    void scheduleHeld();

    QPlainTextEdit& edit_;
    QString held_;
    QTimer holdTimer_;
    qint64 lastPutMs_ = 0;    // how long the last append into the edit took
    bool lineEnded_ = false;  // the last paragraph is a whole line: bytes start a new one
};

}  // namespace statuslog
