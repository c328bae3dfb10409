// Regional conventions fixed in advance, so that time stamps, decimal separators and id order come
// out the same on every machine: the locale of tests, benchmarks and fuzz targets.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>
#include <utility>

#include "platform/LocaleServices.h"

namespace quillorn::standin {

// Fixed formats (by default "dd.MM.yyyy", "H:mm:ss" and ","), a clock the caller sets and a code
// page it chooses (Windows-1251, a Russian Windows system's, unless set otherwise). Comparison by
// Unicode case folding, the same on every machine.
class PinnedLocale final : public LocaleServices {
public:
    PinnedLocale()
        : PinnedLocale(QStringLiteral("dd.MM.yyyy"), QStringLiteral("H:mm:ss"),
                       QStringLiteral(",")) {}
    PinnedLocale(QString dateFormat, QString timeFormat, QString decimalSeparator)
        : dateFormat_(std::move(dateFormat)),
          timeFormat_(std::move(timeFormat)),
          decimalSeparator_(std::move(decimalSeparator)),
          now_(QDate(2024, 3, 5), QTime(14, 7, 9)) {}

    QDateTime LocalNow() const override { return now_; }
    QString FormatTimeStamp(const QDateTime& local) const override {
        return FormatTimeStampWith(QLocale::c(), local, dateFormat_, timeFormat_);
    }
    QString DecimalSeparator() const override { return decimalSeparator_; }
    int CompareIgnoringCase(const QString& a, const QString& b) const override {
        return QString::compare(a, b, Qt::CaseInsensitive);
    }
    TextEncoding CodePage() const override { return codePage_; }

    void SetNow(const QDateTime& local) { now_ = local; }
    void AdvanceSeconds(qint64 seconds) { now_ = now_.addSecs(seconds); }
    void SetCodePage(TextEncoding codePage) { codePage_ = codePage; }

private:
    QString dateFormat_;
    QString timeFormat_;
    QString decimalSeparator_;
    QDateTime now_;
    TextEncoding codePage_ = TextEncoding::Windows1251;
};

}  // namespace quillorn::standin
