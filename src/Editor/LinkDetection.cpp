#include "Editor/LinkDetection.h"

#include <QRegularExpression>

#include <algorithm>

namespace quorrin::links {
namespace {

const QRegularExpression& pattern()
{
    // Web addresses run to the next blank or CJK text; e-mail addresses are
    // the usual local@domain.tld.
    static const QRegularExpression expression(
        QStringLiteral(R"((?<web>\b(?:https?://|www\.)[^\s<>"\x{3000}-\x{303F}\x{FF01}-\x{FF60}\x{4E00}-\x{9FFF}\x{200B}\x{FFFC}]+))"
                       R"(|(?<mail>\b[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\.[A-Za-z0-9-]+)*\.[A-Za-z]{2,}\b))"),
        QRegularExpression::CaseInsensitiveOption);
    return expression;
}

// Drops trailing sentence punctuation, and a closing bracket that has no
// opening one inside the address.
int trimmedLength(QStringView address)
{
    int length = int(address.size());
    while (length > 0) {
        const QChar last = address[length - 1];
        if (QStringLiteral(".,;:!?'\"").contains(last)) {
            --length;
            continue;
        }
        if (last == QLatin1Char(')') && address.left(length).count(QLatin1Char('('))
                                            < address.left(length).count(QLatin1Char(')'))) {
            --length;
            continue;
        }
        break;
    }
    return length;
}

} // namespace

std::vector<DetectedLink> detect(const QString& text)
{
    std::vector<DetectedLink> found;
    // Every address holds a "://", an "@" or a "www.": most lines of a long
    // document hold none, and are not given to the expression at all.
    if (!text.contains(u':') && !text.contains(u'@') && !text.contains(QLatin1String("www."), Qt::CaseInsensitive))
        return found;
    auto matches = pattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        if (match.hasCaptured(QStringLiteral("web"))) {
            const int start = int(match.capturedStart(QStringLiteral("web")));
            const int length = trimmedLength(match.capturedView(QStringLiteral("web")));
            const QString address = text.mid(start, length);
            const bool bare = address.startsWith(QStringLiteral("www."), Qt::CaseInsensitive);
            const bool schemed = address.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive)
                || address.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
            // Trimming may leave no address at all ("www., or" keeps only
            // "www"), and an address that is only its scheme or "www."
            // links nowhere.
            const int prefix = bare ? 4 : int(address.indexOf(QStringLiteral("://"))) + 3;
            if ((bare || schemed) && length > prefix)
                found.push_back({start, length, bare ? QStringLiteral("http://") + address : address});
        } else {
            const int start = int(match.capturedStart(QStringLiteral("mail")));
            const QString address = match.captured(QStringLiteral("mail"));
            found.push_back({start, int(address.size()), QStringLiteral("mailto:") + address});
        }
    }
    return found;
}

void markAddresses(AttributedString& text)
{
    for (const DetectedLink& link : detect(text.string())) {
        bool linked = false;
        for (int i = link.start; i < link.start + link.length && !linked; ++i)
            linked = text.customAt(i, attribute).has_value();
        if (!linked)
            text.setCustom(link.start, link.length, attribute, link.url);
    }
}

bool isAutomatic(const QString& url, QStringView text)
{
    QStringView shown(url);
    if (shown.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        shown = shown.mid(7);
    else if (text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive)
             && shown.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive))
        shown = shown.mid(7);
    // An address cut or extended by typing still begins like the address.
    const qsizetype common = std::min<qsizetype>({4, shown.size(), text.size()});
    return common > 0 && text.left(common).compare(shown.left(common), Qt::CaseInsensitive) == 0;
}

bool isOpenable(const QUrl& url)
{
    if (!url.isValid() || url.isLocalFile())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QStringLiteral("http") || scheme == QStringLiteral("https"))
        return !url.host().isEmpty();
    if (scheme == QStringLiteral("mailto"))
        return url.path().contains(QLatin1Char('@'));
    return false;
}

} // namespace quorrin::links
