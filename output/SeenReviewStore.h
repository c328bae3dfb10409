// The ids of every review already taken, kept in "IdsDB.dat". The file follows the rows: the ids of
// a row are appended to it as soon as the row is in the result file, one write a row, so whatever
// ends a run afterwards (a kill, a power cut, a full disk) the next run skips what was delivered
// and offers again what was not. The end of a run rewrites the file whole, sorted and without
// repeats: a compaction of what it already holds. Ids are compared by the locale's
// case-insensitive comparison; the store keeps them sorted and free of equal entries.
#pragma once

#include "platform/AppDir.h"
#include "platform/LockedFile.h"
#include "platform/TextEncoding.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <set>
#include <vector>

namespace quillorn {

class LocaleServices;
class RunLog;

class SeenReviewStore {
public:
    // Keeps references to locale and log; they must outlive the store.
    SeenReviewStore(const LocaleServices& locale, RunLog& log, AppDir dir);

    // Empties the store and fills it from IdsDB.dat when the file exists: encoding by its mark,
    // else the system's code page (Windows-1251 when the code page is UTF-8 but the file is not),
    // one id per line (CR LF, CR or LF), empty lines kept as the empty id, the
    // first of equal ids kept. Then logs the count line (not when there was no file). A file whose
    // last line was cut off (no line break at its end, half a character) is rewritten whole
    // first, so what is appended later starts on a line of its own. Finally the file is opened
    // (created when missing) for the appends of Record, locked against other writers.
    // Raises Failure "Cannot open file \"<path>\". <reason>" when the file exists but cannot be
    // read or opened, "Cannot create file ..." when it cannot be made.
    void Load();

    bool Contains(const QString& id) const;
    // Adds id unless an equal id is present: the review is taken for the rest of this run.
    void Add(const QString& id);
    // Takes out the entry equal to id, if any: for a review taken whose row could not be written.
    void Remove(const QString& id);
    int Count() const;

    // The row holding ids is in the result file: appends them to IdsDB.dat in one write, each
    // followed by CR LF, in the file's encoding (the system's code page for a new file). When a
    // file without a mark could not give them back (Windows-1251 lacks a character, the first bytes
    // of an empty file would read as a mark or as UTF-8), it is rewritten in UTF-8 with its mark.
    // Raises OutputFailure "Cannot write file ..." when nothing of them could be recorded; no part
    // of a write is left in the file.
    void Record(const QStringList& ids);

    // Replaces IdsDB.dat atomically with every id loaded or recorded, in the store's order, each
    // followed by CR LF, in the file's encoding with its mark when it had one, without when it had
    // none, in the system's code page without a mark when it did not exist; in UTF-8 with its mark
    // when the next run could not read every id back from a file without one. Closes the file held
    // for appending. Raises OutputFailure "Cannot create file ..." / "Cannot write file ..." and
    // then leaves the previous file as it was.
    void Save();

    // Every id taken, in the store's order.
    QStringList Ids() const;
    // The encoding of IdsDB.dat as read, or UTF-8 once the store had to widen it; empty when the
    // file did not exist and nothing was recorded yet. FileHasMark: whether it begins with a mark.
    std::optional<TextEncoding> FileEncoding() const { return encoding_; }
    bool FileHasMark() const { return withMark_; }
    QString FilePath() const { return dir_.FilePath(QStringLiteral("IdsDB.dat")); }

private:
    struct Less {
        const LocaleServices* locale;
        bool operator()(const QString& a, const QString& b) const;
    };

    // Replaces the file with the loaded and recorded ids, widening Windows-1251 to UTF-8 when it
    // cannot hold them; the file is left closed.
    void Rewrite();
    void OpenForAppending();

    const LocaleServices& locale_;
    RunLog& log_;
    AppDir dir_;
    // The ids loaded from the file (sorted, distinct) and those taken since (a tree, so an insert
    // never moves a million entries); the two never hold equal ids.
    std::vector<QString> loaded_;
    std::set<QString, Less> added_;
    // The ids appended to the file in this run, in the order of the rows: with loaded_, what the
    // file holds.
    std::vector<QString> recorded_;
    std::optional<TextEncoding> encoding_;
    bool withMark_ = false;
    LockedFile file_;
    bool fileEmpty_ = false;  // nothing is in the file yet, not even a mark
};

}  // namespace quillorn
