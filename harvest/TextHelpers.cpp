#include "harvest/TextHelpers.h"

namespace quillorn {

QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker) {
    const qsizetype start = text.indexOf(startMarker, 0, Qt::CaseSensitive);
    if (start < 0)
        return {};
    const qsizetype valueStart = start + startMarker.size();
    if (endMarker.isEmpty())
        return text.mid(valueStart);
    const qsizetype end = text.indexOf(endMarker, valueStart, Qt::CaseSensitive);
    if (end < 0)
        return {};
    return text.mid(valueStart, end - valueStart);
}

QString ReplaceAll(const QString& text, const QString& oldPattern, const QString& newPattern) {
    if (oldPattern.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype hit = text.indexOf(oldPattern, from, Qt::CaseSensitive);
        if (hit < 0)
            break;
        if (result.isNull())
            result.reserve(text.size());
        result.append(QStringView(text).mid(from, hit - from));
        result.append(newPattern);
        from = hit + oldPattern.size();
    }
    if (from == 0)
        return text;  // nothing matched: share the original
    result.append(QStringView(text).mid(from));
    return result;
}

QString QuotesToApostrophes(const QString& text) {
    return ReplaceAll(text, QStringLiteral("\""), QStringLiteral("'"));
}

}  // namespace quillorn
