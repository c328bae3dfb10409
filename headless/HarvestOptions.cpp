#include "headless/HarvestOptions.h"

#include "frontend/FilesFolderSystem.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QUrl>

namespace quillorn {

namespace {

// The window's spin edits go no further: its pause between cards and its repeat timer, whose
// milliseconds must fit a signed 32-bit interval.
constexpr int kMaxIntervalSeconds = 2147483;
constexpr int kMaxRepeatMinutes = 35791;

// The options by name; what --help says of each is given in the user's language when they are
// added to a parser, after main has installed the catalogue.
const QCommandLineOption kDir(QStringLiteral("dir"));
const QCommandLineOption kInterval(QStringLiteral("interval"));
const QCommandLineOption kPerReview(QStringLiteral("per-review"));
const QCommandLineOption kPerCard(QStringLiteral("per-card"));
const QCommandLineOption kKeepEmpty(QStringLiteral("keep-empty"));
const QCommandLineOption kSkipEmpty(QStringLiteral("skip-empty"));
const QCommandLineOption kNoWorkbook(QStringLiteral("no-workbook"));
const QCommandLineOption kRepeat(QStringLiteral("repeat"));
const QCommandLineOption kApiBase(QStringLiteral("api-base"));
const QCommandLineOption kSiteBase(QStringLiteral("site-base"));
const QCommandLineOption kMinuteMs(QStringLiteral("minute-ms"));
const QCommandLineOption kHelp(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption kVersion(QStringLiteral("version"));

QCommandLineOption Described(const QCommandLineOption& option, const QString& description,
                             const QString& valueName = {}) {
    return QCommandLineOption(option.names(), description, valueName);
}

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(HarvestTexts::tr(
        "Harvests the reviews of the firm cards listed in urls.txt once, without a window, into "
        "the same files the window writes.\n"
        "Exit status: 0 done, 1 the run failed or a card failed all its attempts (the log's "
        "error lines, also written to standard error, say why), 2 the run could not start "
        "(with --repeat: its first run), 130 stopped by a signal."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        Described(kDir,
                  HarvestTexts::tr("Folder whose urls.txt, settings.ini and proxy.txt are read and "
                                   "where every result is written (default: the program's own "
                                   "folder when it is writable, else %1).")
                      .arg(UserDataFolderName()),
                  HarvestTexts::tr("DIR")),
        Described(kInterval,
                  HarvestTexts::tr("Seconds between two card pages (default: key Interval of "
                                   "settings.ini, else 1)."),
                  HarvestTexts::tr("SECONDS")),
        Described(kPerReview, HarvestTexts::tr("One row per review.")),
        Described(kPerCard, HarvestTexts::tr("One row per firm, every review in a column.")),
        Described(kKeepEmpty, HarvestTexts::tr("Write a row for firms without new reviews.")),
        Described(kSkipEmpty, HarvestTexts::tr("Leave firms without new reviews out.")),
        Described(kNoWorkbook, HarvestTexts::tr("Write the .tab file only, no workbook.")),
        Described(kRepeat,
                  HarvestTexts::tr("Run again MINUTES after each run ends, until stopped (1 to "
                                   "35791)."),
                  HarvestTexts::tr("MINUTES")),
        Described(kApiBase, HarvestTexts::tr("For testing: base address of the reviews API."),
                  QStringLiteral("URL")),
        Described(kSiteBase,
                  HarvestTexts::tr("For testing: address of the directory site, used in author "
                                   "profile links."),
                  QStringLiteral("URL")),
        Described(kMinuteMs,
                  HarvestTexts::tr("For testing: milliseconds a minute lasts, for --repeat and for "
                                   "the run's pauses and back-offs (default 60000)."),
                  QStringLiteral("MS")),
        Described(kHelp, HarvestTexts::tr("Show this help.")),
        Described(kVersion, HarvestTexts::tr("Show the program's version.")),
    });
}

int Whole(const QCommandLineParser& parser, const QCommandLineOption& option, int minimum,
          int maximum) {
    const QString text = parser.value(option);
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < minimum || value > maximum) {
        throw UsageError(HarvestTexts::tr("--%1 needs a whole number from %2 to %3, not \"%4\"")
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
        throw UsageError(HarvestTexts::tr("--%1 and --%2 exclude each other")
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
        throw UsageError(HarvestTexts::tr("--%1 needs an http or https address, not \"%2\"")
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
        throw UsageError(HarvestTexts::tr("Unexpected argument \"%1\"")
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
            throw UsageError(HarvestTexts::tr("--dir needs a folder"));
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
