#include "like_pattern.h"

#include "text_fold.h"

LikePattern LikePattern::fromLike(const QString& like) {
    LikePattern pattern;
    pattern.matchesEverything = like == u"%";
    // GLOB stops at a NUL character, which would let it match more than the pattern says.
    pattern.matchesNothing = like.contains(QChar(0));
    pattern.needsFolding = foldMatters(like);

    const QString folded = foldText(like);
    QString glob;
    glob.reserve(folded.size() + 8);
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded[i];
        // A surrogate without its other half has no UTF-8 form: toUtf8() writes '?' for it,
        // in the stored texts too, so here it must be that plain '?' and not GLOB's wildcard.
        const bool lone =
            (c.isHighSurrogate() && (i + 1 == folded.size() || !folded[i + 1].isLowSurrogate())) ||
            (c.isLowSurrogate() && (i == 0 || !folded[i - 1].isHighSurrogate()));
        if (lone) {
            glob += u"[?]";
            continue;
        }
        switch (c.unicode()) {
            case u'%':
                glob += u'*';
                break;
            case u'_':
                glob += u'?';
                break;
            case u'*':
                glob += u"[*]";
                break;
            case u'?':
                glob += u"[?]";
                break;
            case u'[':
                glob += u"[[]";
                break;
            default:
                glob += c;
        }
    }
    pattern.glob = glob.toUtf8();
    qsizetype wildcard = 0;
    while (wildcard < folded.size() && folded[wildcard] != u'%' && folded[wildcard] != u'_')
        ++wildcard;
    pattern.literalPrefix = folded.left(wildcard).toUtf8();
    pattern.literal = wildcard == folded.size();
    return pattern;
}
