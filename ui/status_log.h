#pragma once
// Appending to the status log so that appends stay cheap however long the log grows: a
// paragraph is laid out as a whole, so a run of received bytes is cut into paragraphs of a few
// hundred characters instead of one endless one.
#include <QtGlobal>

class QPlainTextEdit;
class QString;

namespace statuslog {

inline constexpr qsizetype kParagraphChars = 768;

// Appends text at the end of the log, running on in its last paragraph. With
// paragraphChars <= 0 the text is never cut (the slow way, kept for comparison).
void appendRunOn(QPlainTextEdit& log, const QString& text, qsizetype paragraphChars = kParagraphChars);

}  // namespace statuslog
