#include "platform/LocaleServices.h"

#include "platform/SystemCodePage.h"

namespace quillorn {

QString FormatTimeStampWith(const QLocale& locale, const QDateTime& local,
                            const QString& dateFormat, const QString& timeFormat) {
    const QDate date = local.date();
    const QTime time = local.time();
    const QString dateText = locale.toString(date, dateFormat);
    // Milliseconds do not count: a line in the first second after midnight shows the date alone.
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return dateText;
    return dateText + QLatin1Char(' ') + locale.toString(time, timeFormat);
}

QString WithoutTimeZone(const QString& timeFormat) {
    QString out;
    bool quoted = false;
    for (const QChar c : timeFormat) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out.append(c);
    }
    // The zone usually stands after a space ("HH:mm:ss t"); drop what is left around it.
    out = out.trimmed();
    while (out.contains(QLatin1String("  ")))
        out.replace(QLatin1String("  "), QLatin1String(" "));
    return out;
}

SystemLocale::SystemLocale()
    : dateFormat_(QLocale::system().dateFormat(QLocale::ShortFormat)),
      timeFormat_(WithoutTimeZone(QLocale::system().timeFormat(QLocale::LongFormat))),
      decimalSeparator_(QLocale::system().decimalPoint()),
      locale_(QLocale::system()),
      collator_(QLocale::system()),
      codePage_(SystemCodePage()) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(false);
    collator_.setIgnorePunctuation(false);
}

QDateTime SystemLocale::LocalNow() const {
    return QDateTime::currentDateTime();
}

QString SystemLocale::FormatTimeStamp(const QDateTime& local) const {
    return FormatTimeStampWith(locale_, local, dateFormat_, timeFormat_);
}

QString SystemLocale::DecimalSeparator() const {
    return decimalSeparator_;
}

int SystemLocale::CompareIgnoringCase(const QString& a, const QString& b) const {
    const int byCollation = collator_.compare(a, b);
    if (byCollation != 0)
        return byCollation;
    // A collation can call texts equal that differ in more than letter case (ignorable
    // characters); such texts are different ids, so they are ordered by case-folded code units.
    return QString::compare(a, b, Qt::CaseInsensitive);
}

}  // namespace quillorn
