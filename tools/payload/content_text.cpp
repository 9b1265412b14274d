// Text and record files. The literals are UTF-8 in this source and code
// page 1251 in the program (compiled with -fexec-charset=CP1251).
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tools/payload/content.h"

namespace qv::payload {
namespace {

const char* const kMonths[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                               "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
const int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const char* const kWeekdays[] = {"Понедельник", "Вторник", "Среда",      "Четверг",
                                 "Пятница",     "Суббота", "Воскресенье"};

const char* const kOpeners[] = {
    "Человек, родившийся в этот день,", "Как правило, он", "Нередко такой человек",
    "В молодости он", "С годами он", "В семье он", "В работе он", "В отношениях с людьми он",
    "По натуре он", "В трудную минуту он", "Среди друзей он", "В делах он",
    "Обладатель этого дня", "Такой человек", "Этот человек", "В зрелые годы он",
};
const char* const kPredicates[] = {
    "отличается сильным характером",
    "умеет добиваться поставленных целей",
    "склонен к глубоким размышлениям",
    "легко находит общий язык с окружающими",
    "ценит покой и домашний уют",
    "стремится к новым знаниям",
    "не любит спешки и суеты",
    "проявляет заботу о близких",
    "обладает развитой интуицией",
    "бывает упрям и несговорчив",
    "часто меняет свои планы",
    "доверяет первому впечатлению",
    "тщательно обдумывает каждое решение",
    "тяготеет к искусству и музыке",
    "остаётся верен своему слову",
    "быстро загорается новой идеей",
    "не терпит несправедливости",
    "предпочитает действовать самостоятельно",
    "охотно берёт на себя ответственность",
    "избегает открытых конфликтов",
    "проявляет терпение и выдержку",
    "нуждается в признании своих заслуг",
    "умеет радоваться мелочам",
    "с трудом прощает обиды",
    "любит путешествия и перемены",
    "чувствует себя уверенно в коллективе",
    "склонен преувеличивать трудности",
    "обладает тонким чувством юмора",
    "добивается успеха упорным трудом",
    "ищет гармонию во всём",
    "прислушивается к советам старших",
    "отличается практичным складом ума",
    "привязан к родным местам",
    "тянется к природе",
    "способен увлечь за собой других",
    "бережно относится к деньгам",
};
const char* const kLinks[] = {", однако", ", но при этом", ", поэтому", " и", ", а также",
                              ", хотя иногда", ", и потому"};
const char* const kTopics[] = {"Характер", "Здоровье", "Работа и призвание", "Семья",
                               "Дружба", "Таланты", "Слабые стороны", "Совет"};

const char* const kCityRoots[] = {"Ново", "Старо", "Бело", "Красно", "Верхне", "Нижне",
                                  "Усть-", "Каменск-", "Петро", "Влади", "Ека", "Сверд",
                                  "Кал", "Твер", "Ряз", "Тул", "Ом", "Том", "Брян", "Курган"};
const char* const kCityStems[] = {"сибир", "горл", "мор", "волж", "донск", "камен", "яр",
                                  "озёр", "лес", "реч", "бор", "град", "поль", "ург"};
const char* const kCityEnds[] = {"ск", "ово", "ево", "ино", "инск", "овск", "поль", "град",
                                 "ь", "ка", "ец", "ный"};
const char* const kRegions[] = {
    "Московская обл.",    "Ленинградская обл.", "Новосибирская обл.", "Свердловская обл.",
    "Самарская обл.",     "Ростовская обл.",    "Нижегородская обл.", "Челябинская обл.",
    "Омская обл.",        "Томская обл.",       "Иркутская обл.",     "Тверская обл.",
    "Рязанская обл.",     "Тульская обл.",      "Брянская обл.",      "Курганская обл.",
    "Краснодарский край", "Красноярский край",  "Алтайский край",     "Пермский край",
    "Приморский край",    "Хабаровский край",   "Ставропольский край", "Воронежская обл.",
    "Саратовская обл.",   "Волгоградская обл.", "Оренбургская обл.",  "Кемеровская обл.",
    "Архангельская обл.", "Вологодская обл.",   "Смоленская обл.",    "Калужская обл.",
};
const char* const kRepublics[] = {"Адыгея",     "Башкортостан", "Бурятия",   "Алтай",
                                  "Дагестан",   "Ингушетия",    "Калмыкия",  "Карелия",
                                  "Коми",       "Марий Эл",     "Мордовия",  "Саха (Якутия)",
                                  "Татарстан",  "Тыва",         "Удмуртия",  "Хакасия",
                                  "Чувашия",    "Кабардино-Балкария", "Карачаево-Черкесия",
                                  "Северная Осетия"};
const char* const kCapitals[] = {"Майкоп",  "Уфа",       "Улан-Удэ",  "Горно-Алтайск", "Махачкала",
                                 "Магас",   "Элиста",    "Петрозаводск", "Сыктывкар",   "Йошкар-Ола",
                                 "Саранск", "Якутск",    "Казань",    "Кызыл",          "Ижевск",
                                 "Абакан",  "Чебоксары", "Нальчик",   "Черкесск",       "Владикавказ"};
const char* const kSurnames[] = {"Иванов", "Петров", "Сидоров", "Смирнов", "Кузнецов", "Попов",
                                 "Соколов", "Лебедев", "Козлов", "Новиков", "Морозов", "Волков",
                                 "Алексеев", "Фёдоров", "Орлов", "Макаров"};
const char* const kNames[] = {"Александр", "Сергей", "Андрей", "Дмитрий", "Алексей", "Михаил",
                              "Николай", "Владимир", "Павел", "Юрий", "Евгений", "Игорь"};
const char* const kPatronymics[] = {"Иванович", "Петрович", "Сергеевич", "Николаевич",
                                    "Александрович", "Владимирович", "Михайлович", "Юрьевич"};
const char* const kEventWords[] = {"новолуние", "полнолуние", "равноденствие", "солнцестояние",
                                   "затмение", "восход", "заход", "праздник", "пост", "память"};

const char* const kOnsets[] = {"",  "в", "с", "п", "пр", "т", "н",  "к",  "м", "р", "д", "л",
                               "ст", "з", "б", "г", "ч",  "ж", "сл", "тр", "х", "ц", "об", "раз"};
const char* const kVowels[] = {"а", "о", "е", "и", "у", "ы", "я", "ё"};
const char* const kCodas[] = {"", "", "", "н", "т", "л", "р", "с", "й", "м", "к", "в"};
const char* const kEndings[] = {"ый", "ая", "ое", "ов", "ам", "ет", "ит", "ать", "ение", "ость",
                                "ой", "ого", "ему", "ами", "ях", "ют", "ил", "ила", "ство", "ный"};
const char* const kFunctionWords[] = {"и",  "в",  "не", "на", "с",   "что", "как", "он",  "по",
                                      "к",  "но", "из", "за", "у",   "от",  "о",   "же",  "так",
                                      "это", "для", "его", "при", "уже", "или", "всё", "был"};

// Words of a made-up language that reads like Russian, drawn with the
// frequencies of a natural language (the k-th most frequent word about
// 1/k as often as the first).
class Lexicon {
public:
    Lexicon(Rng& rng, std::size_t count) {
        std::uint64_t total = 0;
        for (std::size_t k = 1; k <= count; ++k) {
            words_.push_back(MakeWord(rng));
            total += 1000000 / (k + 4);
            cumulative_.push_back(total);
        }
    }

    const std::string& Draw(Rng& rng) const {
        const std::uint64_t x = rng.Next() % cumulative_.back();
        const auto it = std::upper_bound(cumulative_.begin(), cumulative_.end(), x);
        return words_[static_cast<std::size_t>(it - cumulative_.begin())];
    }

private:
    static std::string MakeWord(Rng& rng) {
        std::string word;
        for (int s = rng.Between(1, 3); s > 0; --s) {
            word += rng.Pick(kOnsets);
            word += rng.PickSkewed(kVowels);
            word += rng.Pick(kCodas);
        }
        if (rng.Percent(70)) word += rng.Pick(kEndings);
        return word;
    }

    std::vector<std::string> words_;
    std::vector<std::uint64_t> cumulative_;
};

// Upper case of the first letter (code page 1251: Latin and Cyrillic).
void Capitalise(std::string& s) {
    if (s.empty()) return;
    const unsigned char c = static_cast<unsigned char>(s[0]);
    if ((c >= 'a' && c <= 'z') || c >= 0xE0) s[0] = static_cast<char>(c - 32);
    if (c == 0xB8) s[0] = static_cast<char>(0xA8);
}

std::string Format(const char* format, int a, int b = 0, int c = 0, int d = 0, int e = 0) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d, e);
    return buffer;
}

// Draws one number per range, in order (function arguments have no fixed
// order of evaluation, and the bytes must not depend on the compiler),
// then formats them.
std::string Draw(Rng& rng, const char* format, std::initializer_list<std::pair<int, int>> ranges) {
    int v[5] = {};
    int k = 0;
    for (const auto& [lo, hi] : ranges) v[k++] = rng.Between(lo, hi);
    return Format(format, v[0], v[1], v[2], v[3], v[4]);
}

void Line(std::string& out, const std::string& text) {
    out += text;
    out += "\r\n";
}

std::string Sentence(Rng& rng) {
    std::string s = rng.PickSkewed(kOpeners);
    s += ' ';
    s += rng.PickSkewed(kPredicates);
    if (rng.Percent(45)) {
        s += rng.Pick(kLinks);
        s += ' ';
        s += rng.PickSkewed(kPredicates);
    }
    s += '.';
    return s;
}

std::string CityName(Rng& rng) {
    std::string name = rng.PickSkewed(kCityRoots);
    name += rng.Pick(kCityStems);
    name += rng.Pick(kCityEnds);
    return name;
}

std::string Date(Rng& rng, int fromYear, int toYear) {
    const int month = rng.Between(1, 12);
    const int day = rng.Between(1, kMonthDays[month - 1]);
    return Format("%02d.%02d.%04d", day, month, rng.Between(fromYear, toYear));
}

std::string Coordinate(Rng& rng, int maxDegrees, char positive, char negative) {
    const int degrees = rng.Between(-maxDegrees, maxDegrees);
    std::string s = Format("%d°%02d'", degrees < 0 ? -degrees : degrees, rng.Between(0, 59));
    s += degrees < 0 ? negative : positive;
    return s;
}

}  // namespace

std::string FitText(std::string text, std::size_t size) {
    text.resize(size, ' ');
    if (size >= 2) {
        text[size - 2] = '\r';
        text[size - 1] = '\n';
    }
    return text;
}

std::string FreeSentence(Rng& rng, const Lexicon& lexicon) {
    std::string s;
    for (int w = rng.Between(5, 16); w > 0; --w) {
        if (!s.empty()) s += (w > 2 && rng.Percent(8)) ? ", " : " ";
        s += rng.Percent(35) ? std::string(rng.PickSkewed(kFunctionWords)) : lexicon.Draw(rng);
    }
    Capitalise(s);
    s += rng.Percent(90) ? "." : "!";
    return s;
}

std::string MakeDescriptions(Rng& rng, std::size_t size) {
    const Lexicon lexicon(rng, 6000);
    std::string out;
    for (int day = 1; out.size() < size; ++day) {
        Line(out, Format("[%d]", day));
        const int month = (day - 1) / 31 % 12;
        Line(out, Format("%d ", (day - 1) % 31 + 1) + kMonths[month]);
        const int topics = rng.Between(3, 6);
        for (int t = 0; t < topics; ++t) {
            std::string paragraph = std::string(rng.Pick(kTopics)) + ". ";
            const int sentences = rng.Between(2, 6);
            for (int k = 0; k < sentences; ++k) {
                if (k) paragraph += ' ';
                paragraph += rng.Percent(20) ? Sentence(rng) : FreeSentence(rng, lexicon);
            }
            Line(out, paragraph);
        }
        Line(out, "");
    }
    return FitText(std::move(out), size);
}

std::string MakeDateVariants(Rng& rng, std::size_t size) {
    std::string out;
    Line(out, "[Months]");
    for (int m = 0; m < 12; ++m) Line(out, Format("%d=", m + 1) + kMonths[m] + Format(",%d", kMonthDays[m]));
    Line(out, "[Days]");
    for (int d = 0; d < 7; ++d) Line(out, Format("%d=", d + 1) + kWeekdays[d]);
    Line(out, "[Formats]");
    while (out.size() < size) Line(out, Draw(rng, "F%d=dd.mm.yyyy;%d", {{1, 9}, {0, 3}}));
    return FitText(std::move(out), size);
}

std::string MakeTimeTable(Rng& rng, std::size_t size) {
    std::string out;
    Line(out, "; year;summer from;time;winter from;time;shift");
    for (int year = 1900; out.size() < size; ++year) {
        const bool shifted = year >= 1981 || rng.Percent(10);
        const int spring = 25 + rng.Below(7);
        const int autumn = 24 + rng.Below(7);
        Line(out, Format("%d;", year) +
                      (shifted ? Format("%02d.03;02:00;%02d.10;03:00;1", spring, autumn)
                               : std::string("00.00;00:00;00.00;00:00;0")));
        if (year > 2100) year = 1899;
    }
    return FitText(std::move(out), size);
}

std::string MakeDateRecords(Rng& rng, std::size_t size) {
    std::string out;
    while (out.size() < size) {
        std::string line = Date(rng, 1800, 2050);
        line += Draw(rng, ";%02d:%02d;", {{0, 23}, {0, 59}});
        line += rng.PickSkewed(kEventWords);
        line += Draw(rng, ";%d;%d;%d.%04d", {{0, 359}, {1, 12}, {0, 29}, {0, 9999}});
        line += Draw(rng, ";%d.%03d", {{0, 99}, {0, 999}});
        Line(out, line);
    }
    return FitText(std::move(out), size);
}

std::string MakeCities(Rng& rng, std::size_t size) {
    std::string out;
    while (out.size() < size) {
        std::string line = CityName(rng);
        line += ';';
        line += rng.PickSkewed(kRegions);
        line += ';' + Coordinate(rng, 70, 'N', 'S');
        line += ';' + Coordinate(rng, 180, 'E', 'W');
        line += Draw(rng, ";%+d;%d;%06d", {{2, 12}, {100, 999999}, {100000, 699999}});
        Line(out, line);
    }
    return FitText(std::move(out), size);
}

std::string MakeRegions(Rng& rng, std::size_t size) {
    std::string out;
    for (int code = 1; out.size() < size; ++code) {
        const int i = (code - 1) % static_cast<int>(sizeof kRegions / sizeof kRegions[0]);
        std::string line = Format("%02d;", code) + kRegions[i] + ';';
        line += CityName(rng);
        line += Format(";%+d", rng.Between(2, 12));
        Line(out, line);
    }
    return FitText(std::move(out), size);
}

std::string MakeRepublics(Rng& rng, std::size_t size) {
    std::string out;
    for (int k = 0; out.size() < size; ++k) {
        const int i = k % static_cast<int>(sizeof kRepublics / sizeof kRepublics[0]);
        std::string line = std::string("Республика ") + kRepublics[i] + ';' + kCapitals[i] + ';';
        line += Coordinate(rng, 70, 'N', 'S') + ';';
        line += Coordinate(rng, 180, 'E', 'W');
        line += Format(";%+d", rng.Between(2, 12));
        Line(out, line);
    }
    return FitText(std::move(out), size);
}

std::string MakeGroup(Rng&, std::size_t size) {
    // The user's groups of people.
    std::string out;
    for (const char* group : {"Семья", "Друзья", "Коллеги по работе", "Однокурсники", "Соседи", "Родственники"}) {
        Line(out, group);
    }
    return FitText(std::move(out), size);
}

std::string MakePeople(Rng& rng, std::size_t size) {
    std::string out;
    while (out.size() < size) {
        std::string line = rng.PickSkewed(kSurnames);
        line += ' ';
        line += rng.PickSkewed(kNames);
        line += ' ';
        line += rng.PickSkewed(kPatronymics);
        line += ';' + Date(rng, 1920, 2000);
        line += Format(";%02d:%02d;", rng.Between(0, 23), 0);
        line += rng.PickSkewed(kCapitals);
        Line(out, line);
    }
    return FitText(std::move(out), size);
}

}  // namespace qv::payload
