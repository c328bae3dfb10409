// "IdsDB.pending": the row a run is about to write to its result file, kept so that the next run
// can tell what became of it. A row's ids go into IdsDB.dat only once the row is in the result
// file, so a run ended between the two writes (a kill, a power cut, the session's end) leaves
// reviews delivered but not remembered, and the next run would deliver them again; a run ended in
// the middle of a write leaves a torn row. Before each write the result table appends here, in one
// write, the file's name, where the row starts, its length, its digest and its ids. The next run
// settles the last record before it takes anything: a row that is whole in its file has its ids
// remembered, a torn row is cut off the file (its reviews are offered again), and a result file
// that never received its header is removed. The file is emptied then and when a run ends.
#pragma once

#include "platform/AppDir.h"
#include "platform/LockedFile.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace quillorn {

class SeenReviewStore;

class RowInFlight {
public:
    explicit RowInFlight(AppDir dir);

    // Settles the last record a previous run left (see above) into store, which must be loaded,
    // then empties the file and keeps it open, locked, for this run's records. Raises Failure
    // "Cannot open file ..." / "Cannot read file ..." when the record or the row is out of reach,
    // and OutputFailure when the ids cannot be remembered or the record cannot be emptied. A torn
    // row in a file another program holds is left as it is.
    void Settle(SeenReviewStore& store);

    // The row of ids is about to be written at offset of the result file named resultFileName.
    // Raises OutputFailure "Cannot write file ..."; the row must then not be written.
    void Coming(const QString& resultFileName, qint64 offset, QByteArrayView row,
                const QStringList& ids);

    // Nothing is on its way: the file the last record names was never made, or the run has ended
    // and saved its store.
    void Nothing();

    QString FilePath() const { return dir_.FilePath(QStringLiteral("IdsDB.pending")); }

private:
    void Open();

    AppDir dir_;
    LockedFile file_;
};

}  // namespace quillorn
