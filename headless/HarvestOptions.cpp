#include "headless/HarvestOptions.h"

#include <QCommandLineParser>
#include <QUrl>

namespace quillorn {

namespace {

// The window's spin edits go no further: its pause between cards and its repeat timer, whose
// milliseconds must fit a signed 32-bit interval.
constexpr int kMaxIntervalSeconds = 2147483;
constexpr int kMaxRepeatMinutes = 35791;

const QCommandLineOption kDir(QStringLiteral("dir"),
                              QStringLiteral("Folder whose urls.txt, settings.ini and proxy.txt "
                                             "are read and where every result is written "
                                             "(default: the program's own folder when it is "
                                             "writable, else ~/.local/share/Quillorn)."),
                              QStringLiteral("DIR"));
const QCommandLineOption kInterval(QStringLiteral("interval"),
                                   QStringLiteral("Seconds between two card pages (default: key "
                                                  "Interval of settings.ini, else 1)."),
                                   QStringLiteral("SECONDS"));
const QCommandLineOption kPerReview(QStringLiteral("per-review"),
                                    QStringLiteral("One row per review."));
const QCommandLineOption kPerCard(QStringLiteral("per-card"),
                                  QStringLiteral("One row per firm, every review in a column."));
const QCommandLineOption kKeepEmpty(QStringLiteral("keep-empty"),
                                    QStringLiteral("Write a row for firms without new reviews."));
const QCommandLineOption kSkipEmpty(QStringLiteral("skip-empty"),
                                    QStringLiteral("Leave firms without new reviews out."));
const QCommandLineOption kNoWorkbook(QStringLiteral("no-workbook"),
                                     QStringLiteral("Write the .tab file only, no workbook."));
const QCommandLineOption kRepeat(QStringLiteral("repeat"),
                                 QStringLiteral("Run again MINUTES after each run ends, until "
                                                "stopped (1 to 35791)."),
                                 QStringLiteral("MINUTES"));
const QCommandLineOption kApiBase(QStringLiteral("api-base"),
                                  QStringLiteral("For testing: base address of the reviews API."),
                                  QStringLiteral("URL"));
const QCommandLineOption kSiteBase(QStringLiteral("site-base"),
                                   QStringLiteral("For testing: address of the directory site, "
                                                  "used in author profile links."),
                                   QStringLiteral("URL"));
const QCommandLineOption kMinuteMs(QStringLiteral("minute-ms"),
                                   QStringLiteral("For testing: milliseconds a minute lasts, for "
                                                  "--repeat and for the run's pauses and "
                                                  "back-offs (default 60000)."),
                                   QStringLiteral("MS"));
const QCommandLineOption kHelp(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                               QStringLiteral("Show this help."));
const QCommandLineOption kVersion(QStringLiteral("version"),
                                  QStringLiteral("Show the program's version."));

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Harvests the reviews of the firm cards listed in urls.txt once, without a window, into "
        "the same files the window writes.\n"
        "Exit status: 0 done, 1 the run failed or a card failed all its attempts (the log's "
        "error lines, also written to standard error, say why), 2 the run could not start "
        "(with --repeat: its first run), 130 stopped by a signal."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kDir, kInterval, kPerReview, kPerCard, kKeepEmpty, kSkipEmpty, kNoWorkbook,
                       kRepeat, kApiBase, kSiteBase, kMinuteMs, kHelp});
    parser.addOption(kVersion);
}

int Whole(const QCommandLineParser& parser, const QCommandLineOption& option, int minimum,
          int maximum) {
    const QString text = parser.value(option);
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < minimum || value > maximum) {
        throw UsageError(QStringLiteral("--%1 needs a whole number from %2 to %3, not \"%4\"")
                             .arg(option.names().constLast())
                             .arg(minimum)
                             .arg(maximum)
                             .arg(text));
    }
    return value;
}

std::optional<bool> Choice(const QCommandLineParser& parser, const QCommandLineOption& yes,
                           const QCommandLineOption& no) {
    const bool setYes = parser.isSet(yes);
    const bool setNo = parser.isSet(no);
    if (setYes && setNo) {
        throw UsageError(QStringLiteral("--%1 and --%2 exclude each other")
                             .arg(yes.names().constFirst(), no.names().constFirst()));
    }
    if (setYes || setNo)
        return setYes;
    return std::nullopt;
}

// An http(s) address with a host; the feed appends its own path, so a trailing slash goes.
QString Base(const QCommandLineParser& parser, const QCommandLineOption& option) {
    QString text = parser.value(option);
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QStringLiteral("https") && scheme != QStringLiteral("http")) || url.hasQuery() ||
        url.hasFragment()) {
        throw UsageError(QStringLiteral("--%1 needs an http or https address, not \"%2\"")
                             .arg(option.names().constFirst(), text));
    }
    while (text.endsWith(u'/'))
        text.chop(1);
    return text;
}

}  // namespace

HarvestOptions ParseHarvestOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        throw UsageError(QStringLiteral("Unexpected argument \"%1\"")
                             .arg(parser.positionalArguments().constFirst()));
    }
    HarvestOptions options;
    options.help = parser.isSet(kHelp);
    options.version = parser.isSet(kVersion);
    if (options.help || options.version)
        return options;
    if (parser.isSet(kDir)) {
        options.dir = parser.value(kDir);
        if (options.dir.isEmpty())
            throw UsageError(QStringLiteral("--dir needs a folder"));
    }
    if (parser.isSet(kInterval))
        options.intervalSeconds = Whole(parser, kInterval, 0, kMaxIntervalSeconds);
    options.verticalLayout = Choice(parser, kPerReview, kPerCard);
    options.noReviewsNoWrites = Choice(parser, kSkipEmpty, kKeepEmpty);
    options.workbook = !parser.isSet(kNoWorkbook);
    if (parser.isSet(kRepeat))
        options.repeatMinutes = Whole(parser, kRepeat, 1, kMaxRepeatMinutes);
    if (parser.isSet(kMinuteMs))
        options.minuteMs = Whole(parser, kMinuteMs, 1, 60000);
    if (parser.isSet(kApiBase))
        options.endpoints.reviewsApiBase = Base(parser, kApiBase);
    if (parser.isSet(kSiteBase))
        options.endpoints.siteAddress = Base(parser, kSiteBase);
    return options;
}

QString HarvestUsage() {
    QCommandLineParser parser;
    AddOptions(parser);
    return parser.helpText();
}

}  // namespace quillorn
