// What a run remembers of the reviews it took, kept true by the result table as it writes rows: a
// review counts as delivered only once the row that holds it is in the result file, and then its
// id is in IdsDB.dat at once. The ids of a row that cannot be written leave the store again, so a
// later attempt or run offers those reviews once more. Each row is announced before it is written
// (RowInFlight), so a run ended between a row and its ids, or in the middle of a row, is set right
// by the next run.
#pragma once

#include "output/RowInFlight.h"
#include "platform/AppDir.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace quillorn {

class SeenReviewStore;

class TakenReviews {
public:
    // Keeps a reference; the store must outlive this object. dir holds the store.
    TakenReviews(SeenReviewStore& store, AppDir dir);

    // Before a run takes anything, after the store is loaded: settles the row an earlier run was
    // writing when it ended (RowInFlight::Settle).
    void SettleInterruptedRow();

    // The row of ids (none for a header) is about to be written at offset of the result file
    // named resultFileName. Raises OutputFailure; the row must then not be written.
    void RowComing(const QString& resultFileName, qint64 offset, QByteArrayView row,
                   const QStringList& ids);
    // Nothing is on its way: the result file last announced was never made, or every row's ids
    // are in the saved store.
    void NoRowComing();

    // The row holding the reviews of ids is in the result file: their ids go into IdsDB.dat.
    // Raises OutputFailure when they cannot; the caller then takes the row back and calls Lost.
    void Delivered(const QStringList& ids);

    // The row holding the reviews of ids could not be written, or was taken back.
    void Lost(const QStringList& ids);

    // How many ids Delivered has recorded.
    int DeliveredCount() const { return delivered_; }

private:
    SeenReviewStore& store_;
    RowInFlight inFlight_;
    int delivered_ = 0;
};

}  // namespace quillorn
