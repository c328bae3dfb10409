// Reads one firm card page: the reviews key and the branch id by their markers in the raw text, and
// the firm's profile (name, city, address, rating, number of ratings) from the page state the page
// embeds as a JSON text inside a script string.
#pragma once

#include <QString>

#include "output/CardProfile.h"

namespace quillorn {

struct CardPage {
    // The key the reviews feed expects; may be empty (the feed then sends an empty key).
    QString ReviewApiKey;
    // Every field filled from this page alone; CardUrl is left for the caller.
    CardProfile Profile;
};

class CardPageReader {
public:
    // decimalSeparator replaces every "." of the overall rating.
    explicit CardPageReader(QString decimalSeparator)
        : decimalSeparator_(std::move(decimalSeparator)) {}

    // Raises Failure "Broken" when the page carries no branch id. A page whose state is missing or
    // unreadable is no failure: its profile fields stay empty.
    CardPage Read(const QString& page) const;

private:
    QString decimalSeparator_;
};

}  // namespace quillorn
