// quillorn-harvest as the real program, against the stand-in directory on loopback: the files it
// leaves beside the window's run, its exit statuses, a stop by signal and its repeat.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "harvest/HarvestRun.h"
#include "harvest/StopFlag.h"
#include "net/HttpClient.h"
#include "output/RunLog.h"
#include "output/WorkbookStep.h"
#include "output/XlsxSpreadsheetApp.h"
#include "platform/FolderRunLock.h"
#include "platform/SystemCodePage.h"
#include "platform/TextEncoding.h"
#include "standin/FakeRunHost.h"
#include "standin/PinnedLocale.h"
#include "standin/TestClock.h"
#include "tests/headless/HeadlessHarvestFixture.h"
#include "tests/support/RecordingOpener.h"
#include "tests/support/ZipArchive.h"

namespace quillorn::test {
namespace {

// A file the program writes in the system's code page (the log, the store, the result file).
QString InCodePage(const QByteArray& bytes) {
    return DecodeFile(bytes, SystemCodePage()).text;
}

// The window's run over the same list, in-process with a fake window, as the harvest tests do.
void WindowRun(const QString& dir, const Endpoints& endpoints, const QStringList& cards,
               bool vertical, const QString& decimalSeparator) {
    RecordingOpener opener;
    standin::FakeRunHost host;
    host.cardLines = cards;
    host.vertical = vertical;
    host.noReviewsNoWrites = false;
    standin::PinnedLocale locale(QStringLiteral("dd.MM.yyyy"), QStringLiteral("H:mm:ss"),
                                 decimalSeparator);
    // The program's own: UTF-8 under ru_RU.UTF-8 and under C, the ANSI code page on Windows.
    locale.SetCodePage(SystemCodePage());
    standin::TestClock clock;
    MemoryLogSink sink;
    RunLog log(sink, locale, clock, AppDir(dir));
    HttpClient client;
    StopFlag stop;
    XlsxSpreadsheetApp spreadsheet(decimalSeparator, dir);
    WorkbookStep workbook(log, spreadsheet, opener);
    HarvestRun(host, client, clock, log, locale, AppDir(dir), endpoints, stop, workbook).Run();
}

// A file's text with what differs between two runs of the same list replaced: time stamps, the
// folder and the numbers in file names.
QString Comparable(const QString& dir, const QString& name) {
    QFile file(QDir(dir).filePath(name));
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>";
    // The journal is always Windows-1251; the rest is in the system's code page.
    QString text =
        name == QStringLiteral("IdDates.dat") ? DecodeWindows1251(bytes) : InCodePage(bytes);
    static const QRegularExpression stamp(QStringLiteral("(^|\n|\t)[0-9][^\t\r\n]*?(?=: |\r)"));
    static const QRegularExpression numbered(QStringLiteral("(data|log-)-?[0-9]+\\."));
    return text.replace(stamp, QStringLiteral("\\1<stamp>"))
        .replace(QDir(dir).absolutePath(), QStringLiteral("<dir>"))
        .replace(numbered, QStringLiteral("\\1<N>."));
}

class SameFilesAsTheWindow : public HeadlessHarvestTest,
                             public ::testing::WithParamInterface<std::tuple<std::string, bool>> {};

TEST_P(SameFilesAsTheWindow, AndASecondRunDeliversNothingAgain) {
    const auto [locale, vertical] = GetParam();
    // Two pages for the first card, none for the second, whose row is kept.
    const QStringList cards = {directory.AddCard(HarvestCard(QStringLiteral("801"), 52)),
                               directory.AddCard(HarvestCard(QStringLiteral("802"), 0))};
    WriteCards(cards);
    QTemporaryDir windowDir;
    WindowRun(
        windowDir.path(), directory.MakeEndpoints(), cards, vertical,
        QString::fromStdString(locale) == kRussian ? QStringLiteral(",") : QStringLiteral("."));

    const Harvest first =
        Run({vertical ? QStringLiteral("--per-review") : QStringLiteral("--per-card"),
             QStringLiteral("--keep-empty"), QStringLiteral("--interval"), QStringLiteral("0")},
            QString::fromStdString(locale));

    ASSERT_EQ(first.status, 0) << first.err.toStdString() << first.out.toStdString();
    for (const QString& pattern : {QStringLiteral("data*.tab"), QStringLiteral("log-*.txt"),
                                   QStringLiteral("IdsDB.dat"), QStringLiteral("IdDates.dat")}) {
        const QStringList ours = Files(pattern);
        const QStringList window =
            QDir(windowDir.path()).entryList({pattern}, QDir::Files, QDir::Name);
        ASSERT_EQ(ours.size(), 1) << pattern.toStdString();
        ASSERT_EQ(window.size(), 1) << pattern.toStdString();
        EXPECT_EQ(Comparable(tmp.path(), ours.front()),
                  Comparable(windowDir.path(), window.front()));
    }
    // What the log file holds reached standard output, line by line.
    const QString log = InCodePage(Read(Files("log-*.txt").value(0)));
    EXPECT_TRUE(first.out.startsWith(QString(log).replace(QStringLiteral("\r\n"), "\n")));
    const QString ourBook = Path(Files("data*.xlsx").value(0));
    const QString windowBook =
        QDir(windowDir.path()).filePath(QDir(windowDir.path()).entryList({"data*.xlsx"}).value(0));
    const QStringList parts = ZipMemberNames(ourBook);
    ASSERT_TRUE(parts.contains(QStringLiteral("xl/worksheets/sheet1.xml")))
        << parts.join(u' ').toStdString();
    ASSERT_EQ(parts, ZipMemberNames(windowBook));
    // Each workbook's sheet is named after its own result file.
    const auto unnamed = [](const QString& book, const QString& part) {
        return ZipMember(book, part)
            .replace(QFileInfo(book).completeBaseName().toUtf8(), "<sheet>");
    };
    for (const QString& part : parts) {
        if (part != QStringLiteral("docProps/core.xml")) {  // the time it was made
            EXPECT_EQ(unnamed(ourBook, part), unnamed(windowBook, part)) << part.toStdString();
        }
    }

    const QByteArray store = Read(QStringLiteral("IdsDB.dat"));
    const Harvest second =
        Run({QStringLiteral("--per-review"), QStringLiteral("--skip-empty"),
             QStringLiteral("--no-workbook"), QStringLiteral("--interval"), QStringLiteral("0")},
            QString::fromStdString(locale));
    ASSERT_EQ(second.status, 0) << second.err.toStdString();
    EXPECT_EQ(second.out.count(QStringLiteral("он выгружен ранее")), 52);
    const QStringList results = Files(QStringLiteral("data*.tab"));
    ASSERT_EQ(results.size(), 2);
    EXPECT_EQ(Files(QStringLiteral("data*.xlsx")).size(), 1);
    EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), store);
    for (const QString& name : results) {
        if (!first.out.contains(name)) {
            EXPECT_EQ(Read(name).count("\r\n"), 1) << "header only";
        }
    }
}

std::string LocaleAndLayout(const ::testing::TestParamInfo<SameFilesAsTheWindow::ParamType>& info) {
    return (std::get<0>(info.param) == "C" ? std::string("C") : std::string("Russian")) +
           (std::get<1>(info.param) ? "_PerReview" : "_PerCard");
}

INSTANTIATE_TEST_SUITE_P(Locales, SameFilesAsTheWindow,
                         ::testing::Combine(::testing::ValuesIn(LocalesTheEnvironmentChooses()),
                                            ::testing::Bool()),
                         LocaleAndLayout);

TEST_F(HeadlessHarvestTest, SpeaksRussianToItsUsers) {
    const Harvest russian = Run({QStringLiteral("--help")});
    EXPECT_EQ(russian.status, 0);
    EXPECT_TRUE(russian.out.contains(QStringLiteral("Параметры:"))) << russian.out.toStdString();
    EXPECT_TRUE(russian.out.contains(QStringLiteral("Каждый отзыв на отдельной строке.")));
    const Harvest wrong = Run({QStringLiteral("--per-card"), QStringLiteral("--per-review")});
    EXPECT_TRUE(
        wrong.err.contains(QStringLiteral("--per-review и --per-card исключают друг друга")))
        << wrong.err.toStdString();
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("Справка: quillorn-harvest --help")));
}

TEST_F(HeadlessHarvestTest, RefusedStartsEndWithStatusTwoAndTouchNothing) {
    const Harvest usage = Run({QStringLiteral("--per-card"), QStringLiteral("--per-review")});
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.err.contains(QStringLiteral("--per-review"))) << usage.err.toStdString();
    EXPECT_EQ(Run({QStringLiteral("--repeat"), QStringLiteral("0")}).status, 2);
    EXPECT_EQ(Run({QStringLiteral("--api-base"), QStringLiteral("ftp://x")}).status, 2);

    const Harvest empty = Run({});
    EXPECT_EQ(empty.status, 2);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("Карточки не заданы")));
    EXPECT_TRUE(empty.err.contains(QDir::toNativeSeparators(Path(QStringLiteral("urls.txt")))))
        << empty.err.toStdString();
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());

    WriteCards({directory.AddCard(HarvestCard(QStringLiteral("803"), 1))});
    {
        const std::optional<FolderRunLock> window = FolderRunLock::TryTake(AppDir(tmp.path()));
        ASSERT_TRUE(window);
        const Harvest busy = Run({});
        EXPECT_EQ(busy.status, 2);
        EXPECT_TRUE(busy.err.contains(QStringLiteral("Старт невозможен: В папке ") +
                                      QDir::toNativeSeparators(QDir::cleanPath(tmp.path())) +
                                      QStringLiteral(" уже идёт выгрузка отзывов")))
            << busy.err.toStdString();
        EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"urls.txt"});
        EXPECT_TRUE(directory.RequestLines().isEmpty());
    }

    // Started from a folder named Temp, as the window is refused.
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("Temp")));
    const QString copy = Path(QStringLiteral("Temp/") + QFileInfo(binary).fileName());
    ASSERT_TRUE(QFile::copy(binary, copy));
    binary = copy;
    const Harvest refused = Run({});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("временной папки")))
        << refused.err.toStdString();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"urls.txt"});
}

// A card whose every attempt failed (a dead proxy, the site down) must not look like a healthy
// run to a timer; its failures reach standard error, and the other cards are still harvested.
TEST_F(HeadlessHarvestTest, CardLeftBehindAfterEveryAttemptEndsWithStatusOne) {
    const QStringList cards = {directory.AddCard(HarvestCard(QStringLiteral("809"), 0)),
                               directory.AddCard(HarvestCard(QStringLiteral("810"), 1))};
    directory.ScriptCardPage(QStringLiteral("/firm/809"),
                             standin::HttpResponse::Status(503, "Service Unavailable"),
                             HarvestRun::kAttemptsPerCard);
    WriteCards(cards);

    // A minute of 60 ms: the twenty one-second back-offs take a fraction of a second.
    const Harvest harvest = Run({QStringLiteral("--interval"), QStringLiteral("0"),
                                 QStringLiteral("--minute-ms"), QStringLiteral("60")});

    EXPECT_EQ(harvest.status, 1) << harvest.err.toStdString();
    EXPECT_EQ(harvest.err.count(QStringLiteral(": ERROR_")), HarvestRun::kAttemptsPerCard)
        << harvest.err.toStdString();
    EXPECT_FALSE(harvest.err.contains(QStringLiteral("Загружаем")));
    EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), "810-0\r\n");
}

// SIGINT and SIGTERM on Linux, Ctrl+Break on Windows.
TEST_F(HeadlessHarvestTest, SignalMidRunStopsWithRowsAndStoreKept) {
    const QStringList cards = {directory.AddCard(HarvestCard(QStringLiteral("805"), 2)),
                               directory.AddCard(HarvestCard(QStringLiteral("806"), 2)),
                               directory.AddCard(HarvestCard(QStringLiteral("807"), 2))};
    WriteCards(cards);
    // The second card's page never comes: the signal must abandon the request.
    directory.ScriptCardPage(QStringLiteral("/firm/806"), standin::HttpResponse::Stall());
    bool sent = false;

    const Harvest harvest =
        Run({QStringLiteral("--interval"), QStringLiteral("0")}, kRussian,
            [&](QProcess& program, const QString& out) {
                if (!sent && out.contains(QStringLiteral("страницу ") + cards[1])) {
                    sent = true;
                    Stop(program, Interrupt);
                    // A second one during the clean-up changes nothing.
                    Terminate(program);
                }
            });

    EXPECT_EQ(harvest.status, 130) << harvest.err.toStdString() << harvest.out.toStdString();
    EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), "805-0\r\n805-1\r\n");
    const QStringList results = Files(QStringLiteral("data*.tab"));
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(Read(results.front()).count("\r\n"), 3);  // header and the first card's two
    EXPECT_TRUE(Files(QStringLiteral("log-*.txt")).isEmpty());
    EXPECT_FALSE(directory.RequestLines().join('\n').contains(QStringLiteral("807")));
}

TEST_F(HeadlessHarvestTest, RepeatRunsAgainAfterItsMinuteUntilStopped) {
    WriteCards({directory.AddCard(HarvestCard(QStringLiteral("808"), 1))});
    const QString rearm =
        QStringLiteral(": Ставим повторный запуск выгрузки на таймер через, минут: 1");

    bool stopped = false;

    const Harvest harvest = Run({QStringLiteral("--repeat"), QStringLiteral("1"),
                                 QStringLiteral("--minute-ms"), QStringLiteral("300")},
                                kRussian, [&](QProcess& program, const QString& out) {
                                    if (!stopped && out.count(rearm) == 2) {
                                        stopped = true;
                                        Stop(program, Terminate);
                                    }
                                });

    EXPECT_EQ(harvest.status, 130) << harvest.err.toStdString();
    EXPECT_EQ(harvest.out.count(QStringLiteral("пропускаем отзыв 808-0")), 1);
    EXPECT_EQ(Files(QStringLiteral("data*.tab")).size(), 2);
    EXPECT_EQ(Files(QStringLiteral("log-*.txt")).size(), 2);
}

// The window harvesting the same folder when a later run is due: that run is refused, and the
// schedule waits for the next one instead of ending.
TEST_F(HeadlessHarvestTest, RepeatOutlivesAFolderBusyAtALaterRun) {
    WriteCards({directory.AddCard(HarvestCard(QStringLiteral("813"), 1))});
    const QString rearm =
        QStringLiteral(": Ставим повторный запуск выгрузки на таймер через, минут: 1");
    std::optional<FolderRunLock> window;
    qsizetype rearmsWhileBusy = -1;
    bool released = false;
    bool stopped = false;

    const Harvest harvest =
        Run({QStringLiteral("--repeat"), QStringLiteral("1"), QStringLiteral("--minute-ms"),
             QStringLiteral("300")},
            kRussian, [&](QProcess& program, const QString& out) {
                if (rearmsWhileBusy < 0 && out.contains(rearm)) {
                    // Taken between two runs; the program may still hold it for an instant.
                    window = FolderRunLock::TryTake(AppDir(tmp.path()));
                    if (window)
                        rearmsWhileBusy = out.count(rearm);
                } else if (!released && errSoFar.contains(QStringLiteral("уже идёт выгрузка"))) {
                    released = true;
                    window.reset();
                } else if (released && !stopped && out.count(rearm) > rearmsWhileBusy) {
                    stopped = true;
                    Stop(program, Terminate);
                }
            });

    EXPECT_EQ(harvest.status, 130) << harvest.err.toStdString();
    EXPECT_TRUE(stopped) << harvest.err.toStdString();
    EXPECT_EQ(harvest.err.count(QStringLiteral("Старт невозможен: В папке ")), 1)
        << harvest.err.toStdString();
}

}  // namespace
}  // namespace quillorn::test
