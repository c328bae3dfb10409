// What a run remembers of the reviews it took, kept true by the result table as it writes rows: a
// review counts as delivered only once the row that holds it is in the result file, and then its
// id is in IdsDB.dat at once. The ids of a row that cannot be written leave the store again, so a
// later attempt or run offers those reviews once more.
#pragma once

#include <QStringList>

namespace quillorn {

class SeenReviewStore;

class TakenReviews {
public:
    // Keeps a reference; the store must outlive this object.
    explicit TakenReviews(SeenReviewStore& store);

    // The row holding the reviews of ids is in the result file: their ids go into IdsDB.dat.
    // Raises OutputFailure when they cannot; the caller then takes the row back and calls Lost.
    void Delivered(const QStringList& ids);

    // The row holding the reviews of ids could not be written, or was taken back.
    void Lost(const QStringList& ids);

    // How many ids Delivered has recorded.
    int DeliveredCount() const { return delivered_; }

private:
    SeenReviewStore& store_;
    int delivered_ = 0;
};

}  // namespace quillorn
