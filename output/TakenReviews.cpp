#include "output/TakenReviews.h"

#include "output/SeenReviewStore.h"

namespace quillorn {

TakenReviews::TakenReviews(SeenReviewStore& store) : store_(store) {}

void TakenReviews::Delivered(const QStringList& ids) {
    if (ids.isEmpty())
        return;
    store_.Record(ids);
    delivered_ += static_cast<int>(ids.size());
}

void TakenReviews::Lost(const QStringList& ids) {
    // The journal keeps their lines: it records takes, and a later take appends again.
    for (const QString& id : ids)
        store_.Remove(id);
}

}  // namespace quillorn
