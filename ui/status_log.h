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

struct Limits {
    // A run of bytes starts a new line only after this many characters: 64 KiB, rounded up to
    // a whole "XX " byte.
    qsizetype lineChars = 3 * 21846;
    // Up to this length of line appended text shows at once.
    qsizetype promptChars = 8192;
};

class StatusLog {
public:
    explicit StatusLog(QPlainTextEdit& edit, Limits limits = {});
    StatusLog(const StatusLog&) = delete;
    StatusLog& operator=(const StatusLog&) = delete;

    // Runs on in the current line; after a whole line it starts a new one.
    void appendRunOn(const QString& text);
    // A line of its own, after every byte appended before it.
    void appendLine(const QString& line);
    void clear();
    // Characters appended but not in the edit yet.
    qsizetype heldChars() const { return held_.size(); }

private:
    qsizetype currentLineChars() const;
    qsizetype roomInLine() const;
    void putSome();  // held text into the edit, up to the end of the current line
    void scheduleHeld();

    QPlainTextEdit& edit_;
    Limits limits_;
    QString held_;
    QTimer holdTimer_;
    qint64 lastPutMs_ = 0;   // how long the last append into the edit took
    bool lineEnded_ = false;  // the last paragraph is a whole line: bytes start a new one
};

}  // namespace statuslog
