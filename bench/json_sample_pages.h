// Deterministic JSON texts shaped like what the harvester parses: the state embedded in a firm
// card page (nested objects, long arrays, Cyrillic text raw and as \u escapes, numbers of every
// kind) grown to a wanted size, and one reviews feed page of fifty reviews.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace quillorn::bench {

class JsonSampleWriter {
public:
    explicit JsonSampleWriter(std::uint32_t seed) : random_(seed) {}

    // A card page state of at least approxBytes bytes of UTF-8.
    std::string CardState(std::size_t approxBytes) {
        std::string out;
        out.reserve(approxBytes + 64 * 1024);
        out += R"({"appContext":{"lang":"ru_RU","locale":"ru","isMobile":false,"build":"2.41.0",)";
        out += R"("region":{"id":32,"code":"moscow","center":[37.617635,55.755814],"zoom":11.5}},)";
        out +=
            R"("data":{"entity":{"profile":{"70000001012345678":{"data":{"id":"70000001012345678_abc",)";
        out +=
            R"("name":"Кофейня «Зерно и Пар»","address":{"name":"ул. Тверская, 7","building_id":"4504",)";
        out +=
            R"("postcode":"125009"},"reviews":{"general_rating":4.7,"general_review_count":1287,)";
        out +=
            R"("org_rating":4.666667,"is_reviewable":true},"point":{"lat":55.757962,"lon":37.611476}}}}}},)";
        out += R"("catalog":{"total":)" + std::to_string(approxBytes / 1400) + R"(,"items":[)";
        for (int i = 0; out.size() + 40 * 1024 < approxBytes; ++i) {
            if (i > 0)
                out += ',';
            Branch(out, i);
        }
        out += R"(]},"i18n":{)";
        for (int i = 0; i < 300; ++i) {
            if (i > 0)
                out += ',';
            out += "\"key_" + std::to_string(i) + "\":\"";
            EscapedCyrillic(out, 6 + int(random_() % 10));
            out += '"';
        }
        out += R"(},"flags":[)";
        for (int i = 0; i < 200; ++i) {
            if (i > 0)
                out += ',';
            out += random_() % 3 == 0 ? "null" : (random_() % 2 ? "true" : "false");
        }
        out += "]}";
        return out;
    }

    // One page of the reviews feed with fifty reviews.
    std::string FeedPage() {
        std::string out =
            R"({"meta":{"code":200,"total_count":1287,"branch_rating":4.7,)"
            R"("next_link":"https://public-api.example/2.0/branches/7/reviews?limit=50&offset_date=2024-05-01T10%3A00%3A00"},)"
            R"("reviews":[)";
        for (int i = 0; i < 50; ++i) {
            if (i > 0)
                out += ',';
            Review(out, i);
        }
        out += "]}";
        return out;
    }

private:
    static constexpr const char* kWords[] = {"кофе",       "отличный", "персонал", "быстро",
                                             "вкусно",     "уютно",    "цены",     "обслуживание",
                                             "рекомендую", "десерт",   "завтрак",  "атмосфера",
                                             "зал",        "музыка",   "снова",    "приду"};

    void Words(std::string& out, int count) {
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                out += random_() % 9 == 0 ? ", " : " ";
            out += kWords[random_() % std::size(kWords)];
            if (random_() % 40 == 0)
                out += "\\n";
        }
    }

    // Cyrillic words written as \u escapes, as script-embedded JSON often has them.
    void EscapedCyrillic(std::string& out, int letters) {
        static const char* hex = "0123456789abcdef";
        for (int i = 0; i < letters; ++i) {
            const unsigned c = 0x430 + random_() % 32;
            out += "\\u0";
            out += hex[(c >> 8) & 15];
            out += hex[(c >> 4) & 15];
            out += hex[c & 15];
        }
    }

    std::string Number(double low, double high, int decimals) {
        std::uniform_real_distribution<double> pick(low, high);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, pick(random_));
        return buffer;
    }

    void Branch(std::string& out, int i) {
        out += "{\"id\":\"7000000" + std::to_string(1000000000 + i) + "\",\"type\":\"branch\",";
        out += "\"name\":\"";
        Words(out, 2 + int(random_() % 3));
        out += "\",\"name_ex\":{\"primary\":\"";
        EscapedCyrillic(out, 12);
        out += "\",\"extension\":\"кафе\"},\"point\":{\"lat\":" + Number(55.5, 56.0, 6) +
               ",\"lon\":" + Number(37.3, 37.9, 6) + "},";
        out += "\"reviews\":{\"general_rating\":" + Number(1, 5, 1) +
               ",\"general_review_count\":" + std::to_string(random_() % 5000) +
               ",\"weight\":" + Number(0, 1, 8) + ",\"delta\":-" + std::to_string(random_() % 99) +
               ".5e-" + std::to_string(random_() % 9) + "},";
        out += "\"rubrics\":[";
        for (int r = 0, n = 1 + int(random_() % 4); r < n; ++r) {
            if (r > 0)
                out += ',';
            out += "{\"id\":\"" + std::to_string(161 + random_() % 900) + "\",\"name\":\"";
            Words(out, 2);
            out += "\",\"kind\":\"primary\",\"short_id\":" + std::to_string(random_() % 1000) + "}";
        }
        out += "],\"schedule\":{";
        static const char* days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
        for (int d = 0; d < 7; ++d) {
            if (d > 0)
                out += ',';
            out += std::string("\"") + days[d] +
                   "\":{\"working_hours\":[{\"from\":\"09:00\",\"to\":\"22:00\"}]}";
        }
        out += ",\"is_24x7\":false},\"contact_groups\":[{\"contacts\":[{\"type\":\"phone\",";
        out += "\"value\":\"+7495" + std::to_string(1000000 + random_() % 8999999) +
               "\",\"text\":\"+7 (495) 123-45-67\"},{\"type\":\"website\",\"url\":"
               "\"https:\\/\\/example.ru\\/cafe?id=" +
               std::to_string(i) + "\"}]}],\"attribute_groups\":[";
        for (int a = 0, n = int(random_() % 6); a < n; ++a) {
            if (a > 0)
                out += ',';
            out += "{\"name\":\"";
            Words(out, 3);
            out += "\",\"is_primary\":" + std::string(a == 0 ? "true" : "false") +
                   ",\"rank\":" + std::to_string(a) + "}";
        }
        out += "],\"org\":{\"id\":\"" + std::to_string(random_()) +
               "\",\"branch_count\":" + std::to_string(random_() % 40) +
               "},\"ads\":null,\"dates\":{\"updated_at\":"
               "\"2024-03-01T12:00:00+03:00\"}}";
    }

    void Review(std::string& out, int i) {
        out += "{\"id\":\"" + std::to_string(140000000 + i * 7919) + "\",\"region_id\":32,";
        out += "\"text\":\"";
        Words(out, 20 + int(random_() % 120));
        out += "\",\"rating\":" + std::to_string(1 + random_() % 5) +
               ",\"likes_count\":" + std::to_string(random_() % 30) +
               ",\"comments_count\":0,\"date_created\":\"2024-04-2" + std::to_string(i % 10) +
               "T10:15:3" + std::to_string(i % 10) + ".123456+07:00\",\"date_edited\":null,";
        out += "\"user\":{\"id\":\"" + std::to_string(random_()) +
               "\",\"reviews_count\":" + std::to_string(random_() % 200) + ",\"first_name\":\"";
        EscapedCyrillic(out, 6);
        out += "\",\"last_name\":\"\",\"name\":\"Анна К.\",\"public_id\":\"" +
               std::to_string(random_()) +
               "\",\"photo_preview_urls\":{\"32x32\":\"https:\\/\\/i.example\\/32.jpg\","
               "\"url\":\"https:\\/\\/i.example\\/u.jpg\"}},";
        out += "\"official_answer\":";
        if (random_() % 3 == 0) {
            out += "{\"id\":\"" + std::to_string(random_()) +
                   "\",\"org_name\":\"Зерно и Пар\","
                   "\"text\":\"";
            Words(out, 15);
            out += "\",\"date_created\":\"2024-04-30T09:00:00+07:00\"}";
        } else {
            out += "null";
        }
        out +=
            ",\"photos\":[],\"is_hidden\":false,\"hiding_reason\":null,\"object\":{\"id\":"
            "\"70000001012345678\",\"type\":\"branch\"},\"provider\":\"2gis\"}";
    }

    std::mt19937 random_;
};

}  // namespace quillorn::bench
