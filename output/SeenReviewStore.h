// The ids of every review already taken, kept in "IdsDB.dat": read at the start of a run, grown by
// each review the run takes and written back whole at its end. Ids are compared by the locale's
// case-insensitive comparison; the store keeps them sorted and free of equal entries.
#pragma once

#include "platform/AppDir.h"
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

    // Empties the store and fills it from IdsDB.dat when the file exists: encoding by its mark
    // (else Windows-1251), one id per line (CR LF, CR or LF), empty lines kept as the empty id, the
    // first of equal ids kept. Then logs the count line. Without the file: empty, no line.
    // Raises Failure "Cannot open file \"<path>\". <reason>" when the file exists but cannot be
    // read.
    void Load();

    bool Contains(const QString& id) const;
    // Adds id unless an equal id is present.
    void Add(const QString& id);
    // Takes out the entry equal to id, if any: for a review taken whose row could not be written.
    void Remove(const QString& id);
    int Count() const;

    // Replaces IdsDB.dat atomically with every id in the store's order, each followed by CR LF, in
    // the encoding read (with its mark) or Windows-1251 without a mark when the file had none or
    // did not exist; in UTF-8 with its mark when Windows-1251 cannot hold an id or its bytes would
    // begin like a mark. Raises OutputFailure "Cannot create file ..." / "Cannot write file ..."
    // and then leaves the previous file as it was.
    void Save() const;

    // Every id in the store's order.
    QStringList Ids() const;
    // The encoding of IdsDB.dat as read; empty when the file did not exist.
    std::optional<TextEncoding> FileEncoding() const { return encoding_; }
    QString FilePath() const { return dir_.FilePath(QStringLiteral("IdsDB.dat")); }

private:
    struct Less {
        const LocaleServices* locale;
        bool operator()(const QString& a, const QString& b) const;
    };

    const LocaleServices& locale_;
    RunLog& log_;
    AppDir dir_;
    // The ids loaded from the file (sorted, distinct) and those added since (a tree, so an insert
    // never moves a million entries); the two never hold equal ids.
    std::vector<QString> loaded_;
    std::set<QString, Less> added_;
    std::optional<TextEncoding> encoding_;
};

}  // namespace quillorn
