#include "tools/demo/DemoCards.h"

#include <QDateTime>
#include <QStringList>

namespace quillorn::demo {

namespace {

const QStringList kPraise = {
    QStringLiteral("Очень вкусно и быстро, персонал приветливый."),
    QStringLiteral("Хорошее место, приходим всей семьёй уже второй год."),
    QStringLiteral("Цены приемлемые, порции большие. Рекомендую!"),
    QStringLiteral("Немного шумно вечером, но кухня отличная."),
    QStringLiteral("Ждали заказ сорок минут, \"зато\" всё было горячим."),
    QStringLiteral("Чисто, уютно, удобная парковка рядом."),
    QStringLiteral("Брали навынос;\tупаковали аккуратно.\nСпасибо!"),
};
const QStringList kNames = {
    QStringLiteral("Анна"),      QStringLiteral("Игорь"),    QStringLiteral("Мария"),
    QStringLiteral("Олег"),      QStringLiteral("Светлана"), QStringLiteral("Дмитрий"),
    QStringLiteral("Екатерина"),
};

standin::StandInReview Review(const QString& branch, int i, const QDateTime& newest) {
    standin::StandInReview review;
    review.id = QStringLiteral("demo-%1-%2").arg(branch).arg(i);
    review.text = kPraise[i % kPraise.size()];
    review.dateCreated = newest.addSecs(-3600LL * 7 * i).toString(Qt::ISODate);
    review.rating = 5 - (i % 4 == 3 ? 2 : i % 2);
    review.likes = i % 5;
    if (i % 6 != 5) {
        review.user = standin::StandInUser{QStringLiteral("demo-user-%1").arg(i % 40),
                                           kNames[i % kNames.size()], 1 + i % 17};
    }
    return review;
}

standin::StandInCard Card(const QString& path, const QString& branch, const QString& name,
                          const QString& address, const QString& city) {
    standin::StandInCard card;
    card.path = path;
    card.branchId = branch;
    card.key = QStringLiteral("demo-key-") + branch;
    card.name = name;
    card.addressName = address;
    card.admDiv = {{QStringLiteral("city"), city}};
    return card;
}

}  // namespace

QList<standin::StandInCard> DemoCards() {
    const QDateTime newest(QDate(2026, 11, 30), QTime(18, 45), Qt::OffsetFromUTC, 3 * 3600);

    standin::StandInCard cafe =
        Card(QStringLiteral("/rostov/firm/70000001000000101"), QStringLiteral("70000001000000101"),
             QStringLiteral("Кафе \"Донская кухня\""), QStringLiteral("Большая Садовая, 47"),
             QStringLiteral("Ростов-на-Дону"));
    cafe.generalRating = QStringLiteral("4.6");
    cafe.ratingCount = QStringLiteral("318");
    for (int i = 0; i < 120; ++i)
        cafe.reviews << Review(cafe.branchId, i, newest);

    standin::StandInCard salon =
        Card(QStringLiteral("/rostov/firm/70000001000000202"), QStringLiteral("70000001000000202"),
             QStringLiteral("Салон красоты Лира"), QStringLiteral("Пушкинская, 12"),
             QStringLiteral("Ростов-на-Дону"));
    salon.generalRating = QStringLiteral("4.9");
    salon.ratingCount = QStringLiteral("57");
    for (int i = 0; i < 7; ++i) {
        standin::StandInReview review = Review(salon.branchId, i, newest.addDays(-2));
        review.officialAnswer = QStringLiteral("Спасибо за отзыв! Ждём вас снова.");
        salon.reviews << review;
    }

    standin::StandInCard shop = Card(
        QStringLiteral("/taganrog/firm/70000001000000303"), QStringLiteral("70000001000000303"),
        QStringLiteral("Хозтовары"), QStringLiteral("Петровская, 3"), QStringLiteral("Таганрог"));
    shop.generalRating = QStringLiteral("0");
    shop.ratingCount = QStringLiteral("0");

    QList<standin::StandInCard> cards = {cafe, salon, shop};
    const struct {
        const char* branch;
        const char* name;
        const char* address;
        int reviews;
    } small[] = {
        {"70000001000000404", "Аптека \"Здоровье\"", "Ворошиловский проспект, 20", 12},
        {"70000001000000505", "Автосервис на Западном", "Малиновского, 9", 4},
        {"70000001000000606", "Пекарня у дома", "Соборный переулок, 5", 23},
    };
    for (const auto& firm : small) {
        const QString branch = QString::fromLatin1(firm.branch);
        standin::StandInCard card =
            Card(QStringLiteral("/rostov/firm/") + branch, branch, QString::fromUtf8(firm.name),
                 QString::fromUtf8(firm.address), QStringLiteral("Ростов-на-Дону"));
        for (int i = 0; i < firm.reviews; ++i)
            card.reviews << Review(branch, i, newest.addDays(-5));
        cards << card;
    }
    return cards;
}

}  // namespace quillorn::demo
