#include "ui/status_log.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace statuslog {

void appendRunOn(QPlainTextEdit& log, const QString& text, qsizetype paragraphChars) {
    QTextCursor c(log.document());
    c.movePosition(QTextCursor::End);
    if (paragraphChars <= 0) {
        c.insertText(text);
        return;
    }
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype room = paragraphChars - (c.block().length() - 1);
        if (room <= 0) {
            c.insertBlock();
            continue;
        }
        c.insertText(text.mid(at, room));
        at += room;
    }
}

}  // namespace statuslog
