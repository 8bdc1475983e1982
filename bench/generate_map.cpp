// generate_map: writes a synthetic map in the Navitel typeset, for benchmarks.
//
//   generate_map OUTPUT SIZE [SEED]
//
// SIZE is a byte count, optionally with a K, M or G suffix (powers of 1024).
// Writing stops after the first object that reaches SIZE, so the file ends up
// slightly larger than asked.  The output is cp1251 text with CR LF line ends.
//
// The file depends only on SIZE and SEED: all randomness comes from our own
// splitmix64 and all geometry is integer arithmetic (rotations use Pythagorean
// triples), so every platform and compiler produce the same bytes.
//
// What it writes, by share of generated items:
//   ~45% buildings with a postal address (1-3 DataN rings of 5-40 points),
//   ~15% buildings without address, ~20% roads, ~15% POIs,
//   ~5%  comment lines and [Restrict] sections.
// A header and [Countries]/[Regions]/[Cities] blocks come first.

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---------------------------------------------------------------- random

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // uniform in [0, n), n < 2^32
    std::uint32_t below(std::uint32_t n)
    {
        return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32);
    }

    // uniform in [lo, hi]
    int range(int lo, int hi)
    {
        return lo + static_cast<int>(below(static_cast<std::uint32_t>(hi - lo + 1)));
    }

    bool percent(unsigned p) { return below(100) < p; }

    template <typename T, std::size_t N>
    const T& pick(const std::array<T, N>& a)
    {
        return a[below(static_cast<std::uint32_t>(N))];
    }

private:
    std::uint64_t state_;
};

// ---------------------------------------------------------------- text

// The tables below are written in UTF-8 and converted to cp1251 once.
std::string to_cp1251(std::u8string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const char32_t c0 = s[i];
        auto tail = [&](std::size_t k) { return static_cast<char32_t>(s[i + k]) & 0x3f; };
        char32_t cp;
        if (c0 < 0x80) {
            cp = c0;
            i += 1;
        } else if ((c0 & 0xe0) == 0xc0 && i + 1 < s.size()) {
            cp = ((c0 & 0x1f) << 6) | tail(1);
            i += 2;
        } else if ((c0 & 0xf0) == 0xe0 && i + 2 < s.size()) {
            cp = ((c0 & 0x0f) << 12) | (tail(1) << 6) | tail(2);
            i += 3;
        } else {
            cp = U'?';
            i += 1;
        }
        unsigned char b;
        if (cp < 0x80)
            b = static_cast<unsigned char>(cp);
        else if (cp >= 0x410 && cp <= 0x44f)
            b = static_cast<unsigned char>(cp - 0x410 + 0xc0);
        else if (cp == 0x401)
            b = 0xa8;  // Ё
        else if (cp == 0x451)
            b = 0xb8;  // ё
        else if (cp == 0x2116)
            b = 0xb9;  // №
        else if (cp == 0xab || cp == 0xbb)
            b = static_cast<unsigned char>(cp);
        else if (cp == 0x2014)
            b = 0x97;
        else
            b = '?';
        out.push_back(static_cast<char>(b));
    }
    return out;
}

// ---------------------------------------------------------------- output

class Writer {
public:
    static constexpr std::size_t kBlock = std::size_t{8} << 20;
    static constexpr std::size_t kSlack = std::size_t{256} << 10;  // > any one object

    explicit Writer(std::FILE* f) : file_(f), buf_(kBlock + kSlack) { p_ = buf_.data(); }

    // Called before each object; flushes a full block.
    bool reserve()
    {
        if (static_cast<std::size_t>(p_ - buf_.data()) >= kBlock)
            return flush();
        return true;
    }

    bool flush()
    {
        const std::size_t n = static_cast<std::size_t>(p_ - buf_.data());
        if (n != 0 && std::fwrite(buf_.data(), 1, n, file_) != n)
            return false;
        written_ += n;
        p_ = buf_.data();
        return true;
    }

    std::uint64_t total() const { return written_ + static_cast<std::uint64_t>(p_ - buf_.data()); }

    Writer& str(std::string_view s)
    {
        std::memcpy(p_, s.data(), s.size());
        p_ += s.size();
        return *this;
    }
    Writer& ch(char c)
    {
        *p_++ = c;
        return *this;
    }
    Writer& eol() { return ch('\r').ch('\n'); }
    Writer& num(std::int64_t v)
    {
        p_ = std::to_chars(p_, p_ + 24, v).ptr;
        return *this;
    }
    Writer& hex(unsigned v, int digits)
    {
        static constexpr char kDigits[] = "0123456789abcdef";
        *p_++ = '0';
        *p_++ = 'x';
        for (int i = digits - 1; i >= 0; --i)
            *p_++ = kDigits[(v >> (4 * i)) & 0xf];
        return *this;
    }
    // degrees given in units of 1e-5, written with five decimals
    Writer& deg(std::int64_t v)
    {
        if (v < 0) {
            *p_++ = '-';
            v = -v;
        }
        p_ = std::to_chars(p_, p_ + 24, v / 100000).ptr;
        *p_++ = '.';
        std::int64_t frac = v % 100000;
        for (int i = 4; i >= 0; --i) {
            p_[i] = static_cast<char>('0' + frac % 10);
            frac /= 10;
        }
        p_ += 5;
        return *this;
    }
    Writer& kv(std::string_view key, std::string_view value) { return str(key).ch('=').str(value).eol(); }

private:
    std::FILE* file_;
    std::vector<char> buf_;
    char* p_;
    std::uint64_t written_ = 0;
};

// ---------------------------------------------------------------- geometry

struct Pt {
    std::int64_t x, y;  // centimetres, x east, y north
};

struct LatLon {
    std::int64_t lat, lon;  // 1e-5 degrees
};

// Directions as Pythagorean triples (a, b, c): cos = a/c, sin = b/c.
struct Dir {
    std::int64_t a, b, c;
};
constexpr std::array<Dir, 16> kDirs{{
    {1, 0, 1}, {0, 1, 1}, {3, 4, 5}, {4, 3, 5}, {5, 12, 13}, {12, 5, 13}, {8, 15, 17}, {15, 8, 17},
    {-3, 4, 5}, {-4, 3, 5}, {-5, 12, 13}, {-12, 5, 13}, {-8, 15, 17}, {-15, 8, 17}, {20, 21, 29}, {-21, 20, 29},
}};

Pt rotate(Pt p, const Dir& d)
{
    return {(d.a * p.x - d.b * p.y) / d.c, (d.b * p.x + d.a * p.y) / d.c};
}

std::int64_t div_round(std::int64_t n, std::int64_t d)
{
    return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d);
}

std::int64_t len1(Pt a, Pt b)
{
    const std::int64_t dx = a.x - b.x, dy = a.y - b.y;
    return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy);
}

// Grows a counter-clockwise ring until it has `want` vertices.  Every step
// changes one edge or one corner locally, so the ring stays simple: a
// rectangular bay pushed out of the longest edge (+4), a stepped corner (+2),
// a chamfered corner (+1).
void grow_ring(std::vector<Pt>& ring, std::size_t want, Rng& rng, bool outward_bays)
{
    while (ring.size() < want) {
        const std::size_t n = ring.size();
        const std::size_t need = want - n;
        if (need >= 4 && outward_bays && rng.percent(55)) {
            std::size_t best = 0;
            std::int64_t best_len = -1;
            for (std::size_t i = 0; i < n; ++i) {
                const std::int64_t l = len1(ring[i], ring[(i + 1) % n]);
                if (l > best_len) {
                    best_len = l;
                    best = i;
                }
            }
            const Pt p = ring[best], q = ring[(best + 1) % n];
            const std::int64_t dx = q.x - p.x, dy = q.y - p.y;
            const std::int64_t t1 = rng.range(3, 6), t2 = rng.range(10, 13), k = rng.range(1, 3);
            const Pt a{p.x + dx * t1 / 16, p.y + dy * t1 / 16};
            const Pt d{p.x + dx * t2 / 16, p.y + dy * t2 / 16};
            // outside of a counter-clockwise ring is to the right: (dy, -dx)
            const Pt b{a.x + dy * k / 16, a.y - dx * k / 16};
            const Pt c{d.x + dy * k / 16, d.y - dx * k / 16};
            ring.insert(ring.begin() + static_cast<std::ptrdiff_t>(best + 1), {a, b, c, d});
            continue;
        }
        // the corner with the longest short side
        std::size_t best = 0;
        std::int64_t best_len = -1;
        for (std::size_t i = 0; i < n; ++i) {
            const Pt v = ring[i];
            const std::int64_t l = std::min(len1(v, ring[(i + n - 1) % n]), len1(v, ring[(i + 1) % n]));
            if (l > best_len) {
                best_len = l;
                best = i;
            }
        }
        const Pt v = ring[best], a = ring[(best + n - 1) % n], b = ring[(best + 1) % n];
        const Pt va{v.x + (a.x - v.x) / 8, v.y + (a.y - v.y) / 8};
        const Pt vb{v.x + (b.x - v.x) / 8, v.y + (b.y - v.y) / 8};
        const auto at = ring.begin() + static_cast<std::ptrdiff_t>(best);
        if (need >= 2 && rng.percent(50)) {
            const Pt mid{va.x + (b.x - v.x) / 8, va.y + (b.y - v.y) / 8};
            *at = va;
            ring.insert(at + 1, {mid, vb});
        } else {
            *at = va;
            ring.insert(at + 1, vb);
        }
    }
}

// ---------------------------------------------------------------- map data

struct Region {
    std::string name;
};

struct City {
    std::string name;
    std::size_t region;
    LatLon centre;
    std::int64_t lon_div;   // centimetres per 1e-5 degree of longitude here
    std::int64_t radius;    // centimetres
    unsigned weight;        // share of objects
    std::size_t first_street, street_count;
};

struct Street {
    std::string name;
    std::size_t city;
    Pt origin;              // relative to the city centre
    Dir dir;
    std::int64_t length;    // centimetres
    std::int64_t spacing;   // between houses along one side
    unsigned next_house;    // counter for house numbers
    // where the last road drawn along this street ended
    std::int64_t road_pos = 0;
    std::uint64_t road_node = 0, road_prev_node = 0, road_prev_id = 0;
};

// Two consecutive roads of one street meeting at node `via`.
struct Junction {
    std::uint64_t from, via, to;
    std::uint64_t from_road, to_road;
};

struct CityDef {
    std::u8string_view name;
    std::size_t region;
    std::int64_t lat, lon;
    unsigned weight;
    unsigned streets;
};

constexpr std::array<std::u8string_view, 2> kRegionNames{u8"Верхнеозёрская обл.", u8"Приреченская обл."};
constexpr std::u8string_view kCountry = u8"Россия";

constexpr std::array<CityDef, 14> kCities{{
    {u8"Заречинск", 0, 5684600, 3591700, 30, 420},
    {u8"Липоводск", 0, 5702300, 3548800, 16, 260},
    {u8"Краснозорск", 0, 5661200, 3637400, 12, 190},
    {u8"Новоключинск", 1, 5598700, 3702900, 14, 230},
    {u8"Светлоозёрск", 1, 5573400, 3655100, 8, 140},
    {u8"Гореловск", 1, 5622800, 3751600, 6, 110},
    {u8"Каменный Брод", 0, 5719900, 3612300, 3, 45},
    {u8"Верхние Пруды", 0, 5650100, 3519800, 2, 30},
    {u8"Берёзовка", 1, 5587500, 3583400, 2, 25},
    {u8"Малые Липки", 0, 5688100, 3611900, 1, 14},
    {u8"Сосновка", 1, 5611300, 3690200, 2, 22},
    {u8"Старая Мельница", 1, 5563900, 3720800, 1, 12},
    {u8"Ключи", 0, 5733400, 3566700, 1, 16},
    {u8"Озерки", 1, 5604200, 3620400, 2, 28},
}};

enum class Gender { Fem, Masc, Neut };

struct StreetKind {
    std::u8string_view abbr;
    Gender gender;
    unsigned weight;
};
constexpr std::array<StreetKind, 9> kStreetKinds{{
    {u8"ул.", Gender::Fem, 60},
    {u8"пер.", Gender::Masc, 15},
    {u8"пр-т", Gender::Masc, 5},
    {u8"наб.", Gender::Fem, 3},
    {u8"б-р", Gender::Masc, 4},
    {u8"ш.", Gender::Neut, 3},
    {u8"пл.", Gender::Fem, 3},
    {u8"проезд", Gender::Masc, 5},
    {u8"туп.", Gender::Masc, 2},
}};

// Names that do not agree with the kind of street.
constexpr std::array<std::u8string_view, 48> kFixedNames{{
    u8"Ленина", u8"Мира", u8"Гагарина", u8"Пушкина", u8"Кирова", u8"Чехова", u8"Горького", u8"Победы",
    u8"Свердлова", u8"Калинина", u8"Некрасова", u8"Лермонтова", u8"Толстого", u8"Королёва",
    u8"Циолковского", u8"Фрунзе", u8"Чапаева", u8"Жукова", u8"Суворова", u8"Кутузова", u8"Ломоносова",
    u8"Менделеева", u8"Тургенева", u8"Гоголя", u8"Островского", u8"Герцена", u8"Чкалова",
    u8"Маяковского", u8"Есенина", u8"Шевченко", u8"Павлова", u8"Космонавтов", u8"Строителей",
    u8"Энтузиастов", u8"Металлургов", u8"Железнодорожников", u8"Партизан", u8"Декабристов", u8"Труда",
    u8"Революции", u8"8 Марта", u8"1 Мая", u8"Дружбы", u8"Юности", u8"Связистов", u8"Гвардейцев",
    u8"Матросова", u8"Пархоменко",
}};

// Adjective stems with their endings: feminine, masculine, neuter.
struct Adjective {
    std::u8string_view stem;
    std::u8string_view fem, masc, neut;
};
constexpr std::u8string_view kA1 = u8"ая", kA2 = u8"ый", kA3 = u8"ое", kB2 = u8"ой", kC2 = u8"ий";
constexpr std::array<Adjective, 40> kAdjectives{{
    {u8"Садов", kA1, kA2, kA3}, {u8"Школьн", kA1, kA2, kA3}, {u8"Молодёжн", kA1, kA2, kA3},
    {u8"Центральн", kA1, kA2, kA3}, {u8"Нов", kA1, kA2, kA3}, {u8"Зелён", kA1, kA2, kA3},
    {u8"Солнечн", kA1, kA2, kA3}, {u8"Почтов", kA1, kA2, kA3}, {u8"Колхозн", kA1, kA2, kA3},
    {u8"Дачн", kA1, kA2, kA3}, {u8"Вокзальн", kA1, kA2, kA3}, {u8"Торгов", kA1, kA2, kA3},
    {u8"Кооперативн", kA1, kA2, kA3}, {u8"Огородн", kA1, kA2, kA3}, {u8"Клубн", kA1, kA2, kA3},
    {u8"Озёрн", kA1, kA2, kA3}, {u8"Ключев", kA1, kA2, kA3}, {u8"Заречн", kA1, kA2, kA3},
    {u8"Нагорн", kA1, kA2, kA3}, {u8"Мельничн", kA1, kA2, kA3}, {u8"Гаражн", kA1, kA2, kA3},
    {u8"Песчан", kA1, kA2, kA3}, {u8"Спортивн", kA1, kA2, kA3}, {u8"Парков", kA1, kA2, kA3},
    {u8"Полев", kA1, kB2, kA3}, {u8"Лесн", kA1, kB2, kA3}, {u8"Речн", kA1, kB2, kA3},
    {u8"Берегов", kA1, kB2, kA3}, {u8"Заводск", kA1, kB2, kA3}, {u8"Лугов", kA1, kB2, kA3},
    {u8"Степн", kA1, kB2, kA3}, {u8"Рабоч", kA1, kC2, u8"ее"},
    {u8"Октябрьск", kA1, kC2, kA3}, {u8"Советск", kA1, kC2, kA3}, {u8"Пролетарск", kA1, kC2, kA3},
    {u8"Комсомольск", kA1, kC2, kA3}, {u8"Первомайск", kA1, kC2, kA3}, {u8"Московск", kA1, kC2, kA3},
    {u8"Пионерск", kA1, kC2, kA3}, {u8"Луначарск", kA1, kC2, kA3},
}};

struct PoiKind {
    unsigned type;
    std::u8string_view label;
};
constexpr std::array<PoiKind, 32> kPois{{
    {0x2f06, u8"Сбербанк"}, {0x2f06, u8"Банкомат"}, {0x2e02, u8"Продукты"}, {0x2e02, u8"Магазин «У дома»"},
    {0x2e02, u8"Пятёрочка"}, {0x2a00, u8"Кафе «Берёзка»"}, {0x2a07, u8"Пиццерия"}, {0x2c05, u8"Школа"},
    {0x2c05, u8"Детский сад"}, {0x3002, u8"Поликлиника"}, {0x2f01, u8"АЗС"}, {0x2f05, u8"Почта России"},
    {0x2b01, u8"Гостиница"}, {0x2c0b, u8"Храм"}, {0x3008, u8"Пожарная часть"}, {0x3001, u8"Отделение полиции"},
    {0x2e04, u8"Универмаг"}, {0x2e05, u8"Аптека"}, {0x2f08, u8"Остановка"}, {0x2c04, u8"Памятник"},
    {0x2d02, u8"Бар"}, {0x2f03, u8"Шиномонтаж"}, {0x2c02, u8"Музей"}, {0x2d03, u8"Кинотеатр"},
    {0x3003, u8"Администрация"}, {0x2e03, u8"Хозтовары"}, {0x2e06, u8"Рынок"}, {0x2a03, u8"Столовая"},
    {0x2f0b, u8"Автостоянка"}, {0x2a02, u8"Шаурма"}, {0x2f04, u8"Такси"}, {0x2e07, u8"Одежда"},
}};

constexpr std::array<std::u8string_view, 10> kBuildingLabels{{
    u8"Дом культуры", u8"Поликлиника", u8"Администрация", u8"Универмаг", u8"Библиотека", u8"Баня",
    u8"Котельная", u8"Гаражи", u8"Склад", u8"Трансформаторная подстанция",
}};

constexpr std::array<std::u8string_view, 12> kHouseSuffixes{{
    u8"А", u8"Б", u8"В", u8"а", u8"/1", u8"/2", u8" к1", u8" к2", u8" корп.1", u8" корп.2", u8" стр.1", u8" стр.2",
}};
constexpr std::array<std::u8string_view, 4> kHousePrefixes{{u8"вл. ", u8"уч. ", u8"д. ", u8"В"}};

// ---------------------------------------------------------------- generator

class Generator {
public:
    Generator(Writer& out, std::uint64_t seed) : out_(out), rng_(seed)
    {
        for (auto r : kRegionNames)
            regions_.push_back({to_cp1251(r)});
        country_ = to_cp1251(kCountry);
        for (auto s : kStreetKinds)
            kinds_.push_back(to_cp1251(s.abbr));
        for (auto s : kFixedNames)
            fixed_.push_back(to_cp1251(s));
        for (const auto& a : kAdjectives)
            adjectives_.push_back({to_cp1251(std::u8string(a.stem) + std::u8string(a.fem)),
                                   to_cp1251(std::u8string(a.stem) + std::u8string(a.masc)),
                                   to_cp1251(std::u8string(a.stem) + std::u8string(a.neut))});
        for (const auto& p : kPois)
            poi_labels_.push_back(to_cp1251(p.label));
        for (auto s : kBuildingLabels)
            building_labels_.push_back(to_cp1251(s));
        for (auto s : kHouseSuffixes)
            suffixes_.push_back(to_cp1251(s));
        for (auto s : kHousePrefixes)
            prefixes_.push_back(to_cp1251(s));
        ordinal_ = {to_cp1251(u8"-я"), to_cp1251(u8"-й"), to_cp1251(u8"-е")};
        building_part_ = {to_cp1251(u8" к"), to_cp1251(u8" корп.")};
        numero_ = to_cp1251(u8" №");
        quarter_ = to_cp1251(u8"; квартал ");
        build_cities();
    }

    bool run(std::uint64_t size)
    {
        header();
        while (out_.total() < size) {
            if (!out_.reserve())
                return false;
            const unsigned r = rng_.below(1000);
            if (r < 450)
                addressed_building();
            else if (r < 600)
                plain_building();
            else if (r < 800)
                road();
            else if (r < 950)
                poi();
            else if (r < 985)
                comment();
            else
                restriction();
        }
        return out_.flush();
    }

private:
    void build_cities()
    {
        for (const auto& d : kCities) {
            City c;
            c.name = to_cp1251(d.name);
            c.region = d.region;
            c.centre = {d.lat, d.lon};
            // 111319 cm per 1e-5 degree * cos(lat), for 55.5 .. 57.5 degrees
            c.lon_div = d.lat < 5600000 ? 63 : d.lat < 5700000 ? 62 : 61;
            c.radius = 1500 * 100 + static_cast<std::int64_t>(d.streets) * 1200;
            c.weight = d.weight;
            c.first_street = streets_.size();
            c.street_count = d.streets;
            const std::size_t city_index = cities_.size();
            std::vector<std::string> used;
            for (unsigned i = 0; i < d.streets; ++i) {
                std::string name;
                do
                    name = street_name();
                while (std::find(used.begin(), used.end(), name) != used.end());
                used.push_back(name);
                Street s;
                s.name = std::move(name);
                s.city = city_index;
                s.origin = {static_cast<std::int64_t>(rng_.range(-1000, 1000)) * c.radius / 1000,
                            static_cast<std::int64_t>(rng_.range(-1000, 1000)) * c.radius / 1000};
                s.dir = rng_.pick(kDirs);
                s.length = static_cast<std::int64_t>(rng_.range(300, 2500)) * 100;
                s.spacing = static_cast<std::int64_t>(rng_.range(22, 40)) * 100;
                s.next_house = 0;
                streets_.push_back(std::move(s));
            }
            total_weight_ += d.weight;
            cities_.push_back(std::move(c));
        }
    }

    std::string street_name()
    {
        unsigned r = rng_.below(100);
        std::size_t k = 0;
        while (r >= kStreetKinds[k].weight) {
            r -= kStreetKinds[k].weight;
            ++k;
        }
        const bool numbered = rng_.percent(3);
        std::string name;
        if (rng_.percent(45)) {
            name = fixed_[rng_.below(static_cast<std::uint32_t>(fixed_.size()))];
        } else {
            const auto& a = adjectives_[rng_.below(static_cast<std::uint32_t>(adjectives_.size()))];
            const Gender g = kStreetKinds[k].gender;
            name = g == Gender::Fem ? a[0] : g == Gender::Masc ? a[1] : a[2];
            if (numbered) {
                const auto& ord = ordinal_[g == Gender::Fem ? 0 : g == Gender::Masc ? 1 : 2];
                name = std::to_string(rng_.range(1, 4)) + ord + " " + name;
            }
        }
        // "ул. Ленина", but "Садовая ул." now and then, as some editors write it
        if (rng_.percent(4))
            return name + " " + kinds_[k];
        return kinds_[k] + " " + name;
    }

    const City& pick_city()
    {
        unsigned r = rng_.below(total_weight_);
        std::size_t i = 0;
        while (r >= cities_[i].weight) {
            r -= cities_[i].weight;
            ++i;
        }
        return cities_[i];
    }

    Street& pick_street()
    {
        const City& c = pick_city();
        // a few streets of a town hold most of the houses
        std::uint32_t n = static_cast<std::uint32_t>(c.street_count);
        std::uint32_t i = rng_.below(n);
        if (rng_.percent(40))
            i = rng_.below(i + 1);
        return streets_[c.first_street + i];
    }

    LatLon to_latlon(const City& c, Pt p) const
    {
        return {c.centre.lat + div_round(p.y, 111), c.centre.lon + div_round(p.x, c.lon_div)};
    }

    // ------------------------------------------------------------ pieces

    void header()
    {
        auto u = [](std::u8string_view s) { return to_cp1251(s); };
        out_.str(u(u8"; Карта Верхнеозёрской и Приреченской областей")).eol();
        out_.str(u(u8"; Адресный слой: здания с почтовыми адресами")).eol();
        out_.str("; WGS 84").eol();
        out_.eol();
        out_.str("[IMG ID]").eol();
        out_.kv("ID", "63240002");
        out_.kv("Name", u(u8"Верхнеозёрье"));
        out_.kv("CodePage", "1251");
        out_.kv("LblCoding", "9");
        out_.kv("TypeSet", "Navitel");
        out_.kv("Routing", "Y");
        out_.kv("Elevation", "M");
        out_.kv("Preprocess", "F");
        out_.kv("TreSize", "2048");
        out_.kv("TreMargin", "0.00000");
        out_.kv("RgnLimit", "1024");
        out_.kv("POIIndex", "Y");
        out_.kv("POINumberFirst", "Y");
        out_.kv("Levels", "4");
        out_.kv("Level0", "24");
        out_.kv("Level1", "22");
        out_.kv("Level2", "20");
        out_.kv("Level3", "18");
        out_.kv("Zoom0", "0");
        out_.kv("Zoom1", "1");
        out_.kv("Zoom2", "2");
        out_.kv("Zoom3", "3");
        out_.str("[END-IMG ID]").eol().eol();

        out_.str("[Countries]").eol();
        out_.str("Country1=").str(country_).str("~[0x1d]RUS").eol();
        out_.str("[END-Countries]").eol().eol();
        out_.str("[Regions]").eol();
        for (std::size_t i = 0; i < regions_.size(); ++i) {
            out_.str("Region").num(static_cast<std::int64_t>(i + 1)).ch('=').str(regions_[i].name).eol();
            out_.str("CountryIdx").num(static_cast<std::int64_t>(i + 1)).str("=1").eol();
        }
        out_.str("[END-Regions]").eol().eol();
        out_.str("[Cities]").eol();
        for (std::size_t i = 0; i < cities_.size(); ++i) {
            const auto n = static_cast<std::int64_t>(i + 1);
            out_.str("City").num(n).ch('=').str(cities_[i].name).eol();
            out_.str("RegionIdx").num(n).ch('=').num(static_cast<std::int64_t>(cities_[i].region + 1)).eol();
        }
        out_.str("[END-Cities]").eol().eol();
    }

    void house_number(std::string& hn, const Street& s)
    {
        const unsigned n = s.next_house % 240 + 1;
        const unsigned round = s.next_house / 240;
        const unsigned r = rng_.below(100);
        hn.clear();
        if (r < 3) {
            hn = prefixes_[rng_.below(static_cast<std::uint32_t>(prefixes_.size()))];
            hn += std::to_string(n);
            return;
        }
        hn = std::to_string(n);
        if (round > 0) {
            hn += building_part_[rng_.below(2)];
            hn += std::to_string(round + 1);
        } else if (r >= 75) {
            hn += suffixes_[rng_.below(static_cast<std::uint32_t>(suffixes_.size()))];
        }
    }

    void address(const City& c, const Street& s, const std::string& hn)
    {
        // The usual order, with the variations different editors produce.
        const unsigned r = rng_.below(100);
        auto street = [&] { out_.kv("StreetDesc", s.name); };
        auto house = [&] { out_.kv("HouseNumber", hn); };
        auto place = [&](bool country_first) {
            out_.kv("CityName", c.name);
            if (country_first) {
                out_.kv("CountryName", country_);
                out_.kv("RegionName", regions_[c.region].name);
            } else {
                out_.kv("RegionName", regions_[c.region].name);
                out_.kv("CountryName", country_);
            }
        };
        if (r < 70) {
            street();
            house();
            place(false);
        } else if (r < 85) {
            house();
            street();
            place(false);
        } else if (r < 95) {
            place(false);
            street();
            house();
        } else {
            street();
            house();
            place(true);
        }
    }

    // One ring of a building around `centre`, `half` = half size in cm.
    void ring(const City& c, Pt centre, Pt half, const Dir& dir, bool hole, int index)
    {
        const unsigned r = rng_.below(100);
        std::size_t points = r < 55 ? 5 : r < 75 ? static_cast<std::size_t>(rng_.range(6, 9))
                           : r < 93 ? static_cast<std::size_t>(rng_.range(10, 20))
                                    : static_cast<std::size_t>(rng_.range(21, 40));
        const bool closed = rng_.percent(80);
        std::size_t vertices = closed ? points - 1 : points;
        if (hole && vertices > 12)
            vertices = 12;
        // bigger outlines for the many-cornered ones
        const std::int64_t grow = static_cast<std::int64_t>(vertices) * 60;
        std::vector<Pt>& v = scratch_;
        v.clear();
        const std::int64_t w = half.x + grow, h = half.y + grow;
        if (hole) {
            // counter-clockwise as well; holes only get inward corners
            v.insert(v.end(), {{-w / 2, -h / 2}, {w / 2, -h / 2}, {w / 2, h / 2}, {-w / 2, h / 2}});
        } else {
            v.insert(v.end(), {{-w, -h}, {w, -h}, {w, h}, {-w, h}});
        }
        grow_ring(v, vertices, rng_, !hole);

        out_.str("Data").num(index).ch('=');
        LatLon first{}, prev{};
        std::size_t written = 0;
        for (const Pt& p : v) {
            const Pt q = rotate(p, dir);
            const LatLon ll = to_latlon(c, {centre.x + q.x, centre.y + q.y});
            if (written != 0 && ll.lat == prev.lat && ll.lon == prev.lon)
                continue;
            if (written++ != 0)
                out_.ch(',');
            else
                first = ll;
            out_.ch('(').deg(ll.lat).ch(',').deg(ll.lon).ch(')');
            prev = ll;
        }
        if (closed && (prev.lat != first.lat || prev.lon != first.lon))
            out_.str(",(").deg(first.lat).ch(',').deg(first.lon).ch(')');
        out_.eol();
    }

    void building_geometry(const City& c, Pt centre, const Dir& dir)
    {
        const Pt half{rng_.range(400, 1400), rng_.range(350, 900)};
        ring(c, centre, half, dir, false, 0);
        const unsigned r = rng_.below(100);
        if (r < 15) {
            // a courtyard, and now and then a detached annex
            ring(c, centre, half, dir, true, 1);
            if (r < 4) {
                const Pt off = rotate({half.x * 2 + 2400, 0}, dir);
                ring(c, {centre.x + off.x, centre.y + off.y}, {half.x / 2, half.y / 2}, dir, false, 2);
            }
        }
    }

    void addressed_building()
    {
        Street& s = pick_street();
        const City& c = cities_[s.city];
        house_number(hn_, s);
        // odd numbers on the left, even on the right, in order along the street
        const unsigned n = s.next_house % 240;
        const std::int64_t along = static_cast<std::int64_t>(n / 2) * s.spacing % (s.length + 1);
        const std::int64_t side = (n % 2 == 0) ? 1800 : -1800;
        const Pt local = rotate({along, side}, s.dir);
        const Pt centre{s.origin.x + local.x, s.origin.y + local.y};
        ++s.next_house;

        out_.str("[POLYGON]").eol();
        out_.str("Type=").hex(rng_.percent(92) ? 0x13 : 0x0d, 2).eol();
        if (rng_.percent(4))
            out_.kv("Label", building_labels_[rng_.below(6)]);
        if (rng_.percent(20))
            out_.str("EndLevel=").num(rng_.range(0, 1)).eol();
        const bool after = rng_.percent(5);
        if (!after)
            address(c, s, hn_);
        building_geometry(c, centre, s.dir);
        if (after)
            address(c, s, hn_);
        out_.str("[END]").eol().eol();
    }

    void plain_building()
    {
        const City& c = pick_city();
        const Pt centre{static_cast<std::int64_t>(rng_.range(-1000, 1000)) * c.radius / 1000,
                        static_cast<std::int64_t>(rng_.range(-1000, 1000)) * c.radius / 1000};
        out_.str("[POLYGON]").eol();
        out_.str("Type=0x13").eol();
        const unsigned r = rng_.below(100);
        if (r < 20)
            out_.kv("Label", building_labels_[rng_.below(static_cast<std::uint32_t>(building_labels_.size()))]);
        if (r >= 90)
            out_.kv("CityName", c.name);  // a town but no street address
        if (rng_.percent(10))
            out_.str("EndLevel=0").eol();
        building_geometry(c, centre, rng_.pick(kDirs));
        out_.str("[END]").eol().eol();
    }

    void road()
    {
        Street& s = pick_street();
        const City& c = cities_[s.city];
        const unsigned r = rng_.below(100);
        const unsigned type = r < 70 ? 0x06 : r < 78 ? 0x05 : r < 86 ? 0x04 : r < 90 ? 0x03 : r < 97 ? 0x07 : 0x0a;
        const bool named = type != 0x07 && type != 0x0a;
        const int speed = type == 0x03 ? 4 : type == 0x04 || type == 0x05 ? 3 : type == 0x06 ? 2 : 1;
        const int cls = type <= 0x04 ? 2 : type == 0x05 ? 1 : 0;

        out_.str("[POLYLINE]").eol();
        out_.str("Type=").hex(type, 2).eol();
        if (named)
            out_.kv("Label", s.name);
        if (rng_.percent(60))
            out_.str("EndLevel=").num(type <= 0x04 ? 2 : 1).eol();
        if (named) {
            out_.kv("CityName", c.name);
            out_.kv("RegionName", regions_[c.region].name);
            out_.kv("CountryName", country_);
        }
        out_.str("RoadID=").num(static_cast<std::int64_t>(++road_id_)).eol();
        out_.str("RouteParam=").num(speed).ch(',').num(cls).ch(',').num(rng_.percent(8) ? 1 : 0).str(",0,0,0,0,0,0,0,0,0").eol();

        // The next stretch of the street: it starts at the node where the
        // previous stretch ended, or somewhere new when the street is done.
        const bool cont = s.road_node != 0 && s.length - s.road_pos >= 10000;
        const std::int64_t from = cont ? s.road_pos : static_cast<std::int64_t>(rng_.below(1000)) * s.length / 2000;
        const std::int64_t span = std::min<std::int64_t>(s.length - from, rng_.range(150, 800) * 100);
        int points = rng_.percent(60) ? rng_.range(2, 6) : rng_.range(7, 30);
        points = static_cast<int>(std::min<std::int64_t>(points, span / 500 + 1));
        points = std::max(points, 2);
        const std::int64_t step = span / (points - 1);
        out_.str("Data0=");
        for (int i = 0; i < points; ++i) {
            const std::int64_t wobble = (i == 0 || i == points - 1) ? 0 : rng_.range(-250, 250);
            const Pt q = rotate({from + step * i, wobble}, s.dir);
            const LatLon ll = to_latlon(c, {s.origin.x + q.x, s.origin.y + q.y});
            if (i != 0)
                out_.ch(',');
            out_.ch('(').deg(ll.lat).ch(',').deg(ll.lon).ch(')');
        }
        out_.eol();
        if (named && rng_.percent(10)) {
            const int a = rng_.range(1, 30) * 2 - 1;
            out_.str("Numbers1=0,O,").num(a).ch(',').num(a + 20).str(",E,").num(a + 1).ch(',').num(a + 21)
                .str(",-1,-1,-1,-1,-1,-1").eol();
        }
        // routing nodes at both ends and at some bends
        std::uint64_t prev_node = 0, second_node = 0;
        int k = 0;
        for (int i = 0; i < points; ++i) {
            if (i != 0 && i != points - 1 && !rng_.percent(15))
                continue;
            const std::uint64_t id = (i == 0 && cont) ? s.road_node : ++last_node_;
            if (k == 1)
                second_node = id;
            if (i != points - 1)
                prev_node = id;
            out_.str("Nod").num(++k).ch('=').num(i).ch(',').num(static_cast<std::int64_t>(id)).str(",0").eol();
        }
        out_.str("[END]").eol().eol();

        if (cont) {
            if (junctions_.size() == 64)
                junctions_.erase(junctions_.begin());
            junctions_.push_back({s.road_prev_node, s.road_node, second_node, s.road_prev_id, road_id_});
        }
        s.road_pos = from + step * (points - 1);
        s.road_node = last_node_;
        s.road_prev_node = prev_node;
        s.road_prev_id = road_id_;
    }

    void poi()
    {
        Street& s = pick_street();
        const City& c = cities_[s.city];
        const std::size_t kind = rng_.below(static_cast<std::uint32_t>(kPois.size()));
        out_.str("[POI]").eol();
        out_.str("Type=").hex(kPois[kind].type, 4).eol();
        out_.str("Label=").str(poi_labels_[kind]);
        if (rng_.percent(10))
            out_.str(numero_).num(rng_.range(1, 40));
        out_.eol();
        if (rng_.percent(50))
            out_.str("EndLevel=").num(rng_.range(0, 1)).eol();
        if (rng_.percent(55)) {
            out_.kv("CityName", c.name);
            out_.kv("RegionName", regions_[c.region].name);
            out_.kv("CountryName", country_);
            out_.kv("StreetDesc", s.name);
            out_.str("HouseNumber=").num(rng_.range(1, 120)).eol();
        }
        if (rng_.percent(15))
            out_.str("Phone=+7 (").num(rng_.range(48200, 48299)).str(") ").num(rng_.range(2, 7)).ch('-')
                .num(rng_.range(10, 99)).ch('-').num(rng_.range(10, 99)).eol();
        const Pt q = rotate({static_cast<std::int64_t>(rng_.below(static_cast<std::uint32_t>(s.length))),
                             static_cast<std::int64_t>(rng_.range(-3000, 3000))}, s.dir);
        const LatLon ll = to_latlon(c, {s.origin.x + q.x, s.origin.y + q.y});
        out_.str("Data0=(").deg(ll.lat).ch(',').deg(ll.lon).ch(')').eol();
        out_.str("[END]").eol().eol();
    }

    void comment()
    {
        const City& c = pick_city();
        switch (rng_.below(3)) {
        case 0:
            out_.str("; ---- ").str(c.name).str(" ----").eol();
            break;
        case 1:
            out_.str(quarter_).num(rng_.range(1, 400)).eol();
            break;
        default:
            out_.str(";").eol();
            break;
        }
    }

    // A turn ban at a junction of two stretches of one street.
    void restriction()
    {
        if (junctions_.empty()) {
            comment();
            return;
        }
        const std::size_t i = rng_.below(static_cast<std::uint32_t>(junctions_.size()));
        const Junction j = junctions_[i];
        junctions_.erase(junctions_.begin() + static_cast<std::ptrdiff_t>(i));
        auto n = [](std::uint64_t v) { return static_cast<std::int64_t>(v); };
        out_.str("[Restrict]").eol();
        out_.str("Nod=").num(n(j.via)).eol();
        out_.str("TraffPoints=").num(n(j.from)).ch(',').num(n(j.via)).ch(',').num(n(j.to)).eol();
        out_.str("TraffRoads=").num(n(j.from_road)).ch(',').num(n(j.to_road)).eol();
        if (rng_.percent(30))
            out_.str("RestrParam=0,0,0,1,0,0,0,0").eol();
        out_.str("[END-Restrict]").eol().eol();
    }

    Writer& out_;
    Rng rng_;
    std::vector<Region> regions_;
    std::string country_;
    std::vector<std::string> kinds_, fixed_, poi_labels_, building_labels_, suffixes_, prefixes_;
    std::vector<std::array<std::string, 3>> adjectives_;
    std::array<std::string, 3> ordinal_;
    std::array<std::string, 2> building_part_;
    std::string numero_, quarter_;
    std::vector<City> cities_;
    std::vector<Street> streets_;
    unsigned total_weight_ = 0;
    std::uint64_t road_id_ = 0, last_node_ = 0;
    std::vector<Junction> junctions_;
    std::string hn_;
    std::vector<Pt> scratch_;
};

// ---------------------------------------------------------------- arguments

bool parse_size(std::string_view s, std::uint64_t& out)
{
    std::uint64_t v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || p == s.data())
        return false;
    std::string_view rest(p, static_cast<std::size_t>(s.data() + s.size() - p));
    unsigned shift = 0;
    if (!rest.empty()) {
        switch (rest[0]) {
        case 'k': case 'K': shift = 10; break;
        case 'm': case 'M': shift = 20; break;
        case 'g': case 'G': shift = 30; break;
        default: return false;
        }
        rest.remove_prefix(1);
        if (rest == "B" || rest == "b" || rest == "iB")
            rest = {};
        if (!rest.empty())
            return false;
    }
    if (v == 0 || v > (std::uint64_t{1} << 50) >> shift)
        return false;
    out = v << shift;
    return true;
}

bool parse_seed(std::string_view s, std::uint64_t& out)
{
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc{} && p == s.data() + s.size() && !s.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: generate_map OUTPUT SIZE[K|M|G] [SEED]\n");
        return 1;
    }
    std::uint64_t size = 0, seed = 1;
    if (!parse_size(argv[2], size)) {
        std::fprintf(stderr, "generate_map: bad size '%s' (expected e.g. 65536, 64K, 500M, 1G)\n", argv[2]);
        return 1;
    }
    if (argc == 4 && !parse_seed(argv[3], seed)) {
        std::fprintf(stderr, "generate_map: bad seed '%s' (expected an unsigned integer)\n", argv[3]);
        return 1;
    }
    std::FILE* f = std::fopen(argv[1], "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "generate_map: cannot open %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    std::setvbuf(f, nullptr, _IONBF, 0);
    int err = 0;
    {
        Writer out(f);
        Generator gen(out, seed);
        if (!gen.run(size))
            err = errno != 0 ? errno : EIO;
    }
    if (std::fclose(f) != 0 && err == 0)
        err = errno != 0 ? errno : EIO;
    if (err != 0) {
        std::fprintf(stderr, "generate_map: cannot write %s: %s\n", argv[1], std::strerror(err));
        return 1;
    }
    return 0;
}
