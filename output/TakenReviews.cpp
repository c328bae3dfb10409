#include "output/TakenReviews.h"

#include "output/SeenReviewStore.h"

namespace quillorn {

TakenReviews::TakenReviews(SeenReviewStore& store, AppDir dir)
    : store_(store), inFlight_(std::move(dir)) {}

void TakenReviews::SettleInterruptedRow() {
    inFlight_.Settle(store_);
}

void TakenReviews::RowComing(const QString& resultFileName, qint64 offset, QByteArrayView row,
                             const QStringList& ids) {
    inFlight_.Coming(resultFileName, offset, row, ids);
}

void TakenReviews::NoRowComing() {
    inFlight_.Nothing();
}

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
