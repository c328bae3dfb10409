// The content the stand-in directory serves: firm card pages that carry the reviews key and the
// page state the way the directory's pages do (the state as a JSON text inside a script string,
// with its backslashes doubled and its apostrophes escaped), and the reviews API's JSON answers.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace quillorn::standin {

struct StandInUser {
    QString id;
    QString name;
    int reviewsCount = 0;
};

struct StandInReview {
    QString id;
    QString text;
    QString dateCreated = QStringLiteral("2023-05-17T10:20:30.123456+07:00");
    int rating = 5;
    int likes = 0;
    // No value: the review has no "user" member; userIsNull: "user": null.
    std::optional<StandInUser> user;
    bool userIsNull = false;
    // Empty: "official_answer": null.
    QString officialAnswer;
};

// What the last page of a feed says under "meta.next_link"; NullOnEveryPage: every page says
// null, those before the last one too.
enum class LastNextLink { Absent, Empty, Null, NullOnEveryPage };

struct StandInCard {
    // Path of the card page on the site, e.g. "/moscow/firm/70000001".
    QString path;
    // Empty: the page carries no branch id (the profile object has no member name).
    QString branchId;
    QString key;  // the reviews key the page carries
    QString name;
    QString geometryName;
    QString addressName;
    // "adm_div" entries as (type, name); absent when hasAdmDiv is false.
    QList<QPair<QString, QString>> admDiv;
    bool hasAdmDiv = true;
    bool hasNameEx = true;
    bool hasState = true;                           // false: no "var initialState = " script at all
    QString generalRating = QStringLiteral("4.7");  // a JSON number text
    QString ratingCount = QStringLiteral("42");     // a JSON number text
    QList<StandInReview> reviews;
    LastNextLink lastNextLink = LastNextLink::Absent;
};

// The card page's HTML. siteAddress is put into the page's links only.
QByteArray CardPageHtml(const StandInCard& card);

// The state object of the card page as plain JSON, before it is put into the script string.
QByteArray CardStateJson(const StandInCard& card);

// Turns a JSON text into the body of a single-quoted script string the way the site does:
// backslashes doubled, apostrophes escaped.
QByteArray ScriptStringLiteral(const QByteArray& json);

// One page of the feed: the reviews from offset on (at most limit), "meta" with the counts and a
// next_link while more reviews follow (or the last page's choice after the end).
QByteArray FeedPageJson(const StandInCard& card, int offset, int limit, const QString& apiBase);

// The answer that asks for a new key, carrying it.
QByteArray InvalidTokenJson(const QString& newKey);

// An error answer with the given message.
QByteArray ErrorJson(int code, const QString& message);

// JSON string literal of text: quotes, backslashes and control characters escaped.
QByteArray JsonString(const QString& text);

}  // namespace quillorn::standin
