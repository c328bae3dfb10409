#include "platform/LocaleServices.h"
#include "standin/PinnedLocale.h"

#include <gtest/gtest.h>

namespace quillorn {
namespace {

TEST(LocaleServicesTest, StampIsDateSpaceTimeAndTheDateAloneAtExactMidnight) {
    const standin::PinnedLocale locale;
    const QDate day(2025, 12, 31);
    EXPECT_EQ(locale.FormatTimeStamp(QDateTime(day, QTime(9, 5, 7))), "31.12.2025 9:05:07");
    EXPECT_EQ(locale.FormatTimeStamp(QDateTime(day, QTime(0, 0, 0, 500))), "31.12.2025");
    EXPECT_EQ(locale.FormatTimeStamp(QDateTime(day, QTime(0, 1, 0))), "31.12.2025 0:01:00");
    EXPECT_EQ(locale.FormatTimeStamp(QDateTime(day, QTime(12, 0, 0))), "31.12.2025 12:00:00");

    const SystemLocale system;
    const QDateTime midnight(day, QTime(0, 0));
    EXPECT_EQ(system.FormatTimeStamp(midnight),
              QLocale::system().toString(day, system.DateFormat()));
    EXPECT_TRUE(system.FormatTimeStamp(QDateTime(day, QTime(13, 14, 15))).contains("14"));
}

TEST(LocaleServicesTest, TimeZoneIsRemovedFromTheLongTimeFormat) {
    EXPECT_EQ(WithoutTimeZone("HH:mm:ss t"), "HH:mm:ss");
    EXPECT_EQ(WithoutTimeZone("h:mm:ss AP t"), "h:mm:ss AP");
    EXPECT_EQ(WithoutTimeZone("t HH:mm:ss"), "HH:mm:ss");
    EXPECT_EQ(WithoutTimeZone("HH'h't mm"), "HH'h' mm");
    EXPECT_FALSE(SystemLocale().TimeFormat().contains('t'));
}

TEST(LocaleServicesTest, ComparisonIgnoresCaseAndIsAConsistentOrder) {
    const standin::PinnedLocale pinned;
    const SystemLocale system;
    for (const LocaleServices* locale : {static_cast<const LocaleServices*>(&pinned),
                                         static_cast<const LocaleServices*>(&system)}) {
        EXPECT_EQ(locale->CompareIgnoringCase("AbC-Ёж", "aBc-ёЖ"), 0);
        EXPECT_NE(locale->CompareIgnoringCase("101", "99"), 0);
        EXPECT_NE(locale->CompareIgnoringCase("a\x01", "a"), 0);
        EXPECT_LT(locale->CompareIgnoringCase("", "0"), 0);
        const int forward = locale->CompareIgnoringCase("abc", "abd");
        EXPECT_LT(forward, 0);
        EXPECT_GT(locale->CompareIgnoringCase("ABD", "abc"), 0);
    }
    EXPECT_EQ(pinned.DecimalSeparator(), ",");
    EXPECT_EQ(system.DecimalSeparator(), QLocale::system().decimalPoint());
}

}  // namespace
}  // namespace quillorn
