// What a harvest run needs of the main window. MainWindow implements it; tests use a fake, so a
// whole run is exercised headless.
#pragma once

#include <QString>

namespace quillorn {

// What an ended run (finished or stopped) leaves for the user.
struct RunSummary {
    // Reviews delivered: their rows are in the result file and their ids in the saved store.
    int delivered = 0;
    // The result file; empty when none was created.
    QString resultFile;
    // The workbook made from it; empty when none was made.
    QString workbook;
    // Cards left behind after every attempt to read them failed.
    int failedCards = 0;
};

class RunHost {
public:
    virtual ~RunHost() = default;

    // "Каждый отзыв на отдельной строке": one row per review when ticked.
    virtual bool VerticalLayout() const = 0;
    // The card list: its whole text with lines joined by CR LF, its line count, and line i as it
    // stands now (the list may be edited during a run). Precondition of CardLine: 0 <= i.
    virtual QString CardListText() const = 0;
    virtual int CardLineCount() const = 0;
    virtual QString CardLine(int i) const = 0;

    // Whole seconds between card pages; a proxy sets it to 0.
    virtual int IntervalSeconds() const = 0;
    virtual void SetIntervalSeconds(int seconds) = 0;

    // "Не записывать карточки без новых отзывов".
    virtual bool NoReviewsNoWrites() const = 0;

    virtual bool RepeatChecked() const = 0;
    virtual int RepeatMinutes() const = 0;
    // Sets the repeat timer's interval and enables it.
    virtual void ArmRepeatTimer(int intervalMs) = 0;

    // Disable: start button, layout and no-reviews check boxes off, repeat timer stopped.
    // Enable: progress position 0, the three controls on again (the timer is the run's to re-arm).
    virtual void DisableRunControls() = 0;
    virtual void EnableRunControls() = 0;

    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;

    // Lets the window handle its pending events (stop button, edits, moves).
    virtual void PumpEvents() = 0;

    // A modal box with no owner, the warning icon and OK.
    virtual void ShowWarning(const QString& title, const QString& text) = 0;

    // The run has ended and its store of taken reviews is saved.
    virtual void RunEnded(const RunSummary& summary) { (void)summary; }
};

}  // namespace quillorn
