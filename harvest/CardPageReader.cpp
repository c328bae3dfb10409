#include "harvest/CardPageReader.h"

#include "harvest/TextHelpers.h"
#include "json/JsonValue.h"
#include "platform/Errors.h"

namespace quillorn {

namespace {

// The JSON text of the page state: a script assigns JSON.parse('...') of it, with the string
// literal's backslashes doubled. The end marker takes the object's closing brace with it, so the
// brace is put back; only the doubled backslashes are undone here, the parser resolves the rest of
// the literal's escapes.
QString EmbeddedState(const QString& page) {
    QString state =
        ExtractBetween(page, QStringLiteral("var initialState = "), QStringLiteral("};"));
    state = ExtractBetween(state, QStringLiteral("JSON.parse('"), QStringLiteral("}');"));
    state = ReplaceAll(state, QStringLiteral("\\\\"), QStringLiteral("\\"));
    if (!state.isEmpty())
        state += u'}';
    return state;
}

// The "data" of the last value under data.entity.profile; nothing when there is none.
JsonValuePtr ProfileData(const JsonValuePtr& document) {
    if (!document)
        return nullptr;
    const JsonValuePtr profile = document->Lookup(u"data.entity.profile");
    if (!profile)
        return nullptr;
    JsonValuePtr data;
    for (const JsonValuePtr& value : profile->Items()) {
        data = nullptr;
        if (!value)
            continue;
        if (const JsonObjectPtr members = value->AsObject())
            data = members->Member(u"data");
    }
    return data;
}

QString City(const JsonValue& data) {
    QString city, districtArea, district, settlement;
    if (const JsonArrayPtr divisions = data.LookupArray(u"adm_div")) {
        for (int i = 0; i < divisions->Length(); ++i) {
            const JsonValuePtr division = divisions->ItemAt(i);
            if (!division)
                continue;
            const QString type = division->LookupString(u"type");
            if (type == u"city")
                city = division->LookupString(u"name");
            else if (type == u"district_area")
                districtArea = division->LookupString(u"name");
            else if (type == u"district")
                district = division->LookupString(u"name");
            else if (type == u"settlement")
                settlement = division->LookupString(u"name");
        }
    }
    if (!city.isEmpty())
        return city;
    const QString comma = QStringLiteral(", ");
    if (district.isEmpty())
        return districtArea + comma + settlement;
    return districtArea + comma + district + comma + settlement;
}

}  // namespace

CardPage CardPageReader::Read(const QString& page) const {
    CardPage card;
    card.ReviewApiKey =
        ExtractBetween(page, QStringLiteral("\"reviewApiKey\":\""), QStringLiteral("\""));
    CardProfile& profile = card.Profile;
    profile.BranchId =
        ExtractBetween(page, QStringLiteral("\"entity\":{\"profile\":{\""), QStringLiteral("\""));
    if (profile.BranchId.isEmpty())
        throw Failure(QStringLiteral("Broken"));

    const JsonValuePtr data = ProfileData(ParseJson(EmbeddedState(page)));
    if (!data)
        return card;

    if (const JsonValuePtr name = data->Lookup(u"name_ex"))
        profile.FirmName = name->LookupString(u"primary");
    profile.City = City(*data);
    profile.Address = data->LookupString(u"geometry_name");
    if (profile.Address.isEmpty())
        profile.Address = data->LookupString(u"address_name");
    if (const JsonValuePtr reviews = data->Lookup(u"reviews")) {
        profile.Rating = ReplaceAll(reviews->LookupString(u"general_rating"), QStringLiteral("."),
                                    decimalSeparator_);
        profile.RatingCount = reviews->LookupString(u"general_review_count_with_stars");
    }
    return card;
}

}  // namespace quillorn
