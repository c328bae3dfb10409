#include "output/TakenReviews.h"

#include "output/ReviewJournal.h"
#include "output/SeenReviewStore.h"

namespace quillorn {

TakenReviews::TakenReviews(SeenReviewStore& store, ReviewJournal& journal)
    : store_(store), journal_(journal) {}

void TakenReviews::Delivered(const QStringList& ids) {
    if (ids.isEmpty())
        return;
    journal_.Confirm(ids);
    delivered_ += static_cast<int>(ids.size());
}

void TakenReviews::Lost(const QStringList& ids) {
    if (ids.isEmpty())
        return;
    for (const QString& id : ids)
        store_.Remove(id);
    // When lines of other reviews followed (never, as the run takes reviews), the journal keeps
    // these too; the store alone decides what a later run skips.
    journal_.Withdraw(ids);
}

}  // namespace quillorn
