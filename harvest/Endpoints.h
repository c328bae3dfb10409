// The two addresses of the directory a run talks to besides the card URLs themselves. The
// compiled-in defaults are the real directory's; tests and the probe inject a stand-in's.
#pragma once

#include <QString>

namespace quillorn {

struct Endpoints {
    // Base of the reviews API; the feed appends "/2.0/branches/<id>/reviews?...".
    QString reviewsApiBase = QStringLiteral("https://public-api.reviews.2gis.com");
    // The directory site; author profile links are this + "/user/" + id.
    QString siteAddress = QStringLiteral("https://2gis.ru");
};

}  // namespace quillorn
