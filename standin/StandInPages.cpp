#include "standin/StandInPages.h"

namespace quillorn::standin {

QByteArray JsonString(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'"':
                out += QStringLiteral("\\\"");
                break;
            case u'\\':
                out += QStringLiteral("\\\\");
                break;
            case u'\n':
                out += QStringLiteral("\\n");
                break;
            case u'\r':
                out += QStringLiteral("\\r");
                break;
            case u'\t':
                out += QStringLiteral("\\t");
                break;
            default:
                if (c.unicode() < 0x20)
                    out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QChar(u'0'));
                else
                    out += c;
        }
    }
    return (out + u'"').toUtf8();
}

namespace {

QByteArray AdmDivJson(const StandInCard& card) {
    QByteArray out = "[";
    // Real profiles lead with the country; it is of no type the reader uses.
    out += R"({"type":"country","name":"Россия","id":"1"})";
    for (const auto& [type, name] : card.admDiv)
        out += ",{\"type\":" + JsonString(type) + ",\"name\":" + JsonString(name) + "}";
    return out + "]";
}

QByteArray ProfileDataJson(const StandInCard& card) {
    QByteArray out = "{\"id\":" + JsonString(card.branchId) + ",\"type\":\"branch\"";
    if (card.hasNameEx)
        out += ",\"name_ex\":{\"primary\":" + JsonString(card.name) +
               ",\"extension\":\"кафе\",\"legal_name\":\"ООО\"}";
    if (card.hasAdmDiv)
        out += ",\"adm_div\":" + AdmDivJson(card);
    out += ",\"address_name\":" + JsonString(card.addressName);
    out += ",\"geometry_name\":" + JsonString(card.geometryName);
    out += ",\"reviews\":{\"general_rating\":" + card.generalRating.toUtf8() +
           ",\"general_review_count\":" + QByteArray::number(card.reviews.size()) +
           ",\"general_review_count_with_stars\":" + card.ratingCount.toUtf8() +
           ",\"is_reviewable\":true}";
    return out + "}";
}

}  // namespace

QByteArray CardStateJson(const StandInCard& card) {
    QByteArray profile = "{}";
    if (!card.branchId.isEmpty())
        profile = "{" + JsonString(card.branchId) + ":{\"data\":" + ProfileDataJson(card) +
                  ",\"meta\":{\"updated\":1700000000}}}";
    return R"({"appConfig":{"locale":"ru_RU"},"data":{"entity":{"profile":)" + profile +
           R"(,"entityType":"firm"},"search":{"query":"","items":[]}},"meta":{"v":"2.1"}})";
}

QByteArray ScriptStringLiteral(const QByteArray& json) {
    QByteArray out;
    out.reserve(json.size() + json.size() / 8);
    for (const char c : json) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\'')
            out += "\\'";
        else
            out += c;
    }
    return out;
}

QByteArray CardPageHtml(const StandInCard& card) {
    QByteArray page = "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\">\n<title>" +
                      card.name.toUtf8() +
                      "</title>\n<script>window.__config = {\"reviewApiKey\":\"" +
                      card.key.toUtf8() +
                      "\",\"mapsApiKey\":\"m-0000\",\"webApi\":\"/api\"};</script>\n</head><body>\n"
                      "<div id=\"root\"><a href=\"/\">Справочник</a></div>\n";
    if (card.hasState) {
        page += "<script>var initialState = JSON.parse('" +
                ScriptStringLiteral(CardStateJson(card)) + "');\n";
        // A later object literal supplies the "};" that ends the state's script statement.
        page += "var __appReady = {\"ready\":true,\"ts\":1};\n</script>\n";
    } else {
        page += "<script>var __appReady = {\"ready\":true};</script>\n";
    }
    return page + "</body></html>\n";
}

namespace {

QByteArray ReviewJson(const StandInReview& review, const QString& branchId) {
    QByteArray out = "{\"id\":" + JsonString(review.id) + ",\"region_id\":32";
    out += ",\"text\":" + JsonString(review.text);
    out += ",\"rating\":" + QByteArray::number(review.rating);
    out += ",\"provider\":\"2gis\",\"is_hidden\":false,\"hiding_reason\":null";
    out += ",\"likes_count\":" + QByteArray::number(review.likes) + ",\"comments_count\":0";
    out += ",\"date_created\":" + JsonString(review.dateCreated) + ",\"date_edited\":null";
    out += ",\"object\":{\"id\":" + JsonString(branchId) + ",\"type\":\"branch\"}";
    if (review.userIsNull) {
        out += ",\"user\":null";
    } else if (review.user) {
        out += ",\"user\":{\"id\":" + JsonString(review.user->id) +
               ",\"reviews_count\":" + QByteArray::number(review.user->reviewsCount) +
               ",\"name\":" + JsonString(review.user->name) +
               ",\"provider\":\"2gis\",\"photo_preview_urls\":{\"url\":\"\"}}";
    }
    if (review.officialAnswer.isEmpty())
        out += ",\"official_answer\":null";
    else
        out += ",\"official_answer\":{\"id\":\"a1\",\"org_name\":\"Фирма\",\"text\":" +
               JsonString(review.officialAnswer) + ",\"date_created\":\"2023-05-18\"}";
    return out + ",\"photos\":[],\"is_verified\":true,\"emojis\":[]}";
}

}  // namespace

QByteArray FeedPageJson(const StandInCard& card, int offset, int limit, const QString& apiBase) {
    const int total = static_cast<int>(card.reviews.size());
    QByteArray reviews = "[";
    for (int i = offset; i < total && i < offset + limit; ++i) {
        if (i > offset)
            reviews += ",";
        reviews += ReviewJson(card.reviews.at(i), card.branchId);
    }
    reviews += "]";

    QByteArray nextLink;
    if (card.lastNextLink == LastNextLink::NullOnEveryPage) {
        nextLink = ",\"next_link\":null";
    } else if (offset + limit < total) {
        nextLink = ",\"next_link\":" +
                   JsonString(apiBase + "/2.0/branches/" + card.branchId +
                              "/reviews?limit=50&offset=" + QString::number(offset + limit));
    } else if (card.lastNextLink == LastNextLink::Empty) {
        nextLink = ",\"next_link\":\"\"";
    } else if (card.lastNextLink == LastNextLink::Null) {
        nextLink = ",\"next_link\":null";
    }
    return "{\"meta\":{\"code\":200,\"providers\":[{\"tag\":\"2gis\"}],\"branch_rating\":" +
           card.generalRating.toUtf8() + ",\"branch_reviews_count\":" + QByteArray::number(total) +
           ",\"total_count\":" + QByteArray::number(total) + nextLink + "},\"reviews\":" + reviews +
           "}";
}

QByteArray InvalidTokenJson(const QString& newKey) {
    return R"({"meta":{"code":403,"error":{"type":"csrf","message":"Invalid csrf token"}},"csrfToken":")" +
           newKey.toUtf8() + "\"}";
}

QByteArray ErrorJson(int code, const QString& message) {
    return "{\"meta\":{\"code\":" + QByteArray::number(code) +
           ",\"error\":{\"type\":\"error\",\"message\":" + JsonString(message) + "}}}";
}

}  // namespace quillorn::standin
