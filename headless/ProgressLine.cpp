#include "headless/ProgressLine.h"

#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace quillorn {

namespace {

const QString kJournalName = QStringLiteral("IdDates.dat");
constexpr const char* kClearLine = "\r\x1b[K";

}  // namespace

ProgressLine::ProgressLine(AppDir dir) : dir_(std::move(dir)), enabled_(::isatty(STDERR_FILENO)) {}

void ProgressLine::BeginRun(int cardCount) {
    if (!enabled_)
        return;
    running_ = true;
    cardCount_ = cardCount;
    card_ = 0;
    journalStart_ = QFileInfo(dir_.FilePath(kJournalName)).size();
    journalRead_ = journalStart_;
    newReviews_ = 0;
}

void ProgressLine::SetCard(int index) {
    if (!running_)
        return;
    card_ = index + 1;
    Show();
}

void ProgressLine::Hide() {
    if (!shown_)
        return;
    std::fputs(kClearLine, stderr);
    std::fflush(stderr);
    shown_ = false;
}

void ProgressLine::Show() {
    if (!running_ || card_ == 0)
        return;
    CountNewReviews();
    const QString text = QStringLiteral("Карточка %1 из %2, новых отзывов: %3")
                             .arg(card_)
                             .arg(cardCount_)
                             .arg(newReviews_);
    std::fputs(kClearLine, stderr);
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::EndRun() {
    Hide();
    running_ = false;
}

// Reads only what the journal gained since the last look; a journal that lost lines (a row that
// could not be written gives its reviews back) is counted again from the run's start.
void ProgressLine::CountNewReviews() {
    QFile journal(dir_.FilePath(kJournalName));
    const qint64 size = journal.size();
    if (size == journalRead_ || !journal.open(QIODevice::ReadOnly))
        return;
    if (size < journalRead_) {
        journalRead_ = journalStart_;
        newReviews_ = 0;
    }
    if (!journal.seek(journalRead_))
        return;
    const QByteArray added = journal.read(size - journalRead_);
    newReviews_ += added.count('\n');
    journalRead_ += added.size();
}

}  // namespace quillorn
