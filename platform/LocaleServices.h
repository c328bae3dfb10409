// The user's regional conventions a run depends on: the local date and time and its time stamp
// text, the decimal separator, the case-insensitive comparison and the code page of files without a
// byte-order mark. SystemLocale reads them from the system locale; under test, a locale with fixed
// formats, a set clock and a chosen code page stands in.
#pragma once

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include "platform/TextEncoding.h"

namespace quillorn {

class LocaleServices {
public:
    virtual ~LocaleServices() = default;

    // The local date and time at this moment.
    virtual QDateTime LocalNow() const = 0;
    // The short date, a space and the long time without a time zone; the date alone when hours,
    // minutes and seconds are all zero.
    virtual QString FormatTimeStamp(const QDateTime& local) const = 0;
    // The decimal separator of numbers, e.g. "," or ".".
    virtual QString DecimalSeparator() const = 0;
    // Negative, zero or positive as a sorts before, equal to or after b, letter case ignored.
    // A consistent total order: sorting and bisection may rely on it.
    virtual int CompareIgnoringCase(const QString& a, const QString& b) const = 0;
    // The system's code page (SystemCodePage.h): UTF-8 or Windows-1251.
    virtual TextEncoding CodePage() const = 0;

    // The time stamp of this moment, as log lines and journal lines carry it.
    QString TimeStamp() const { return FormatTimeStamp(LocalNow()); }
};

// Shared by every implementation: the time stamp from a date format and a time format, with
// the names of months and days (where the formats use them) from locale.
QString FormatTimeStampWith(const QLocale& locale, const QDateTime& local,
                            const QString& dateFormat, const QString& timeFormat);

// A time format with its time-zone part (the letter t outside quotes) and the spaces left around
// it removed: "HH:mm:ss t" gives "HH:mm:ss".
QString WithoutTimeZone(const QString& timeFormat);

// The system locale (QLocale::system()) and the system clock; comparison by its collation. Made
// after the program has set its locale, which the code page is read from.
class SystemLocale final : public LocaleServices {
public:
    SystemLocale();

    QDateTime LocalNow() const override;
    QString FormatTimeStamp(const QDateTime& local) const override;
    QString DecimalSeparator() const override;
    int CompareIgnoringCase(const QString& a, const QString& b) const override;
    TextEncoding CodePage() const override { return codePage_; }

    // The formats in use: the short date and the long time with its time-zone part removed.
    const QString& DateFormat() const { return dateFormat_; }
    const QString& TimeFormat() const { return timeFormat_; }

private:
    QString dateFormat_;
    QString timeFormat_;
    QString decimalSeparator_;
    QLocale locale_;
    QCollator collator_;
    TextEncoding codePage_;
};

}  // namespace quillorn
