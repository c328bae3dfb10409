// The decision for every review of the feed: is it new? A review already taken is skipped with a
// log line; a new one is added to the store and journalled before anything of it is written.
#pragma once

#include <QString>

namespace quillorn {

class ReviewJournal;
class RunLog;
class SeenReviewStore;

// True when id is new and has been taken (added to store, then journalled); false, after the line
// ": пропускаем отзыв " + id + ", он выгружен ранее", when store already holds it. When the journal
// line cannot be written the id is taken out of the store again and the OutputFailure propagates,
// so a later run offers the review once more.
bool AcceptReview(const QString& id, SeenReviewStore& store, ReviewJournal& journal, RunLog& log);

// The id of a review as the store and the journal know it: the feed's id with CR and LF written
// as &#13; and &#10; (the result file's escapes). IdsDB.dat holds an id a line, and a line break
// inside one would part it and bring the review back at every run.
QString StorableReviewId(const QString& feedId);

}  // namespace quillorn
