#include "ui/status_log.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace statuslog {
namespace {

// Held text waits at least this long, and at least this many times as long as the last append
// took, so that a long line costs the window a bounded share of its time.
constexpr int kMinHoldMs = 50;
constexpr int kHoldFactor = 3;
// A run of bytes starts a new line only after this many characters: 64 KiB, rounded up to a
// whole "XX " byte.
constexpr qsizetype kLineChars = 3 * 21846;
// Up to this length of line appended text shows at once.
constexpr qsizetype kPromptChars = 8192;

}  // namespace

StatusLog::StatusLog(QPlainTextEdit& edit) : edit_(edit) {
    edit_.setUndoRedoEnabled(false);  // a log is never undone, and undo would keep every append
    // Hexadecimal digits and plain lines need no shaping; skipping it halves what laying out a
    // long line costs.
    QFont font = edit_.font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    edit_.setFont(font);
    holdTimer_.setSingleShot(true);
    QObject::connect(&holdTimer_, &QTimer::timeout, &edit_, [this] {
        putSome();
        scheduleHeld();
    });
}

void StatusLog::appendRunOn(const QString& text) {
    held_ += text;
    if (currentLineChars() + held_.size() <= kPromptChars || held_.size() >= roomInLine()) putSome();
    scheduleHeld();
}

void StatusLog::appendLine(const QString& line) {
    while (!held_.isEmpty()) putSome();
    holdTimer_.stop();
    edit_.appendPlainText(line);
    lineEnded_ = true;
}

void StatusLog::clear() {
    held_.clear();
    holdTimer_.stop();
    edit_.clear();
    lineEnded_ = false;
}

qsizetype StatusLog::currentLineChars() const { return lineEnded_ ? 0 : edit_.document()->lastBlock().length() - 1; }

qsizetype StatusLog::roomInLine() const {
    const qsizetype used = currentLineChars();
    return used >= kLineChars ? kLineChars : kLineChars - used;
}

void StatusLog::putSome() {
    if (held_.isEmpty()) return;
    QElapsedTimer took;
    took.start();
    const qsizetype room = roomInLine();
    qsizetype take = std::min(room, held_.size());
    if (take < held_.size()) {
        // A cut falls between bytes, after a blank.
        const qsizetype blank = held_.lastIndexOf(QLatin1Char(' '), take - 1);
        if (blank >= 0) take = blank + 1;
    }
    QTextCursor c(edit_.document());
    c.movePosition(QTextCursor::End);
    if (lineEnded_ || currentLineChars() >= kLineChars) c.insertBlock();
    lineEnded_ = false;
    c.insertText(held_.left(take));
    held_.remove(0, take);
    edit_.verticalScrollBar()->setValue(edit_.verticalScrollBar()->maximum());
    lastPutMs_ = took.elapsed();
}

void StatusLog::scheduleHeld() {
    if (held_.isEmpty()) {
        holdTimer_.stop();
        return;
    }
    // More than a line is held only when text came faster than the edit took it: go on soon.
    const bool lineFull = held_.size() >= roomInLine();
    const int wait = lineFull ? 0 : static_cast<int>(std::max<qint64>(kMinHoldMs, kHoldFactor * lastPutMs_));
    if (!holdTimer_.isActive() || lineFull) holdTimer_.start(wait);
}

}  // namespace statuslog
