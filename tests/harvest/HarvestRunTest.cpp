// Whole runs against the stand-in directory: both layouts, a second run, renewed keys, failing
// cards and pages, stops at every step, the interval and the proxy, and the clean-up's order.
#include "harvest/HarvestRun.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include "platform/Errors.h"
#include "platform/FolderRunLock.h"
#include "platform/LockedFile.h"
#include "platform/TextEncoding.h"
#include "tests/harvest/HarvestRunFixture.h"
#include "tests/support/TinyproxyFixture.h"
#include "tests/support/UnreplaceableFile.h"

namespace quillorn {
namespace {

using standin::StandInCard;
using standin::StandInDirectory;
using standin::StandInReview;

// Two small cards whose rows the tests spell out.
StandInCard Romashka() {
    StandInCard card;
    card.path = QStringLiteral("/moscow/firm/701");
    card.branchId = QStringLiteral("701");
    card.key = QStringLiteral("k701");
    card.name = QStringLiteral("Кафе \"Ромашка\"");
    card.geometryName = QStringLiteral("Тверская, 1");
    card.admDiv = {{QStringLiteral("city"), QStringLiteral("Москва")}};
    StandInReview first;
    first.id = QStringLiteral("a1");
    first.text = QStringLiteral("Вкусно\r\n\tи \"быстро\"");
    first.dateCreated = QStringLiteral("2023-05-17T10:20:30+03:00");
    first.likes = 2;
    first.user = standin::StandInUser{QStringLiteral("u1"), QStringLiteral("Иван"), 3};
    first.officialAnswer = QStringLiteral("Спасибо!");
    StandInReview second;
    second.id = QStringLiteral("a2");
    second.text = QStringLiteral("Так себе");
    second.dateCreated.clear();
    second.rating = 3;
    card.reviews = {first, second};
    return card;
}

StandInCard Quiet() {
    StandInCard card;
    card.path = QStringLiteral("/spb/firm/702");
    card.branchId = QStringLiteral("702");
    card.key = QStringLiteral("k702");
    card.name = QStringLiteral("Бюро");
    card.addressName = QStringLiteral("Невский, 2");
    card.admDiv = {{QStringLiteral("district_area"), QStringLiteral("Район")},
                   {QStringLiteral("settlement"), QStringLiteral("Посёлок")}};
    card.generalRating = QStringLiteral("5");
    card.ratingCount = QStringLiteral("7");
    return card;
}

using HarvestRunTest = test::HarvestRunFixture;

TEST_F(HarvestRunTest, HarvestsSeveralCardsInTheVerticalLayout) {
    const QString romashka = directory.AddCard(Romashka());
    const QString quiet = directory.AddCard(Quiet());
    host.cardLines = {QStringLiteral("  ") + romashka + QStringLiteral(" \t"), QString(), quiet};
    sink.AppendLine(QStringLiteral("greeting"));

    run.Run();

    const QString result = ResultName();
    ASSERT_FALSE(result.isEmpty());
    const QString site = directory.SiteAddress();
    const QByteArray expected =
        "\xEF\xBB\xBF" +
        (ResultTable::VerticalHeader() + "\r\n" +
         Cells({"701", "Кафе \"Ромашка\"", "Москва", "Тверская, 1", " 4,7", "42", "Иван", "3",
                site + "/user/u1", "Вкусно&#13;&#10;&#9;и 'быстро'", "2023-05-17T10:20:30+03:00",
                "17.05.2023", " 5", "2", "Спасибо!", romashka}) +
         "\r\n" +
         Cells({"701", "Кафе \"Ромашка\"", "Москва", "Тверская, 1", " 4,7", "42", "Анонимный отзыв",
                "", "", "Так себе", "", "..", " 3", "0", "", romashka}) +
         "\r\n" +
         Cells({"702", "Бюро", "Район, Посёлок", "Невский, 2", " 5", " 7", "", "", "", "", "", "",
                "", "", "", quiet}) +
         "\r\n")
            .toUtf8();
    EXPECT_EQ(Read(result), expected);

    const QStringList logs = Files(QStringLiteral("log-*.txt"));
    ASSERT_EQ(logs.size(), 1);
    const QString workbookPath = Path(QString(result).replace(".tab", ".xlsx"));
    const QStringList messages = Messages();
    const QStringList expectedMessages = {
        ": Данные будут записываться в файл " + Path(result),
        ": Загружаем страницу " + romashka,
        ": Загружаем отзывы, страница 1",
        ": Загружаем страницу " + quiet,
        ": Загружаем отзывы, страница 1",
        ": Работа завершена, лог записан в " + Path(logs.front()),
        ": Запускаем формирование файла Excel...",
        ": Файл сформирован, в нем 4 строк",
        ": Открываем файл с результатами " + workbookPath,
        ": Ставим повторный запуск выгрузки на таймер через, минут: 1"};
    EXPECT_EQ(messages, expectedMessages);
    // The log file holds the panel up to its end line, in the single-byte code page.
    EXPECT_EQ(Read(logs.front()), EncodeWindows1251(sink.Lines().mid(0, 6).join("\r\n") + "\r\n"));
    EXPECT_EQ(opener.opened, QStringList{workbookPath});
    EXPECT_TRUE(QFile::exists(workbookPath));
    EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), QByteArray("a1\r\na2\r\n"));

    // One connection per visit to a host: the client changes peers between site and feed.
    EXPECT_EQ(
        directory.RequestLines(),
        QStringList(
            {"site GET /moscow/firm/701", "api GET /2.0/branches/701/reviews?offset=0&key=k701",
             "site GET /spb/firm/702", "api GET /2.0/branches/702/reviews?offset=0&key=k702"}));
    EXPECT_EQ(directory.SiteConnections(), 2);
    EXPECT_EQ(directory.ApiConnections(), 2);
    EXPECT_EQ(directory.Requests().front().request.Header("Accept-Language"),
              QByteArray("ru-RU,ru;q=0.8,en-US;q=0.5,en;q=0.3"));
    EXPECT_EQ(host.events, QStringList({"DisableRunControls", "ProgressMaximum 3",
                                        "EnableRunControls", "ArmRepeat 60000"}));
    EXPECT_EQ(clock.TotalSlept(), 200u);  // the two feed pages' pauses, nothing else
}

TEST_F(HarvestRunTest, HarvestsSeveralCardsInThePerCardLayout) {
    const QString romashka = directory.AddCard(Romashka());
    const QString quiet = directory.AddCard(Quiet());
    host.vertical = false;
    host.cardLines = {romashka, quiet};

    run.Run();

    const QByteArray expected =
        "\xEF\xBB\xBF" +
        (ResultTable::PerCardHeader() + "\r\n" +
         Cells({"701", "Кафе \"Ромашка\"", "Москва", "Тверская, 1", " 4,7", "42", romashka,
                "Вкусно&#13;&#10;&#9;и 'быстро'", "Так себе"}) +
         "\r\n" + Cells({"702", "Бюро", "Район, Посёлок", "Невский, 2", " 5", "7", quiet}) + "\r\n")
            .toUtf8();
    EXPECT_EQ(Read(ResultName()), expected);
    EXPECT_EQ(Messages().filter(QStringLiteral("Файл сформирован")),
              QStringList{": Файл сформирован, в нем 3 строк"});
}

TEST_F(HarvestRunTest, SecondRunSkipsEveryReviewAndSendsTheFirstRunsCookie) {
    const QString romashka = directory.AddCard(Romashka());
    host.cardLines = {romashka};
    run.Run();
    const QString firstResult = ResultName();
    directory.ClearRequests();
    QFile::remove(Path(firstResult));
    clock.Advance(1000);  // the next run's files get other numbers
    host.noReviewsNoWrites = true;
    host.repeatChecked = false;

    run.Run();

    EXPECT_EQ(Messages(),
              QStringList({": в файле IdsDB.dat взяты ID отзывов, которые не будут загружаться. "
                           "Их количество: 2",
                           ": Данные будут записываться в файл " + Path(ResultName()),
                           ": Загружаем страницу " + romashka, ": Загружаем отзывы, страница 1",
                           ": пропускаем отзыв a1, он выгружен ранее",
                           ": пропускаем отзыв a2, он выгружен ранее",
                           ": Работа завершена, лог записан в " +
                               Path(Files(QStringLiteral("log-*.txt")).last())}));
    // Header only: no workbook is made of it.
    EXPECT_EQ(Read(ResultName()), "\xEF\xBB\xBF" + ResultTable::VerticalHeader().toUtf8() + "\r\n");
    EXPECT_EQ(Files(QStringLiteral("*.xlsx")).size(), 1);  // the first run's only
    EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), QByteArray("a1\r\na2\r\n"));
    EXPECT_TRUE(
        directory.Requests().front().request.Header("Cookie").contains("_2gis_webapi_session=s1"));
}

TEST_F(HarvestRunTest, ReviewIdsWithLineBreaksAreRememberedAcrossRuns) {
    StandInCard card = Romashka();
    card.reviews[0].id = QStringLiteral("a\r\n1");
    card.reviews[1].id = QStringLiteral("a\n2");
    host.cardLines = {directory.AddCard(card)};
    run.Run();
    ASSERT_EQ(DataRows().size(), 2);
    EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), QByteArray("a&#10;2\r\na&#13;&#10;1\r\n"));
    clock.Advance(1000);

    run.Run();

    EXPECT_EQ(Messages().filter(QStringLiteral("он выгружен ранее")),
              QStringList({": пропускаем отзыв a&#13;&#10;1, он выгружен ранее",
                           ": пропускаем отзыв a&#10;2, он выгружен ранее"}));
}

TEST_F(HarvestRunTest, ReadsABigCardWithARenewedKeyAcrossThreePages) {
    const QString big = directory.AddCard(test::ManyReviewsCard(QStringLiteral("800"), 120));
    directory.RenewKey(QStringLiteral("800"), QStringLiteral("fresh"));
    host.cardLines = {big};

    run.Run();

    EXPECT_EQ(
        directory.RequestLines(),
        QStringList({"site GET /firm/800", "api GET /2.0/branches/800/reviews?offset=0&key=k800",
                     "api GET /2.0/branches/800/reviews?offset=0&key=fresh",
                     "api GET /2.0/branches/800/reviews?offset=50&key=fresh",
                     "api GET /2.0/branches/800/reviews?offset=100&key=fresh"}));
    EXPECT_EQ(DataRows().size(), 120);
    EXPECT_TRUE(Messages().filter(QStringLiteral("ERROR")).isEmpty());
    EXPECT_EQ(Messages().filter(QStringLiteral("Загружаем отзывы")).size(), 4);
}

TEST_F(HarvestRunTest, CardWithoutBranchIdFailsTwentyTimesThenTheRunGoesOn) {
    StandInCard broken = test::ManyReviewsCard(QStringLiteral("900"), 1);
    broken.branchId.clear();
    const QString brokenUrl = directory.AddCard(broken);
    const QString quiet = directory.AddCard(Quiet());
    host.cardLines = {brokenUrl, quiet};
    QList<std::uint32_t> sleeps;
    clock.OnSleep = [&](std::uint32_t ms) { sleeps << ms; };

    run.Run();

    QStringList expected;
    for (int i = 0; i < 20; ++i)
        expected << ": Загружаем страницу " + brokenUrl << ": ERROR_Broken";
    EXPECT_EQ(Messages().mid(1, 40), expected);
    EXPECT_EQ(sleeps, QList<std::uint32_t>(20, 1000) << 100);
    EXPECT_EQ(directory.SiteConnections(), 21);  // every failure drops the connection
    EXPECT_EQ(DataRows().size(), 1);             // the quiet card's row
    EXPECT_EQ(Files(QStringLiteral("log-*.txt")).size(), 1);
    EXPECT_FALSE(run.Failed());  // a card's failures are not the run's
    EXPECT_EQ(run.FailedCards(), 1);
}

TEST_F(HarvestRunTest, EveryCardBackOffFollowsAPumpSoTheWindowStaysLive) {
    StandInCard broken = test::ManyReviewsCard(QStringLiteral("901"), 1);
    broken.branchId.clear();
    host.cardLines = {directory.AddCard(broken)};
    QStringList steps;
    host.onPump = [&] { steps << QStringLiteral("pump"); };
    clock.OnSleep = [&](std::uint32_t ms) { steps << QStringLiteral("sleep %1").arg(ms); };

    run.Run();

    int backOffs = 0;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (steps.at(i) != QStringLiteral("sleep 1000"))
            continue;
        ++backOffs;
        EXPECT_EQ(steps.value(i - 1), QStringLiteral("pump")) << "back-off " << backOffs;
    }
    EXPECT_EQ(backOffs, 20);
}

TEST_F(HarvestRunTest, InternalErrorEndsOneCardsFeedAndTheRunGoesOn) {
    const QString big = directory.AddCard(test::ManyReviewsCard(QStringLiteral("902"), 120));
    const QString quiet = directory.AddCard(Quiet());
    directory.ScriptFeed(
        QStringLiteral("902"), 50,
        StandInDirectory::Json(standin::ErrorJson(500, QStringLiteral("Internal error"))));
    host.cardLines = {big, quiet};

    run.Run();

    const QStringList messages = Messages();
    const qsizetype end = messages.indexOf(QStringLiteral(": ERROR_Отзывы закончились"));
    ASSERT_GE(end, 0);
    EXPECT_EQ(messages.at(end - 1), QStringLiteral(": ERROR_Internal error"));
    EXPECT_EQ(messages.at(end + 1), ": Загружаем страницу " + quiet);
    // The first page's fifty reviews, then the quiet card's row; the card is not attempted again.
    EXPECT_EQ(DataRows().size(), 51);
    EXPECT_EQ(messages.filter(QStringLiteral("Загружаем страницу ") + big).size(), 1);
    EXPECT_EQ(Files(QStringLiteral("log-*.txt")).size(), 1);
}

TEST_F(HarvestRunTest, TooManyRequestsPausesAMinuteFromWhenThePauseBegan) {
    const QString quiet = directory.AddCard(Quiet());
    directory.ScriptCardPage(Quiet().path,
                             standin::HttpResponse::Status(429, "Too Many Requests", "slow down"));
    host.cardLines = {quiet};
    host.intervalSeconds = 61;  // measured from the start of the pause, not from its end
    std::uint64_t waited = 0;
    clock.OnSleep = [&](std::uint32_t ms) { waited += ms == 10 ? ms : 0; };

    run.Run();

    EXPECT_EQ(
        Messages().mid(1, 5),
        QStringList({": Загружаем страницу " + quiet, ": ERROR_HTTP/1.1 429 Too Many Requests",
                     ": Слишком много запросов, включаем паузу на минуту.",
                     "Увеличьте интервал между карточками!", ": Загружаем страницу " + quiet}));
    EXPECT_EQ(waited, 61000u);
    EXPECT_EQ(DataRows().size(), 1);
}

TEST_F(HarvestRunTest, StopAtTheStartOfACardAttempt) {
    const QString romashka = directory.AddCard(Romashka());
    host.cardLines = {romashka, directory.AddCard(Quiet())};
    host.onPump = [&] {
        if (directory.Requests().size() == 2)
            stop.Request();  // the first card is done
    };
    run.Run();
    EXPECT_EQ(directory.Requests().size(), 2u);
    EXPECT_EQ(DataRows().size(), 2);
    ExpectStoppedRunCleanedUp("a1\r\na2\r\n");
}

TEST_F(HarvestRunTest, StopRightAfterACardPageArrived) {
    StandInCard card = Romashka();
    const QString url = directory.AddCard(card);
    standin::HttpResponse slow = standin::HttpResponse::Text(standin::CardPageHtml(card));
    slow.delayMs = 700;  // the client pumps while it waits
    directory.ScriptCardPage(card.path, slow);
    host.cardLines = {url};
    onClientPump = [&] { stop.Request(); };
    run.Run();
    EXPECT_EQ(directory.RequestLines(), QStringList{"site GET /moscow/firm/701"});
    EXPECT_EQ(client.ResponseCode(), 200);  // the stop button lets the request finish
    EXPECT_TRUE(DataRows().isEmpty());
    ExpectStoppedRunCleanedUp("");
}

TEST_F(HarvestRunTest, StopBeforeAFeedPageKeepsThePendingPerCardRow) {
    QFile ids(Path(QStringLiteral("IdsDB.dat")));
    ASSERT_TRUE(ids.open(QIODevice::WriteOnly));
    ids.write("810-3\r\n");
    ids.close();
    const QString big = directory.AddCard(test::ManyReviewsCard(QStringLiteral("810"), 60));
    host.vertical = false;
    host.cardLines = {big};
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("пропускаем отзыв")))
            stop.Request();
    };
    run.Run();
    EXPECT_EQ(ApiRequests(), 1);
    // The 49 reviews taken from the first page are in the store, so their row is written.
    const QStringList rows = DataRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().split(u'\t').size(), 7 + 49);
    ExpectStoppedRunCleanedUp(StoredIds(QStringLiteral("810"), 50));
}

TEST_F(HarvestRunTest, StopWhileAFeedPageIsRequestedLeavesItsReviews) {
    StandInCard card = Romashka();
    host.cardLines = {directory.AddCard(card)};
    standin::HttpResponse slow =
        StandInDirectory::Json(standin::FeedPageJson(card, 0, 50, directory.ApiBase()));
    slow.delayMs = 700;
    directory.ScriptFeed(card.branchId, 0, slow);
    onClientPump = [&] {
        if (ApiRequests() == 1)
            stop.Request();
    };
    run.Run();
    EXPECT_EQ(ApiRequests(), 1);
    EXPECT_TRUE(DataRows().isEmpty());
    ExpectStoppedRunCleanedUp("");
}

TEST_F(HarvestRunTest, ClosingDuringAStalledRequestEndsTheRunAsStopped) {
    const StandInCard card = test::ManyReviewsCard(QStringLiteral("830"), 120);
    host.vertical = false;
    host.cardLines = {directory.AddCard(card)};
    directory.ScriptFeed(card.branchId, 50, standin::HttpResponse::Stall());
    client.SetLimits({.readTimeoutMs = 5000});  // unabandoned, the stall would end as a failed page
    onClientPump = [&] {
        if (ApiRequests() == 2)
            stop.RequestAbort();
    };
    run.Run();
    EXPECT_EQ(ApiRequests(), 2);
    EXPECT_TRUE(Messages().filter(QStringLiteral("ERROR")).isEmpty());
    EXPECT_TRUE(Messages().filter(QStringLiteral("Ошибка")).isEmpty());
    // The first page's reviews are taken: their pending per-card row is written.
    const QStringList rows = DataRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().split(u'\t').size(), 7 + 50);
    ExpectStoppedRunCleanedUp(StoredIds(QStringLiteral("830"), 50));
}

TEST_F(HarvestRunTest, StopDuringTheIntervalStillSendsThatCardsRequest) {
    const QString romashka = directory.AddCard(Romashka());
    const QString quiet = directory.AddCard(Quiet());
    host.cardLines = {romashka, quiet};
    host.intervalSeconds = 5;
    clock.OnSleep = [&](std::uint32_t ms) {
        if (ms == 10)
            stop.Request();
    };
    run.Run();
    EXPECT_EQ(directory.RequestLines(),
              QStringList({"site GET /moscow/firm/701",
                           "api GET /2.0/branches/701/reviews?offset=0&key=k701",
                           "site GET /spb/firm/702"}));
    EXPECT_EQ(Messages().at(Messages().size() - 2), ": Загружаем страницу " + quiet);
    EXPECT_EQ(clock.TotalSlept(), 100u + 10u);  // the first card's page pause, one wait step
    ExpectStoppedRunCleanedUp("a1\r\na2\r\n");
}

TEST_F(HarvestRunTest, StopEndsTheTooManyRequestsPauseWithinOneStep) {
    const QString quiet = directory.AddCard(Quiet());
    directory.ScriptCardPage(Quiet().path,
                             standin::HttpResponse::Status(429, "Too Many Requests", "slow down"));
    host.cardLines = {quiet};
    clock.OnSleep = [&](std::uint32_t ms) {
        if (ms == 10)
            stop.Request();
    };
    run.Run();
    EXPECT_EQ(clock.TotalSlept(), 1000u + 10u);  // the back-off, one step of the pause
    EXPECT_EQ(directory.Requests().size(), 1u);
    ExpectStoppedRunCleanedUp("");
}

TEST_F(HarvestRunTest, WaitsTheIntervalFromThePreviousCardPage) {
    const QString quiet = directory.AddCard(Quiet());
    directory.AddCard(test::ManyReviewsCard(QStringLiteral("820"), 120));
    host.cardLines = {quiet, directory.CardUrl("/firm/820"), quiet};
    host.intervalSeconds = 5;
    clock.Set(0xFFFFFFFFu - 2000);  // the tick counter wraps during the first wait
    // The big card's three feed pages pass 300 ms of the 5 s before the third card.
    QList<std::uint64_t> waits;
    std::uint64_t current = 0;
    clock.OnSleep = [&](std::uint32_t ms) {
        if (ms == 10) {
            current += ms;
        } else if (current) {
            waits << current;
            current = 0;
        }
    };
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("Загружаем страницу")) && current) {
            waits << current;
            current = 0;
        }
    };
    run.Run();
    // The first card goes at once; the second waits 5 s less its predecessor's 100 ms page pause.
    EXPECT_EQ(waits, QList<std::uint64_t>({4900, 4700}));
}

TEST_F(HarvestRunTest, RunsThroughTheProxyWithoutAnIntervalBetweenCards) {
    test::TinyproxyFixture proxy;
    QFile file(Path(QStringLiteral("proxy.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(proxy.ProxyLine().toUtf8() + "\r\n");
    file.close();
    host.cardLines = {directory.AddCard(Romashka()), directory.AddCard(Quiet())};
    host.intervalSeconds = 5;

    run.Run();

    EXPECT_EQ(host.events.mid(0, 2), QStringList({"Interval 0", "DisableRunControls"}));
    EXPECT_EQ(Messages().front(),
              QStringLiteral(": Используем прокси 127.0.0.1:%1, login quill, password s3cre***")
                  .arg(proxy.Port()));
    EXPECT_EQ(clock.TotalSlept(), 200u);  // the feed pages' pauses only: no interval waits
    EXPECT_EQ(DataRows().size(), 3);
    EXPECT_EQ(directory.Requests().size(), 4u);
    // Every request went through a tunnel the proxy opened.
    const QByteArray proxyLog = proxy.Log();
    EXPECT_TRUE(proxyLog.contains(QUrl(directory.SiteAddress()).authority().toUtf8()))
        << proxyLog.constData();
    EXPECT_TRUE(proxyLog.contains(QUrl(directory.ApiBase()).authority().toUtf8()));
}

TEST_F(HarvestRunTest, BlankLinesAreSkippedSilentlyButCountInTheProgress) {
    const QString quiet = directory.AddCard(Quiet());
    host.cardLines = {quiet, " ", "\t", "", "\x01", "", "", "", " \r", quiet};
    host.noReviewsNoWrites = true;
    run.Run();
    EXPECT_EQ(host.progressMaximum, 10);
    EXPECT_EQ(host.progressPositions, QList<int>({0, 3, 6, 9, 0}));
    EXPECT_EQ(directory.Requests().size(), 4u);
    EXPECT_EQ(Messages().filter(QStringLiteral("Загружаем страницу")).size(), 2);
}

TEST_F(HarvestRunTest, CardListEditedDuringTheRunIsReadAsItStands) {
    const QString romashka = directory.AddCard(Romashka());
    const QString quiet = directory.AddCard(Quiet());
    host.cardLines = {romashka, romashka, romashka};
    sink.onLine = [&](const QString& line) {
        if (line.endsWith(QStringLiteral("страница 1")) && host.cardLines.size() == 3) {
            host.cardLines[1] = quiet;    // a later line edited: taken as it is now
            host.cardLines.removeLast();  // the last line removed: its index no longer exists
        }
    };
    run.Run();
    EXPECT_EQ(directory.RequestLines().filter(QStringLiteral("site")),
              QStringList({"site GET /moscow/firm/701", "site GET /spb/firm/702"}));
    EXPECT_EQ(Messages().filter(QStringLiteral("Ошибка")),
              QStringList{": Ошибка: Card list line 3 no longer exists. Вероятно, несовместимая "
                          "версия Экселя."});
    EXPECT_EQ(DataRows().size(), 3);
    ExpectStoppedRunCleanedUp("a1\r\na2\r\n");
}

TEST_F(HarvestRunTest, ResultFileThatCannotBeCreatedEndsTheRunWithItsCleanUp) {
    QFile ids(Path(QStringLiteral("IdsDB.dat")));
    ASSERT_TRUE(ids.open(QIODevice::WriteOnly));
    ids.write("x\r\n");
    ids.close();
    host.cardLines = {directory.AddCard(Quiet())};
    // The directory disappears once the result file is named and comes back after the failure
    // line.
    const QString away = tmp.path() + QStringLiteral(".away");
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("Данные будут записываться в файл"))) {
            ASSERT_TRUE(QDir().rename(tmp.path(), away));
        }
        if (line.contains(QStringLiteral(": Ошибка: "))) {
            ASSERT_TRUE(QDir().rename(away, tmp.path()));
        }
    };
    run.Run();
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 4);
    EXPECT_TRUE(messages.at(2).startsWith(": Ошибка: Cannot create file \"" + tmp.path()));
    EXPECT_TRUE(messages.at(2).endsWith(". Вероятно, несовместимая версия Экселя."));
    EXPECT_TRUE(directory.Requests().empty());
    EXPECT_TRUE(Files(QStringLiteral("data*")).isEmpty());
    EXPECT_TRUE(run.Failed());
    ExpectStoppedRunCleanedUp("x\r\n");
}

TEST_F(HarvestRunTest, LogFileThatCannotBeSavedSkipsTheWorkbook) {
    host.cardLines = {directory.AddCard(Romashka())};
    const QString away = tmp.path() + QStringLiteral(".away");
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("Работа завершена"))) {
            ASSERT_TRUE(QDir().rename(tmp.path(), away));
        }
        if (line.contains(QStringLiteral(": Ошибка: "))) {
            ASSERT_TRUE(QDir().rename(away, tmp.path()));
        }
    };
    run.Run();
    const QStringList failures = Messages().filter(QStringLiteral("Ошибка"));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.front().startsWith(QStringLiteral(": Ошибка: Cannot ")));
    EXPECT_TRUE(Messages().filter(QStringLiteral("Excel")).isEmpty());
    EXPECT_EQ(DataRows().size(), 2);
    ExpectStoppedRunCleanedUp("a1\r\na2\r\n");
}

TEST_F(HarvestRunTest, FolderHeldByAnotherRunOnlyShowsTheBox) {
    host.cardLines = {directory.AddCard(Quiet())};
    for (const char* name : {"IdsDB.dat", "proxy.txt"}) {
        QFile file(Path(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name == QByteArray("proxy.txt") ? "quill:pw@127.0.0.1:3128\r\n" : "x\r\n");
    }
    const std::optional<FolderRunLock> other = FolderRunLock::TryTake(dir);
    ASSERT_TRUE(other.has_value());
    sink.AppendLine(QStringLiteral("the last run's log"));
    run.Run();
    ASSERT_EQ(host.events.size(), 1);
    EXPECT_TRUE(host.events.front().startsWith(
        QStringLiteral("Warning Старт невозможен: В папке %1 уже идёт выгрузка")
            .arg(QDir::toNativeSeparators(tmp.path()))))
        << host.events.front().toStdString();
    EXPECT_EQ(sink.Lines(), QStringList{"the last run's log"});
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList({"IdsDB.dat", "proxy.txt"}));
    EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), QByteArray("x\r\n"));
    EXPECT_TRUE(client.Proxy().server.isEmpty());
    EXPECT_TRUE(directory.Requests().empty());
}

TEST_F(HarvestRunTest, EmptyCardListOnlyShowsTheBox) {
    host.cardLines = {" ", "\t\r", ""};
    sink.AppendLine(QStringLiteral("earlier"));
    run.Run();
    EXPECT_EQ(host.events, QStringList{"Warning Старт невозможен: Карточки не заданы"});
    EXPECT_TRUE(sink.Lines().isEmpty());
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());
    EXPECT_TRUE(directory.Requests().empty());
}

TEST_F(HarvestRunTest, FailuresBeforeTheFirstCardLeaveTheHandler) {
    host.cardLines = {directory.AddCard(Quiet())};
    QFile proxy(Path(QStringLiteral("proxy.txt")));
    ASSERT_TRUE(proxy.open(QIODevice::WriteOnly));
    proxy.write("127.0.0.1:port\r\n");
    proxy.close();
    try {
        run.Run();
        FAIL() << "a port that is not a number started the run";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), QStringLiteral("''port'' is not a valid integer value"));
    }
    EXPECT_TRUE(host.events.isEmpty());
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"proxy.txt"});

    // A journal that cannot be opened: the controls come back, the store file stays untouched.
    QFile::remove(Path(QStringLiteral("proxy.txt")));
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("IdDates.dat")));
    EXPECT_THROW(run.Run(), Failure);
    EXPECT_EQ(host.events, QStringList({"DisableRunControls", "EnableRunControls"}));
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));
}

TEST_F(HarvestRunTest, CleanUpClosesTheJournalBeforeEnablingAndSavesTheStoreBeforeRearming) {
    host.cardLines = {directory.AddCard(Romashka())};
    bool journalFreeAtEnable = false;
    bool storeFreeAtEnable = true;
    bool storeSavedAtArm = false;
    // The folder stays the run's from before the store is saved until after: no second program
    // can load the store in between.
    bool folderBusyAtEnable = false;
    bool folderBusyAtArm = false;
    host.onEnable = [&] {
        LockedFile probe;  // the journal's own lock is gone once it is closed
        journalFreeAtEnable =
            probe.Open(Path(QStringLiteral("IdDates.dat")), LockedFile::Mode::OpenOrAppend);
        // The store holds its file until the compaction at its save.
        storeFreeAtEnable =
            LockedFile().Open(Path(QStringLiteral("IdsDB.dat")), LockedFile::Mode::OpenOrAppend);
        folderBusyAtEnable = FolderRunLock::IsBusy(dir);
    };
    host.onArm = [&] {
        storeSavedAtArm =
            LockedFile().Open(Path(QStringLiteral("IdsDB.dat")), LockedFile::Mode::OpenOrAppend);
        folderBusyAtArm = FolderRunLock::IsBusy(dir);
    };
    run.Run();
    EXPECT_TRUE(journalFreeAtEnable);
    EXPECT_FALSE(storeFreeAtEnable);
    EXPECT_TRUE(storeSavedAtArm);
    EXPECT_TRUE(folderBusyAtEnable);
    EXPECT_TRUE(folderBusyAtArm);
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));

    // A store that cannot be saved leaves the handler, and the folder free for the next run.
    host.onArm = nullptr;
    host.onEnable = [&] {
        ASSERT_TRUE(test::MakeUnreplaceable(Path(QStringLiteral("IdsDB.dat"))));
    };
    clock.Advance(1000);
    EXPECT_THROW(run.Run(), OutputFailure);
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));
}

}  // namespace
}  // namespace quillorn
