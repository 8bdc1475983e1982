// generate_map OUTPUT SIZE [SEED]: writes a synthetic, city-like map in the Navitel typeset, for benchmarks. A header
// and the [Countries], [Regions] and [Cities] blocks come first, then, by share of the objects, 45% buildings with a
// postal address (1-3 DataN rings of 5-40 points), 15% buildings without one, 20% roads, 15% POIs, and 5% comments
// and [Restrict] sections. SIZE is a byte count, optionally with a K, M or G suffix (powers of 1024); writing stops
// after the first object that reaches it. The output, cp1251 with CR LF line ends, depends on SIZE and SEED only: the
// randomness is our own splitmix64 and the geometry integer arithmetic, so every platform writes the same bytes.
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <concepts>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

struct Point {
  std::int64_t X, Y;  // centimetres east and north
};

Point operator+(Point a, Point b) { return {a.X + b.X, a.Y + b.Y}; }
Point operator-(Point a, Point b) { return {a.X - b.X, a.Y - b.Y}; }
// The point n / d of the way from a to b.
Point Toward(Point a, Point b, int n, int d) { return {a.X + (b.X - a.X) * n / d, a.Y + (b.Y - a.Y) * n / d}; }
std::int64_t Distance(Point a, Point b) { return std::abs(a.X - b.X) + std::abs(a.Y - b.Y); }

// A direction as a Pythagorean triple, cos = A / C and sin = B / C, so that rotations stay in integers.
struct Direction {
  std::int64_t A, B, C;
};

constexpr Direction Directions[] = {{1, 0, 1}, {0, 1, 1}, {3, 4, 5}, {4, 3, 5}, {5, 12, 13}, {12, 5, 13}, {8, 15, 17},
                                    {15, 8, 17}, {-3, 4, 5}, {-4, 3, 5}, {-5, 12, 13}, {-12, 5, 13}, {-8, 15, 17},
                                    {-15, 8, 17}, {20, 21, 29}, {-21, 20, 29}};
Point Rotate(Point p, const Direction& d) { return {(d.A * p.X - d.B * p.Y) / d.C, (d.B * p.X + d.A * p.Y) / d.C}; }
std::int64_t DivideRounded(std::int64_t n, std::int64_t d) { return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d); }

struct LatLon {
  std::int64_t Lat, Lon;  // 1e-5 degrees
  bool operator==(const LatLon&) const = default;
};

// Text is UTF-8 here, and cp1251 in the output.
constexpr std::string_view Header[] = {
    "; Карта Верхнеозёрской и Приреченской областей", "; Адресный слой: здания с почтовыми адресами", "; WGS 84", "",
    "[IMG ID]", "ID=63240002", "Name=Верхнеозёрье", "CodePage=1251", "LblCoding=9", "TypeSet=Navitel", "Routing=Y",
    "Elevation=M", "Preprocess=F", "TreSize=2048", "TreMargin=0.00000", "RgnLimit=1024", "POIIndex=Y",
    "POINumberFirst=Y", "Levels=4", "Level0=24", "Level1=22", "Level2=20", "Level3=18", "Zoom0=0", "Zoom1=1", "Zoom2=2",
    "Zoom3=3", "[END-IMG ID]", "", "[Countries]"};
constexpr std::string_view Country = "Россия";
constexpr std::string_view Regions[] = {"Верхнеозёрская обл.", "Приреченская обл."};

struct City {
  std::string_view Name;
  std::size_t Region;
  std::int64_t Lat, Lon;
  unsigned Share, Streets;  // Share: percentage of the objects
  // 111319 cm per 1e-5 degree of latitude; of longitude, times cos(lat) at 55.5 to 57.5 degrees.
  LatLon At(Point p) const {
    return {Lat + DivideRounded(p.Y, 111), Lon + DivideRounded(p.X, Lat < 5600000 ? 63 : Lat < 5700000 ? 62 : 61)};
  }
};

constexpr City Cities[] = {
    {"Заречинск", 0, 5684600, 3591700, 30, 420}, {"Липоводск", 0, 5702300, 3548800, 16, 260},
    {"Краснозорск", 0, 5661200, 3637400, 12, 190}, {"Новоключинск", 1, 5598700, 3702900, 14, 230},
    {"Светлоозёрск", 1, 5573400, 3655100, 8, 140}, {"Гореловск", 1, 5622800, 3751600, 6, 110},
    {"Каменный Брод", 0, 5719900, 3612300, 3, 45}, {"Верхние Пруды", 0, 5650100, 3519800, 2, 30},
    {"Берёзовка", 1, 5587500, 3583400, 2, 25}, {"Малые Липки", 0, 5688100, 3611900, 1, 14},
    {"Сосновка", 1, 5611300, 3690200, 2, 22}, {"Старая Мельница", 1, 5563900, 3720800, 1, 12},
    {"Ключи", 0, 5733400, 3566700, 1, 16}, {"Озерки", 1, 5604200, 3620400, 2, 28}};

enum Gender : std::size_t { Feminine, Masculine, Neuter };

struct StreetKind {
  std::string_view Abbreviation;
  Gender Agreement;
  unsigned Share;  // percentage
};

constexpr StreetKind StreetKinds[] = {{"ул.", Feminine, 60}, {"пер.", Masculine, 15}, {"пр-т", Masculine, 5},
                                      {"наб.", Feminine, 3},  {"б-р", Masculine, 4},    {"ш.", Neuter, 3},
                                      {"пл.", Feminine, 3},   {"проезд", Masculine, 5}, {"туп.", Masculine, 2}};
constexpr std::string_view Ordinals[] = {"-я", "-й", "-е"};  // by gender
// Names that do not agree with the kind of street.
constexpr std::string_view FixedNames[] = {
    "Ленина", "Мира", "Гагарина", "Пушкина", "Кирова", "Чехова", "Горького", "Победы", "Свердлова", "Калинина",
    "Некрасова", "Лермонтова", "Толстого", "Королёва", "Циолковского", "Фрунзе", "Чапаева", "Жукова", "Суворова",
    "Кутузова", "Ломоносова", "Менделеева", "Тургенева", "Гоголя", "Островского", "Герцена", "Чкалова", "Маяковского",
    "Есенина", "Шевченко", "Павлова", "Космонавтов", "Строителей", "Энтузиастов", "Металлургов", "Железнодорожников",
    "Партизан", "Декабристов", "Труда", "Революции", "8 Марта", "1 Мая", "Дружбы", "Юности", "Связистов", "Гвардейцев",
    "Матросова", "Пархоменко"};
// In the masculine; the other forms differ in the two-letter ending only.
constexpr std::string_view Adjectives[] = {
    "Садовый", "Школьный", "Молодёжный", "Центральный", "Новый", "Зелёный", "Солнечный", "Почтовый", "Колхозный",
    "Дачный", "Вокзальный", "Торговый", "Кооперативный", "Огородный", "Клубный", "Озёрный", "Ключевый", "Заречный",
    "Нагорный", "Мельничный", "Гаражный", "Песчаный", "Спортивный", "Парковый", "Полевой", "Лесной", "Речной",
    "Береговой", "Заводской", "Луговой", "Степной", "Рабочий", "Октябрьский", "Советский", "Пролетарский",
    "Комсомольский", "Первомайский", "Московский", "Пионерский", "Луначарский"};
// Type and label.
constexpr std::pair<std::string_view, std::string_view> Pois[] = {
    {"0x2f06", "Сбербанк"}, {"0x2f06", "Банкомат"}, {"0x2e02", "Продукты"}, {"0x2e02", "Магазин «У дома»"},
    {"0x2e02", "Пятёрочка"}, {"0x2a00", "Кафе «Берёзка»"}, {"0x2a07", "Пиццерия"}, {"0x2c05", "Школа"},
    {"0x2c05", "Детский сад"}, {"0x3002", "Поликлиника"}, {"0x2f01", "АЗС"}, {"0x2f05", "Почта России"},
    {"0x2b01", "Гостиница"}, {"0x2c0b", "Храм"}, {"0x3008", "Пожарная часть"}, {"0x3001", "Отделение полиции"},
    {"0x2e04", "Универмаг"}, {"0x2e05", "Аптека"}, {"0x2f08", "Остановка"}, {"0x2c04", "Памятник"}, {"0x2d02", "Бар"},
    {"0x2f03", "Шиномонтаж"}, {"0x2c02", "Музей"}, {"0x2d03", "Кинотеатр"}, {"0x3003", "Администрация"},
    {"0x2e03", "Хозтовары"}, {"0x2e06", "Рынок"}, {"0x2a03", "Столовая"}, {"0x2f0b", "Автостоянка"},
    {"0x2a02", "Шаурма"}, {"0x2f04", "Такси"}, {"0x2e07", "Одежда"}};
// The first six are the kind of building that has a postal address.
constexpr std::string_view BuildingLabels[] = {"Дом культуры", "Поликлиника", "Администрация", "Универмаг", "Библиотека",
                                               "Баня", "Котельная", "Гаражи", "Склад", "Трансформаторная подстанция"};
constexpr std::string_view HouseSuffixes[] = {"А", "Б", "В", "а", "/1", "/2", " к1", " к2", " корп.1", " корп.2",
                                              " стр.1", " стр.2"};
constexpr std::string_view HousePrefixes[] = {"вл. ", "уч. ", "д. ", "В"};
constexpr std::string_view BuildingParts[] = {" к", " корп."};

// The fields of an address in the order written, numbered as in Generator::WriteAddress.
struct AddressOrder {
  unsigned Share;  // percentage
  std::string_view Fields;
};

// The usual order, and the variations that different editors produce.
constexpr AddressOrder AddressOrders[] = {{70, "01234"}, {15, "10234"}, {10, "23401"}, {5, "01243"}};

struct RoadKind {
  unsigned Share;  // percentage
  std::string_view Type;
  int Speed, Class, EndLevel;
  bool Named;
};

constexpr RoadKind RoadKinds[] = {{70, "0x06", 2, 0, 1, true}, {8, "0x05", 3, 1, 1, true}, {8, "0x04", 3, 2, 2, true},
                                  {4, "0x03", 4, 2, 2, true}, {7, "0x07", 1, 0, 1, false}, {3, "0x0a", 1, 0, 1, false}};

struct Street {
  std::string Name;
  std::size_t CityIndex;
  Point Origin;  // from the city centre
  Direction Bearing;
  std::int64_t Length, Spacing;  // centimetres; Spacing is between two houses on one side
  unsigned NextHouse = 0;
  std::array<std::int64_t, 4> LastRoad{};  // the last road along it: where it ended, its last two nodes, its id
};

class Generator {
 public:
  Generator(std::FILE* file, std::uint64_t seed) : FFile(file), FState(seed) {
    for (std::size_t city = 0; city < std::size(Cities); ++city) {
      FFirstStreet.push_back(FStreets.size());
      // Street names are unique within a town.
      for (std::set<std::string> names; names.size() < Cities[city].Streets;) {
        if (std::string name = StreetName(); names.insert(name).second) {
          FStreets.push_back({name, city, RandomPoint(Cities[city]), Pick(Directions), Range(300, 2500) * 100,
                              Range(22, 40) * 100});
        }
      }
    }
  }

  // False when a write fails, errno telling why.
  bool Run(std::uint64_t size) {
    WriteHeader();
    while (FWritten + FBuffer.size() < size) {
      if (FBuffer.size() >= BlockSize && !Flush()) return false;
      WriteObject();
    }
    return Flush();
  }

 private:
  static constexpr std::size_t BlockSize = std::size_t{8} << 20;

  std::uint64_t Next() {  // splitmix64
    std::uint64_t z = FState += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n) for n < 2^32, and in [low, high].
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32); }
  int Range(int low, int high) { return low + static_cast<int>(Below(static_cast<std::uint32_t>(high - low + 1))); }
  bool Percent(unsigned p) { return Below(100) < p; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }
  // An entry of a table whose shares add up to 100.
  template <typename T, std::size_t N>
  const T& PickByShare(const T (&table)[N]) {
    std::size_t i = 0;
    for (unsigned r = Below(100); r >= table[i].Share; ++i) r -= table[i].Share;
    return table[i];
  }

  bool Flush() {
    if (std::fwrite(FBuffer.data(), 1, FBuffer.size(), FFile) != FBuffer.size()) return false;
    FWritten += FBuffer.size();
    FBuffer.clear();
    return true;
  }
  void Put(const auto&... parts) { (Append(parts), ...); }
  void Line(const auto&... parts) { Put(parts..., "\r\n"); }
  void Append(char c) { FBuffer.push_back(c); }
  void Append(std::integral auto value) {
    char digits[24];
    FBuffer.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  }
  // In degrees with five decimals.
  void Append(LatLon at) {
    const std::int64_t values[] = {at.Lat, at.Lon};
    for (int i = 0; i < 2; ++i) {
      char fraction[8];  // the digits of 100000 more than the fraction: the fraction with its zeros, after the first
      std::to_chars(fraction, fraction + sizeof fraction, std::abs(values[i]) % 100000 + 100000);
      Put("(,"[i], values[i] < 0 ? "-" : "", std::abs(values[i]) / 100000, '.', std::string_view(fraction + 1, 5));
    }
    Put(')');
  }
  // UTF-8 to cp1251, for the letters and signs of the tables: ASCII, Russian letters, «, » and №.
  void Append(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
      const unsigned char lead = text[i];
      const std::size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : 3;
      unsigned code = lead & (length == 1 ? 0x7fu : length == 2 ? 0x1fu : 0x0fu);
      for (const unsigned char next : text.substr(i + 1, length - 1)) code = (code << 6) | (next & 0x3fu);
      i += length;
      code = code == 0x401 ? 0xa8 : code == 0x451 ? 0xb8 : code == 0x2116 ? 0xb9 : code >= 0x410 ? code - 0x350 : code;
      FBuffer.push_back(static_cast<char>(code));
    }
  }

  // Grows a counter-clockwise ring to `want` vertices. Each step changes one edge or corner locally, so the ring stays
  // simple: a rectangular bay out of the longest edge (+4), a stepped corner (+2) or a chamfered corner (+1).
  void GrowRing(std::vector<Point>& ring, std::size_t want, bool bays) {
    for (std::size_t n = ring.size(); n < want; n = ring.size()) {
      const auto at = [&](std::size_t i) { return ring[i % n]; };
      const auto side = [&](std::size_t i) { return Distance(at(i), at(i + 1)); };
      const bool bay = want - n >= 4 && bays && Percent(55);
      // The first longest edge, or the first corner whose shorter side is longest.
      const auto length = [&](std::size_t i) { return bay ? side(i) : std::min(side(i + n - 1), side(i)); };
      std::size_t i = 0;
      for (std::size_t k = 1; k < n; ++k) i = length(k) > length(i) ? k : i;
      const auto next = ring.begin() + static_cast<std::ptrdiff_t>(i + 1);
      if (bay) {
        const Point p = ring[i], q = at(i + 1);
        const int start = Range(3, 6), end = Range(10, 13), depth = Range(1, 3);
        // The outside of a counter-clockwise ring is on the right.
        const Point a = Toward(p, q, start, 16), d = Toward(p, q, end, 16);
        const Point out{(q.Y - p.Y) * depth / 16, (p.X - q.X) * depth / 16};
        ring.insert(next, {a, a + out, d + out, d});
      } else {
        const Point v = ring[i], a = Toward(v, at(i + n - 1), 1, 8), b = Toward(v, at(i + 1), 1, 8);
        const Point cut[] = {a + (b - v), b};
        ring[i] = a;
        ring.insert(next, want - n >= 2 && Percent(50) ? cut : cut + 1, cut + 2);
      }
    }
  }

  std::string StreetName() {
    const StreetKind& kind = PickByShare(StreetKinds);
    const bool numbered = Percent(3);
    std::string name;
    if (Percent(45)) {
      name = Pick(FixedNames);
    } else {
      // Садовая, Садовый, Садовое; Рабочая, Рабочий, Рабочее. A Cyrillic letter takes two bytes.
      const std::string_view masculine = Pick(Adjectives), stem = masculine.substr(0, masculine.size() - 4);
      name = std::string(stem).append(kind.Agreement == Masculine  ? masculine.substr(stem.size())
                                      : kind.Agreement == Feminine ? "ая"
                                      : masculine.ends_with("чий") ? "ее" : "ое");
      if (numbered) name = std::to_string(Range(1, 4)).append(Ordinals[kind.Agreement]).append(" ").append(name);
    }
    // "ул. Ленина", but now and then "Садовая ул." as some editors write it.
    const std::string abbreviation(kind.Abbreviation);
    return Percent(4) ? name + " " + abbreviation : abbreviation + " " + name;
  }
  // Within 1.5 km and 12 m a street of the centre.
  Point RandomPoint(const City& city) {
    const std::int64_t radius = 150000 + std::int64_t{city.Streets} * 1200, x = Range(-1000, 1000) * radius / 1000;
    return {x, Range(-1000, 1000) * radius / 1000};
  }
  // A few streets of a town hold most of the houses.
  Street& PickStreet() {
    const City& city = PickByShare(Cities);
    std::uint32_t i = Below(city.Streets);
    if (Percent(40)) i = Below(i + 1);
    return FStreets[FFirstStreet[static_cast<std::size_t>(&city - Cities)] + i];
  }

  void WriteHeader() {
    for (const std::string_view line : Header) Line(line);
    Line("Country1=", Country, "~[0x1d]RUS\r\n[END-Countries]\r\n\r\n[Regions]");
    for (std::size_t i = 1; i <= std::size(Regions); ++i) {
      Line("Region", i, '=', Regions[i - 1], "\r\nCountryIdx", i, "=1");
    }
    Line("[END-Regions]\r\n\r\n[Cities]");
    for (std::size_t i = 1; i <= std::size(Cities); ++i) {
      Line("City", i, '=', Cities[i - 1].Name, "\r\nRegionIdx", i, '=', Cities[i - 1].Region + 1);
    }
    Line("[END-Cities]\r\n");
  }
  // Shares in thousandths.
  void WriteObject() {
    const unsigned r = Below(1000);
    if (r < 450) return WriteAddressedBuilding();
    if (r < 600) return WritePlainBuilding();
    if (r < 800) return WriteRoad();
    if (r < 950) return WritePoi();
    if (r < 985) return WriteComment();
    WriteRestriction();
  }
  // The fields, by the digits of `order`: 0 street, 1 house number, 2 town, 3 region, 4 country.
  void WriteAddress(const Street& street, std::string_view number, std::string_view order) {
    const City& city = Cities[street.CityIndex];
    const std::string_view fields[][2] = {{"StreetDesc=", street.Name}, {"HouseNumber=", number},
                                          {"CityName=", city.Name}, {"RegionName=", Regions[city.Region]},
                                          {"CountryName=", Country}};
    for (const char i : order) Line(fields[i - '0'][0], fields[i - '0'][1]);
  }

  // One ring of a building around `centre`; `half` is half its size before it grows.
  void WriteRing(const City& city, Point centre, Point half, const Direction& bearing, bool hole, int index) {
    const unsigned r = Below(100);
    const int points = r < 55 ? 5 : r < 75 ? Range(6, 9) : r < 93 ? Range(10, 20) : Range(21, 40);
    const bool closed = Percent(80);
    // A closed ring repeats its first point. Courtyards have at most 12 corners, and only inward ones; outlines with
    // many corners are larger.
    const std::size_t corners = std::min<std::size_t>(closed ? points - 1 : points, hole ? 12 : 40);
    const std::int64_t grow = static_cast<std::int64_t>(corners) * 60, divisor = hole ? 2 : 1;
    const std::int64_t w = (half.X + grow) / divisor, h = (half.Y + grow) / divisor;
    std::vector<Point> ring{{-w, -h}, {w, -h}, {w, h}, {-w, h}};
    GrowRing(ring, corners, !hole);
    const LatLon first = city.At(centre + Rotate(ring[0], bearing));
    LatLon last = first;
    Put("Data", index, '=', first);
    for (const Point& p : ring) {
      // Corners that come out at the same coordinates are written once.
      const LatLon next = city.At(centre + Rotate(p, bearing));
      if (next != last) Put(',', next);
      last = next;
    }
    if (closed && last != first) Put(',', first);
    Line();
  }
  void WriteBuildingShape(const City& city, Point centre, const Direction& bearing) {
    const Point half{Range(400, 1400), Range(350, 900)};
    WriteRing(city, centre, half, bearing, false, 0);
    // Now and then a courtyard, and more rarely a detached annex as well.
    const unsigned r = Below(100);
    if (r < 15) WriteRing(city, centre, half, bearing, true, 1);
    const Point annex = centre + Rotate({half.X * 2 + 2400, 0}, bearing);
    if (r < 4) WriteRing(city, annex, {half.X / 2, half.Y / 2}, bearing, false, 2);
  }

  void WriteAddressedBuilding() {
    Street& street = PickStreet();
    // 1 to 240 along a street, odd numbers on the left; later rounds are further buildings of the same houses.
    const unsigned house = street.NextHouse++, n = house % 240, round = house / 240, form = Below(100);
    std::string number = std::to_string(n + 1);
    if (form < 3) number.insert(0, Pick(HousePrefixes));
    if (form >= 3 && round > 0) number.append(Pick(BuildingParts)).append(std::to_string(round + 1));
    if (form >= 75 && round == 0) number.append(Pick(HouseSuffixes));
    const Point along{std::int64_t{n / 2} * street.Spacing % (street.Length + 1), n % 2 == 0 ? 1800 : -1800};
    Line("[POLYGON]\r\nType=", Percent(92) ? "0x13" : "0x0d");
    if (Percent(4)) Line("Label=", BuildingLabels[Below(6)]);
    if (Percent(20)) Line("EndLevel=", Range(0, 1));
    const bool addressLast = Percent(5);
    if (!addressLast) WriteAddress(street, number, PickByShare(AddressOrders).Fields);
    WriteBuildingShape(Cities[street.CityIndex], street.Origin + Rotate(along, street.Bearing), street.Bearing);
    if (addressLast) WriteAddress(street, number, PickByShare(AddressOrders).Fields);
    Line("[END]\r\n");
  }
  void WritePlainBuilding() {
    const City& city = PickByShare(Cities);
    const Point centre = RandomPoint(city);
    Line("[POLYGON]\r\nType=0x13");
    const unsigned r = Below(100);
    if (r < 20) Line("Label=", Pick(BuildingLabels));
    if (r >= 90) Line("CityName=", city.Name);  // a town but no street address
    if (Percent(10)) Line("EndLevel=0");
    WriteBuildingShape(city, centre, Pick(Directions));
    Line("[END]\r\n");
  }

  void WriteRoad() {
    Street& street = PickStreet();
    const RoadKind& kind = PickByShare(RoadKinds);
    Line("[POLYLINE]\r\nType=", kind.Type);
    if (kind.Named) Line("Label=", street.Name);
    if (Percent(60)) Line("EndLevel=", kind.EndLevel);
    if (kind.Named) WriteAddress(street, {}, "234");
    Line("RoadID=", ++FRoadId);
    Line("RouteParam=", kind.Speed, ',', kind.Class, ',', Percent(8) ? 1 : 0, ",0,0,0,0,0,0,0,0,0");  // some one-way
    // The next stretch of the street starts where the last one ended, or anywhere once the street is done.
    const auto [end, node, nodeBefore, id] = street.LastRoad;
    const bool goesOn = node != 0 && street.Length - end >= 10000;
    const std::int64_t from = goesOn ? end : Below(1000) * street.Length / 2000;
    const std::int64_t span = std::min<std::int64_t>(street.Length - from, Range(150, 800) * 100);
    const int wanted = Percent(60) ? Range(2, 6) : Range(7, 30);
    const int points = std::max(2, static_cast<int>(std::min<std::int64_t>(wanted, span / 500 + 1)));
    const std::int64_t step = span / (points - 1);
    Put("Data0=");
    for (int i = 0; i < points; ++i) {
      const Point at{from + step * i, i == 0 || i == points - 1 ? 0 : Range(-250, 250)};
      Put(i == 0 ? "" : ",", Cities[street.CityIndex].At(street.Origin + Rotate(at, street.Bearing)));
    }
    Line();
    if (kind.Named && Percent(10)) {
      const int a = Range(1, 30) * 2 - 1;
      Line("Numbers1=0,O,", a, ',', a + 20, ",E,", a + 1, ',', a + 21, ",-1,-1,-1,-1,-1,-1");
    }
    // Routing nodes at both ends and at some of the bends.
    std::int64_t second = 0, beforeLast = 0;
    for (int i = 0, k = 0; i < points; ++i) {
      if (i != 0 && i != points - 1 && !Percent(15)) continue;
      const std::int64_t nodeId = i == 0 && goesOn ? node : ++FLastNode;
      second = k == 1 ? nodeId : second;
      beforeLast = i != points - 1 ? nodeId : beforeLast;
      Line("Nod", ++k, '=', i, ',', nodeId, ",0");
    }
    Line("[END]\r\n");
    if (goesOn && FJunctions.size() == 64) FJunctions.erase(FJunctions.begin());
    if (goesOn) FJunctions.push_back({nodeBefore, node, second, id, FRoadId});
    street.LastRoad = {from + step * (points - 1), FLastNode, beforeLast, FRoadId};
  }

  void WritePoi() {
    const Street& street = PickStreet();
    const auto& [type, label] = Pick(Pois);
    Put("[POI]\r\nType=", type, "\r\nLabel=", label);
    if (Percent(10)) Put(" №", Range(1, 40));
    Line();
    if (Percent(50)) Line("EndLevel=", Range(0, 1));
    if (Percent(55)) WriteAddress(street, std::to_string(Range(1, 120)), "23401");
    if (Percent(15)) {
      const int code = Range(48200, 48299), first = Range(2, 7), second = Range(10, 99);
      Line("Phone=+7 (", code, ") ", first, '-', second, '-', Range(10, 99));
    }
    const Point at{Below(static_cast<std::uint32_t>(street.Length)), Range(-3000, 3000)};
    Line("Data0=", Cities[street.CityIndex].At(street.Origin + Rotate(at, street.Bearing)), "\r\n[END]\r\n");
  }
  void WriteComment() {
    const City& city = PickByShare(Cities);
    const unsigned form = Below(3);
    if (form == 0) Line("; ---- ", city.Name, " ----");
    if (form == 1) Line("; квартал ", Range(1, 400));
    if (form == 2) Line(";");
  }
  // A turn ban where two stretches of one street meet; a junction gets one at most.
  void WriteRestriction() {
    if (FJunctions.empty()) return WriteComment();
    const auto at = FJunctions.begin() + Below(static_cast<std::uint32_t>(FJunctions.size()));
    const auto [from, via, to, fromRoad, toRoad] = *at;
    FJunctions.erase(at);
    Line("[Restrict]\r\nNod=", via, "\r\nTraffPoints=", from, ',', via, ',', to);
    Line("TraffRoads=", fromRoad, ',', toRoad);
    if (Percent(30)) Line("RestrParam=0,0,0,1,0,0,0,0");
    Line("[END-Restrict]\r\n");
  }

  std::FILE* FFile;
  std::string FBuffer;
  std::uint64_t FWritten = 0, FState;
  std::vector<Street> FStreets;
  std::vector<std::size_t> FFirstStreet;  // of each city, in FStreets
  std::int64_t FRoadId = 0, FLastNode = 0;
  // Where the last 64 roads met the one before them along their street: from, via and to nodes, from and to roads.
  std::vector<std::array<std::int64_t, 5>> FJunctions;
};

// A byte count, with K, M or G after it (and B or iB after that) as powers of 1024; at most 2^50.
bool ParseSize(std::string_view text, std::uint64_t& size) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  const std::string_view suffix = text.substr(static_cast<std::size_t>(end - text.data()));
  const std::size_t unit = suffix.empty() ? 0 : std::string_view("kKmMgG").find(suffix[0]) / 2 + 1;
  const std::string_view rest = suffix.substr(suffix.empty() ? 0 : 1);
  if (error != std::errc{} || unit > 3 || !(rest.empty() || rest == "B" || rest == "b" || rest == "iB")) return false;
  const unsigned shift = 10 * static_cast<unsigned>(unit);
  if (value == 0 || value > (std::uint64_t{1} << 50) >> shift) return false;
  size = value << shift;
  return true;
}

bool ParseSeed(std::string_view text, std::uint64_t& seed) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  return error == std::errc{} && end == text.data() + text.size() && !text.empty();
}

// Reports a failure on standard error; returns the exit status.
int Fail(const auto&... parts) {
  (std::fputs(parts, stderr), ...);
  std::fputc('\n', stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t size = 0, seed = 1;
  if (argc < 3 || argc > 4) return Fail("usage: generate_map OUTPUT SIZE[K|M|G] [SEED]");
  if (!ParseSize(argv[2], size)) {
    return Fail("generate_map: bad size '", argv[2], "' (expected e.g. 65536, 64K, 500M, 1G)");
  }
  if (argc == 4 && !ParseSeed(argv[3], seed)) {
    return Fail("generate_map: bad seed '", argv[3], "' (expected an unsigned integer)");
  }
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) return Fail("generate_map: cannot open ", argv[1], ": ", std::strerror(errno));
  std::setvbuf(file, nullptr, _IONBF, 0);  // the blocks are large already
  int error = Generator(file, seed).Run(size) ? 0 : errno != 0 ? errno : EIO;
  if (std::fclose(file) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  if (error != 0) return Fail("generate_map: cannot write ", argv[1], ": ", std::strerror(error));
  return 0;
}
