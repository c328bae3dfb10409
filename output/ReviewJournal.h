// "IdDates.dat": a record of every review taken, one line per take: the id, a tab and the time
// stamp, CR LF, in Windows-1251. Lines are only ever appended, each in the file when Append
// returns; the file is never read, cut or rewritten. A review whose row never reached the result
// file is taken again by a later run and journalled again; IdsDB.dat alone decides what is skipped.
#pragma once

#include "platform/AppDir.h"
#include "platform/LockedFile.h"

#include <QString>

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

    // Closes the file; does nothing when it is not open.
    void Close();

    bool IsOpen() const { return file_.IsOpen(); }
    QString FilePath() const { return dir_.FilePath(QStringLiteral("IdDates.dat")); }

private:
    const LocaleServices& locale_;
    AppDir dir_;
    LockedFile file_;
};

}  // namespace quillorn
