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
    for (QChar c : folded) {
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
    return pattern;
}
