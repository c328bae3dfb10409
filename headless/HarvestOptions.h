// The command line of quillorn-harvest: the folder to harvest, the options that stand for the
// window's controls (each overrides settings.ini for this run only), and the two addresses tests
// point at a stand-in directory.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

#include "harvest/Endpoints.h"
#include "platform/Errors.h"

namespace quillorn {

// The context of quillorn-harvest's own texts, English in the source, translated through the
// catalogue of the user's language (translations/quillorn-harvest_ru.ts).
class HarvestTexts {
    Q_DECLARE_TR_FUNCTIONS(HarvestTexts)
};

// The command line cannot be used; the message says why.
class UsageError : public Error {
public:
    using Error::Error;
};

struct HarvestOptions {
    // Empty: the executable's folder, as the window uses.
    QString dir;
    std::optional<int> intervalSeconds;
    std::optional<bool> verticalLayout;     // --per-review / --per-card
    std::optional<bool> noReviewsNoWrites;  // --skip-empty / --keep-empty
    bool workbook = true;
    // Minutes between the end of a run and the start of the next; none: one run.
    std::optional<int> repeatMinutes;
    // How long a minute of the repeat and of the run's waits lasts: shortened only by the tests.
    int minuteMs = 60000;
    Endpoints endpoints;
    bool help = false;
    bool version = false;
};

// arguments as main receives them, the program's name first. Raises UsageError.
HarvestOptions ParseHarvestOptions(const QStringList& arguments);

QString HarvestUsage();

}  // namespace quillorn
