// The line a harvest started from a terminal keeps up to date on standard error: which card of
// how many, and how many new reviews were taken so far. New reviews are counted from the review
// journal, which gets one line per review the moment it is taken.
#pragma once

#include <QString>
#include <QtGlobal>

#include "platform/AppDir.h"

namespace quillorn {

class ProgressLine {
public:
    // Shows nothing unless standard error is a terminal.
    explicit ProgressLine(AppDir dir);

    // A run begins: the journal's current length is where its new reviews start.
    void BeginRun(int cardCount);
    void SetCard(int index);
    // Takes the line away before something else is written to the terminal, and back after.
    void Hide();
    void Show();
    void EndRun();

private:
    void CountNewReviews();

    AppDir dir_;
    bool enabled_ = false;
    bool running_ = false;
    bool shown_ = false;
    int cardCount_ = 0;
    int card_ = 0;
    qint64 journalStart_ = 0;
    qint64 journalRead_ = 0;
    qint64 newReviews_ = 0;
};

}  // namespace quillorn
