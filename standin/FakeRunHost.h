// A headless stand-in for the main window: the controls a run reads are plain fields, and every
// call that acts on the window is recorded in order, so a caller can check what a run did to it.
// And a log panel with a hook on every line.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

#include "harvest/RunHost.h"
#include "platform/LogSink.h"

namespace quillorn::standin {

class FakeRunHost final : public RunHost {
public:
    bool vertical = true;
    QStringList cardLines;
    int intervalSeconds = 0;
    bool noReviewsNoWrites = false;
    bool repeatChecked = false;
    int repeatMinutes = 1;

    // Window actions in the order they happened ("DisableRunControls", "Progress 3", ...); pumps
    // are counted, not recorded.
    QStringList events;
    int pumps = 0;
    bool controlsEnabled = true;
    int progressMaximum = -1;
    QList<int> progressPositions;
    // Called at every pump, after it is counted: a test presses stop or edits the list here.
    std::function<void()> onPump;
    // Called when the run enables its controls again and when it arms the repeat timer, so a test
    // can look at the files at that moment of the clean-up.
    std::function<void()> onEnable;
    std::function<void()> onArm;

    bool VerticalLayout() const override { return vertical; }
    QString CardListText() const override { return cardLines.join(QStringLiteral("\r\n")); }
    int CardLineCount() const override { return static_cast<int>(cardLines.size()); }
    QString CardLine(int i) const override {
        // A line index past the end is what a list shortened during a run yields; the run must
        // treat it as a failure, so the fake answers the way the window's control does.
        if (i >= cardLines.size())
            throw std::out_of_range("line index out of bounds");
        return cardLines.at(i);
    }

    int IntervalSeconds() const override { return intervalSeconds; }
    void SetIntervalSeconds(int seconds) override {
        intervalSeconds = seconds;
        events << QStringLiteral("Interval %1").arg(seconds);
    }
    bool NoReviewsNoWrites() const override { return noReviewsNoWrites; }
    bool RepeatChecked() const override { return repeatChecked; }
    int RepeatMinutes() const override { return repeatMinutes; }
    void ArmRepeatTimer(int intervalMs) override {
        events << QStringLiteral("ArmRepeat %1").arg(intervalMs);
        if (onArm)
            onArm();
    }

    void DisableRunControls() override {
        controlsEnabled = false;
        events << QStringLiteral("DisableRunControls");
    }
    void EnableRunControls() override {
        controlsEnabled = true;
        progressPositions << 0;
        events << QStringLiteral("EnableRunControls");
        if (onEnable)
            onEnable();
    }
    void SetProgressMaximum(int maximum) override {
        progressMaximum = maximum;
        events << QStringLiteral("ProgressMaximum %1").arg(maximum);
    }
    void SetProgressPosition(int position) override { progressPositions << position; }

    void PumpEvents() override {
        ++pumps;
        if (onPump)
            onPump();
    }

    void ShowWarning(const QString& title, const QString& text) override {
        events << QStringLiteral("Warning %1: %2").arg(title, text);
    }
};

// A log panel that lets a test act when a line arrives (press stop, edit the list).
class HookedLogSink final : public LogSink {
public:
    std::function<void(const QString& line)> onLine;

    void AppendLine(const QString& line) override {
        lines_.append(line);
        if (onLine)
            onLine(line);
    }
    void Clear() override { lines_.clear(); }
    QStringList Lines() const override { return lines_; }

private:
    QStringList lines_;
};

}  // namespace quillorn::standin
