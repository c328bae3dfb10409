// The host of a run without a window: the controls a run reads are the card list of urls.txt and
// the options of settings.ini and the command line, fixed for the run; the progress goes to the
// progress line, warnings to standard error, and what the run did to its "controls" is kept so
// the program can tell how the run went.
#pragma once

#include <QStringList>
#include <optional>

#include "harvest/RunHost.h"

namespace quillorn {

class ProgressLine;

struct ConsoleRunSettings {
    // The lines of urls.txt; blank lines count, as in the window's list.
    QStringList cardLines;
    bool verticalLayout = true;
    int intervalSeconds = 1;
    bool noReviewsNoWrites = true;
    // Minutes of --repeat; none: the run arms no repeat.
    std::optional<int> repeatMinutes;
};

class ConsoleRunHost final : public RunHost {
public:
    // pump handles the program's pending events (termination signals).
    ConsoleRunHost(ConsoleRunSettings settings, ProgressLine& progress, std::function<void()> pump);

    bool VerticalLayout() const override { return settings_.verticalLayout; }
    QString CardListText() const override;
    int CardLineCount() const override;
    QString CardLine(int i) const override;
    int IntervalSeconds() const override { return settings_.intervalSeconds; }
    void SetIntervalSeconds(int seconds) override { settings_.intervalSeconds = seconds; }
    bool NoReviewsNoWrites() const override { return settings_.noReviewsNoWrites; }
    bool RepeatChecked() const override { return settings_.repeatMinutes.has_value(); }
    int RepeatMinutes() const override { return settings_.repeatMinutes.value_or(0); }
    void ArmRepeatTimer(int intervalMs) override { repeatMs_ = intervalMs; }
    void DisableRunControls() override;
    void EnableRunControls() override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int) override {}
    void PumpEvents() override;
    void ShowWarning(const QString& title, const QString& text) override;

    // The run locked its controls: it got past its start.
    bool Started() const { return started_; }
    // The run reached its card loop (its result file is open).
    bool ReachedCards() const { return reachedCards_; }
    // What the run's end armed the repeat with, in milliseconds.
    std::optional<int> RepeatMs() const { return repeatMs_; }

private:
    ConsoleRunSettings settings_;
    ProgressLine& progress_;
    std::function<void()> pump_;
    bool started_ = false;
    bool reachedCards_ = false;
    std::optional<int> repeatMs_;
};

// A warning box's title and text as the window would show them, on standard error.
void PrintWarning(ProgressLine& progress, const QString& title, const QString& text);

}  // namespace quillorn
