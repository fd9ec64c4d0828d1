#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

constexpr int kPixelHeight = 12;

// The first family that the font database knows, so that the choice is visible in
// QFont::family(); the rest stay as fallbacks for glyphs the first one lacks.
QFont pick(const QStringList& families, QFont::StyleHint hint) {
    QStringList order;
    const QStringList known = QFontDatabase::families();
    for (const QString& f : families)
        if (known.contains(f, Qt::CaseInsensitive)) order << f;
    for (const QString& f : families)
        if (!order.contains(f)) order << f;
    QFont font;
    font.setFamilies(order);
    font.setStyleHint(hint);
    font.setPixelSize(kPixelHeight);
    return font;
}

}  // namespace

QFont windowFont() {
    QFont font = pick(
        {"IPAPGothic", "IPA Pゴシック", "Noto Sans CJK JP", "VL PGothic", "TakaoPGothic", "IPAGothic", "DejaVu Sans"},
        QFont::SansSerif);
    // IPA P Gothic's Latin letters run wider than those the layout was drawn with; a slight
    // condensing keeps captions such as "LocalOutput(MHz)" clear of the edits beside them.
    font.setStretch(93);
    return font;
}

QFont fixedPitchFont() {
    QFont font = pick({"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", "VL Gothic", "TakaoGothic",
                       "DejaVu Sans Mono", "Monospace"},
                      QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}
