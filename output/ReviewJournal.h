// "IdDates.dat": a record of every review taken, one line per review: the id, a tab and the time
// stamp, CR LF, in Windows-1251. Lines are appended, each in the file when Append returns; the file
// is never read, and nothing of it is ever cut but the last lines of this run whose reviews never
// reached the result file.
#pragma once

#include "platform/AppDir.h"
#include "platform/LockedFile.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace quillorn {

class LocaleServices;

class ReviewJournal {
public:
    // Keeps a reference to locale; it must outlive the journal.
    ReviewJournal(const LocaleServices& locale, AppDir dir);

    // Opens the file at its end without truncating it, or creates it; locked against other writers.
    // Raises Failure "Cannot open file \"<path>\". <reason>" for an existing file, "Cannot create
    // file \"<path>\". <reason>" for a new one.
    void Open();

    // Appends id + "\t" + the time stamp of this moment + CR LF. Raises OutputFailure "Cannot write
    // file \"<path>\". <reason>". Precondition: IsOpen().
    void Append(const QString& id);

    // The reviews of ids are in the result file: their lines stay for good.
    void Confirm(const QStringList& ids);

    // The reviews of ids never reached the result file, so they were not taken after all: their
    // lines are cut off. That is possible while they are the last lines of the file, which they
    // are when each row is confirmed or withdrawn before the next review is taken. Returns false
    // when lines of other reviews follow them or the system refuses; the lines then stay.
    bool Withdraw(const QStringList& ids);

    // Closes the file; does nothing when it is not open.
    void Close();

    bool IsOpen() const { return file_.IsOpen(); }
    QString FilePath() const { return dir_.FilePath(QStringLiteral("IdDates.dat")); }

private:
    struct Line {
        QString id;
        qint64 offset = 0;  // where the line begins in the file
    };

    const LocaleServices& locale_;
    AppDir dir_;
    LockedFile file_;
    // Lines appended whose reviews are not yet confirmed, in file order.
    std::vector<Line> unconfirmed_;
};

}  // namespace quillorn
