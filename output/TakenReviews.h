// What a run remembers of the reviews it took (the seen-review store and the review journal), kept
// true by the result table as it writes rows: a review counts as delivered only once the row that
// holds it is in the result file. The ids of a row that cannot be written leave the store before
// it is saved, and their journal lines go, so a later run offers those reviews again.
#pragma once

#include <QStringList>

namespace quillorn {

class ReviewJournal;
class SeenReviewStore;

class TakenReviews {
public:
    // Keeps references; they must outlive this object.
    TakenReviews(SeenReviewStore& store, ReviewJournal& journal);

    // The row holding the reviews of ids is in the result file.
    void Delivered(const QStringList& ids);

    // The row holding the reviews of ids could not be written.
    void Lost(const QStringList& ids);

    // How many ids Delivered has been given.
    int DeliveredCount() const { return delivered_; }

private:
    SeenReviewStore& store_;
    ReviewJournal& journal_;
    int delivered_ = 0;
};

}  // namespace quillorn
