// generate_map OUTPUT SIZE [SEED]: writes a synthetic, city-like map in the Navitel typeset for benchmarks: a header,
// the [Countries], [Regions] and [Cities] blocks, then 45% buildings with a postal address, 15% without, 20% roads, 15%
// POIs and 5% comments and [Restrict] sections, up to the first object that reaches SIZE bytes (K, M or G: powers of
// 1024). In cp1251 with CR LF; deterministic: the bytes depend on SIZE and SEED only, on any platform and compiler.
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <concepts>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Text written here in UTF-8 and held in cp1251, converted by the compiler, so that writing it out is a plain copy. It
// knows what the tables need: ASCII, Russian letters, «, » and №. A text too long for it does not compile.
class Text {
 public:
  consteval Text(const char* utf8) {
    for (std::size_t i = 0; utf8[i] != 0; ++FSize) {
      const unsigned lead = static_cast<unsigned char>(utf8[i]);
      const std::size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : 3;
      unsigned code = lead & (length == 1 ? 0x7fu : length == 2 ? 0x1fu : 0x0fu);
      for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3fu);
      i += length;
      code = code == 0x401 ? 0xa8 : code == 0x451 ? 0xb8 : code == 0x2116 ? 0xb9 : code >= 0x410 ? code - 0x350 : code;
      FBytes[FSize] = static_cast<char>(code);
    }
  }
  operator std::string_view() const { return {FBytes, FSize}; }

 private:
  char FBytes[48]{};
  std::size_t FSize = 0;
};

struct Point {
  std::int64_t X, Y;  // centimetres east and north
};
Point operator+(Point a, Point b) { return {a.X + b.X, a.Y + b.Y}; }

// A direction as a Pythagorean triple, cos = A / C and sin = B / C, so that rotations stay in integers.
struct Direction {
  std::int64_t A, B, C;
};
constexpr Direction Directions[] = {{1, 0, 1}, {0, 1, 1}, {3, 4, 5}, {4, 3, 5}, {-3, 4, 5}, {-4, 3, 5}, {5, 12, 13}};
Point Rotate(Point p, const Direction& d) { return {(d.A * p.X - d.B * p.Y) / d.C, (d.B * p.X + d.A * p.Y) / d.C}; }

struct LatLon {
  std::int64_t Lat, Lon;  // 1e-5 degrees
};

constexpr Text Header[] = {
    "; Карта Верхнеозёрской и Приреченской областей", "; Адресный слой: здания с почтовыми адресами", "; WGS 84", "",
    "[IMG ID]", "ID=63240002", "Name=Верхнеозёрье", "CodePage=1251", "LblCoding=9", "TypeSet=Navitel", "Routing=Y",
    "Elevation=M", "Preprocess=F", "TreSize=2048", "TreMargin=0.00000", "RgnLimit=1024", "POIIndex=Y",
    "POINumberFirst=Y", "Levels=4", "Level0=24", "Level1=22", "Level2=20", "Level3=18", "Zoom0=0", "Zoom1=1", "Zoom2=2",
    "Zoom3=3", "[END-IMG ID]", "", "[Countries]"};
constexpr Text Country = "Россия";
constexpr Text Regions[] = {"Верхнеозёрская обл.", "Приреченская обл."};

struct City {
  Text Name;
  std::size_t Region;
  std::int64_t Lat, Lon;
  unsigned Share, Streets;  // Share: percentage of the objects
  // 111.3 cm to 1e-5 degree of latitude; of longitude, that times cos(lat) at 55.5 to 57.5 degrees.
  LatLon At(Point p) const { return {Lat + p.Y / 111, Lon + p.X / (Lat < 5600000 ? 63 : Lat < 5700000 ? 62 : 61)}; }
};
constexpr City Cities[] = {
    {"Заречинск", 0, 5684600, 3591700, 30, 420}, {"Липоводск", 0, 5702300, 3548800, 17, 260},
    {"Краснозорск", 0, 5661200, 3637400, 13, 190}, {"Новоключинск", 1, 5598700, 3702900, 15, 230},
    {"Светлоозёрск", 1, 5573400, 3655100, 9, 140}, {"Гореловск", 1, 5622800, 3751600, 8, 110},
    {"Каменный Брод", 0, 5719900, 3612300, 5, 45}, {"Старая Мельница", 1, 5563900, 3720800, 3, 20}};

struct StreetKind {
  Text Abbreviation;
  unsigned Share;  // percentage
  Text Ending, Ordinal;  // of an adjective (none where it stays masculine, as in the table) and of a number before it
};
constexpr StreetKind StreetKinds[] = {
    {"ул.", 60, "ая", "-я"}, {"пер.", 15, "", "-й"}, {"пр-т", 5, "", "-й"}, {"пр-д", 5, "", "-й"}, {"б-р", 4, "", "-й"},
    {"наб.", 3, "ая", "-я"}, {"ш.", 3, "ое", "-е"}, {"пл.", 3, "ая", "-я"}, {"туп.", 2, "", "-й"}};
constexpr Text FixedNames[] = {  // names that do not agree with the kind of street
    "Ленина", "Мира", "Гагарина", "Пушкина", "Кирова", "Чехова", "Горького", "Победы", "Свердлова", "Калинина",
    "Некрасова", "Лермонтова", "Толстого", "Королёва", "Циолковского", "Фрунзе", "Чапаева", "Жукова", "Суворова",
    "Ломоносова", "Менделеева", "Гоголя", "Чкалова", "Маяковского", "Есенина", "Шевченко", "Космонавтов", "Строителей",
    "Энтузиастов", "Железнодорожников", "Партизан", "Декабристов", "Труда", "8 Марта", "1 Мая", "Дружбы", "Юности"};
constexpr Text Adjectives[] = {
    "Садовый", "Школьный", "Молодёжный", "Центральный", "Новый", "Зелёный", "Солнечный", "Почтовый", "Колхозный",
    "Дачный", "Вокзальный", "Торговый", "Кооперативный", "Огородный", "Клубный", "Озёрный", "Заречный", "Нагорный",
    "Мельничный", "Песчаный", "Спортивный", "Парковый", "Полевой", "Лесной", "Речной", "Береговой", "Заводской"};
constexpr Text Pois[] = {  // the type, a space and the label
    "0x2f06 Сбербанк", "0x2e02 Продукты", "0x2e02 Магазин «У дома»", "0x2a00 Кафе «Берёзка»", "0x2c05 Детский сад",
    "0x2c05 Школа", "0x3002 Поликлиника", "0x2f01 АЗС", "0x2f05 Почта России", "0x2b01 Гостиница", "0x2c0b Храм",
    "0x3008 Пожарная часть", "0x3001 Отделение полиции", "0x2e05 Аптека", "0x2f08 Остановка", "0x2c04 Памятник",
    "0x2f03 Шиномонтаж", "0x3003 Администрация", "0x2e06 Рынок", "0x2a03 Столовая", "0x2f0b Автостоянка"};
// The first six are the kind of building that has a postal address.
constexpr Text BuildingLabels[] = {"Дом культуры", "Поликлиника", "Администрация", "Универмаг", "Библиотека", "Баня",
                                   "Котельная", "Гаражи", "Склад", "Трансформаторная подстанция"};
constexpr Text HouseSuffixes[] = {"А", "Б", "В", "а", "/1", "/2", " к1", " к2", " корп.1", " корп.2", " стр.1"};
constexpr Text HousePrefixes[] = {"вл. ", "уч. ", "д. ", "В"}, BuildingParts[] = {" к", " корп."};
constexpr Text BlockComment = "; квартал ", NumberSign = " №";

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
  const City* Town;
  Point Origin;  // from the city centre
  Direction Bearing;
  std::int64_t Length, Spacing;  // centimetres; Spacing is between two houses on one side
  unsigned NextHouse = 0;
  std::array<std::int64_t, 4> LastRoad{};  // the last road along it: where it ended, its last two nodes, its id
  LatLon At(Point p) const { return Town->At(Origin + Rotate(p, Bearing)); }  // p: along the street and to its left
};

class Generator {
 public:
  Generator(std::FILE* file, std::uint64_t seed) : FFile(file), FState(seed) {
    for (const City& city : Cities) {
      std::vector<Street>& streets = FStreets.emplace_back();
      // Streets start within 1.5 km and 12 m a street of the centre; their names are unique within a town.
      const int radius = 150000 + static_cast<int>(city.Streets) * 1200;
      for (std::set<std::string> names; names.size() < city.Streets;) {
        if (std::string name = StreetName(); names.insert(name).second) {
          const Point origin{Range(-radius, radius), Range(-radius, radius)};
          streets.push_back({name, &city, origin, Pick(Directions), Range(300, 2500) * 100, Range(22, 40) * 100});
        }
      }
    }
  }

  // False when a write fails, errno telling why.
  bool Run(std::uint64_t size) {
    WriteHeader();
    for (bool done = false; !done; FEnd = FBuffer.data()) {
      while (Buffered() < BlockSize && FWritten + Buffered() < size) WriteObject();
      done = FWritten + Buffered() >= size;
      FWritten += Buffered();
      if (std::fwrite(FBuffer.data(), 1, Buffered(), FFile) != Buffered()) return false;
    }
    return true;
  }

 private:
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
  const T& Pick(const T (&items)[N]) { return items[Below(N)]; }
  // An entry of a table whose shares add up to 100.
  template <typename T, std::size_t N>
  const T& PickByShare(const T (&table)[N]) {
    std::size_t i = 0;
    for (unsigned r = Below(100); r >= table[i].Share; ++i) r -= table[i].Share;
    return table[i];
  }
  // Text goes out as it stands: all that is not ASCII comes from the tables, in cp1251 already.
  void Put(const auto&... parts) { (Append(parts), ...); }
  void Line(const auto&... parts) { Put(parts..., "\r\n"); }
  void Append(std::string_view text) { FEnd = std::copy(text.begin(), text.end(), FEnd); }
  void Append(char c) { *FEnd++ = c; }
  void Append(std::integral auto value) { FEnd = std::to_chars(FEnd, FEnd + 24, value).ptr; }
  // Degrees, north and east: the five decimals go out behind a 1 that keeps their zeros, and the 1 becomes the point.
  void Append(LatLon at) {
    Put('(', at.Lat / 100000, at.Lat % 100000 + 100000);
    FEnd[-6] = '.';
    Put(',', at.Lon / 100000, at.Lon % 100000 + 100000, ')');
    FEnd[-7] = '.';
  }
  std::size_t Buffered() const { return static_cast<std::size_t>(FEnd - FBuffer.data()); }
  // "ул. Ленина", "2-й Садовый пер.", and now and then "Садовая ул." as some editors write it.
  std::string StreetName() {
    const StreetKind& kind = PickByShare(StreetKinds);
    std::string name(Pick(FixedNames));
    if (Percent(55)) {
      const std::string_view adjective = Pick(Adjectives), ending = kind.Ending;
      name = std::string(adjective.substr(0, adjective.size() - (ending.empty() ? 0 : 2))).append(ending);
      if (Percent(3)) name = std::to_string(Range(1, 4)).append(kind.Ordinal).append(" ").append(name);
    }
    const std::string abbreviation(kind.Abbreviation);
    return Percent(4) ? name + " " + abbreviation : abbreviation + " " + name;
  }
  // A few streets of a town hold most of the houses.
  Street& PickStreet() {
    std::vector<Street>& streets = FStreets[static_cast<std::size_t>(&PickByShare(Cities) - Cities)];
    const std::uint32_t i = Below(static_cast<std::uint32_t>(streets.size()));
    return streets[Percent(40) ? Below(i + 1) : i];
  }
  void WriteHeader() {
    for (const Text& line : Header) Line(line);
    Line("Country1=", Country, "~[0x1d]RUS\r\n[END-Countries]\r\n\r\n[Regions]");
    for (auto i = 1u; i <= std::size(Regions); ++i) Line("Region", i, '=', Regions[i - 1], "\r\nCountryIdx", i, "=1");
    Line("[END-Regions]\r\n\r\n[Cities]");
    for (auto i = 1u; i <= std::size(Cities); ++i) {
      Line("City", i, '=', Cities[i - 1].Name, "\r\nRegionIdx", i, '=', Cities[i - 1].Region + 1);
    }
    Line("[END-Cities]\r\n");
  }
  void WriteObject() {
    const unsigned r = Below(1000);  // shares in thousandths
    if (r < 600) return WriteBuilding(r < 450);
    if (r < 800) return WriteRoad();
    if (r < 950) return WritePoi();
    if (r >= 985 && !FJunctions.empty()) return WriteRestriction();
    WriteComment();
  }
  // The fields, by the digits of `order`: 0 street, 1 house number, 2 town, 3 region, 4 country. By default the usual
  // order, or now and then a variation that some editors produce.
  void WriteAddress(const Street& street, std::string_view number, std::string_view order = {}) {
    const unsigned r = Below(100);
    if (order.empty()) order = r < 70 ? "01234" : r < 85 ? "10234" : r < 95 ? "23401" : "01243";
    const std::string_view fields[][2] = {{"StreetDesc=", street.Name}, {"HouseNumber=", number},
                                          {"CityName=", street.Town->Name},
                                          {"RegionName=", Regions[street.Town->Region]}, {"CountryName=", Country}};
    for (const char i : order) Line(fields[i - '0'][0], fields[i - '0'][1]);
  }
  // A house along a street: 1 to 240, odd numbers on the left, later rounds being further buildings of the same houses.
  // A building without a postal address stands behind the next house, with a label or a town at most.
  void WriteBuilding(bool addressed) {
    Street& street = PickStreet();
    const unsigned house = addressed ? street.NextHouse++ : street.NextHouse, form = Below(100);
    const unsigned n = house % 240, round = house / 240;
    std::string number = std::to_string(n + 1);
    if (form < 3) number.insert(0, Pick(HousePrefixes));
    if (form >= 3 && round > 0) number.append(Pick(BuildingParts)).append(std::to_string(round + 1));
    if (form >= 75 && round == 0) number.append(Pick(HouseSuffixes));
    Line("[POLYGON]\r\nType=", Percent(92) ? "0x13" : "0x0d");
    if (Percent(addressed ? 4 : 20)) Line("Label=", BuildingLabels[Below(addressed ? 6 : 10)]);
    if (!addressed && Percent(10)) Line("CityName=", street.Town->Name);
    if (Percent(20)) Line("EndLevel=", Range(0, 1));
    const bool addressLast = Percent(5);
    if (addressed && !addressLast) WriteAddress(street, number);
    // The outline, now and then a courtyard, and more rarely a detached annex as well.
    const Point centre{n / 2 * street.Spacing % (street.Length + 1), (n % 2 == 0 ? 1800 : -1800) * (addressed ? 1 : 3)};
    const Point half{Range(400, 1400), Range(350, 900)};
    const unsigned rings = Below(100);
    WriteRing(street, centre, half, false, 0);
    if (rings < 15) WriteRing(street, centre, half, true, 1);
    if (rings < 4) WriteRing(street, centre + Point{half.X * 2 + 2400, 0}, {half.X / 2, half.Y / 2}, false, 2);
    if (addressed && addressLast) WriteAddress(street, number);
    Line("[END]\r\n");
  }
  // One ring of a building. Its corners go evenly round a rectangle, larger the more corners, and those between the
  // rectangle's own are pulled in a little: the ring never crosses itself, and a courtyard stays inside the outline.
  void WriteRing(const Street& street, Point centre, Point half, bool hole, int index) {
    const unsigned r = Below(100);
    const int points = r < 55 ? 5 : r < 75 ? Range(6, 9) : r < 93 ? Range(10, 20) : Range(21, 40);
    const bool closed = Percent(80);
    // A closed ring repeats its first point; courtyards are plainer.
    const int corners = std::min(closed ? points - 1 : points, hole ? 12 : 40);
    const std::int64_t w = hole ? half.X / 2 : half.X + corners * 60, h = hole ? half.Y / 2 : half.Y + corners * 60;
    const Point box[] = {{-w, -h}, {w, -h}, {w, h}, {-w, h}, {-w, -h}};
    const LatLon first = street.At(centre + box[0]);
    Put("Data", index, '=', first);
    for (int i = 1; i < corners; ++i) {
      const int along = i * 1024 / corners, pull = along % 256 == 0 ? 16 : Range(13, 16);  // a quarter round is 256
      const Point a = box[along / 256], b = box[along / 256 + 1];
      const std::int64_t x = a.X + (b.X - a.X) * (along % 256) / 256, y = a.Y + (b.Y - a.Y) * (along % 256) / 256;
      Put(',', street.At(centre + Point{x * pull / 16, y * pull / 16}));
    }
    if (closed) Put(',', first);
    Line();
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
    const int points = Percent(60) ? Range(2, 6) : Range(7, 30);
    const std::int64_t step = std::min<std::int64_t>(street.Length - from, Range(150, 800) * 100) / (points - 1);
    Put("Data0=", street.At({from, 0}));
    for (int i = 1; i < points; ++i) Put(',', street.At({from + step * i, i == points - 1 ? 0 : Range(-250, 250)}));
    Line();
    // House numbers on some of the named ones, odd on the left.
    const int a = Range(1, 30) * 2 - 1, b = a + 20;
    if (kind.Named && Percent(10)) Line("Numbers1=0,O,", a, ',', b, ",E,", a + 1, ',', b + 1, ",-1,-1,-1,-1,-1,-1");
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
    if (goesOn && FJunctions.size() < 64) FJunctions.push_back({nodeBefore, node, second, id, FRoadId});
    street.LastRoad = {from + step * (points - 1), FLastNode, beforeLast, FRoadId};
  }
  void WritePoi() {
    const Street& street = PickStreet();
    const std::string_view poi = Pick(Pois);
    Put("[POI]\r\nType=", poi.substr(0, 6), "\r\nLabel=", poi.substr(7));
    if (Percent(10)) Put(NumberSign, Range(1, 40));
    Line();
    if (Percent(50)) Line("EndLevel=", Range(0, 1));
    if (Percent(55)) WriteAddress(street, std::to_string(Range(1, 120)), "23401");
    const int code = Range(48200, 48299), first = Range(2, 7), second = Range(10, 99), third = Range(10, 99);
    if (Percent(15)) Line("Phone=+7 (", code, ") ", first, '-', second, '-', third);
    Line("Data0=", street.At({Below(static_cast<std::uint32_t>(street.Length)), Range(-3000, 3000)}), "\r\n[END]\r\n");
  }
  void WriteComment() {
    const unsigned form = Below(3);
    if (form == 0) Line("; ---- ", PickByShare(Cities).Name, " ----");
    if (form == 1) Line(BlockComment, Range(1, 400));
    if (form == 2) Line(";");
  }
  // A turn ban where two stretches of one street meet; a junction gets one at most.
  void WriteRestriction() {
    const auto [from, via, to, fromRoad, toRoad] = FJunctions.back();
    FJunctions.pop_back();
    Line("[Restrict]\r\nNod=", via, "\r\nTraffPoints=", from, ',', via, ',', to);
    Line("TraffRoads=", fromRoad, ',', toRoad);
    Line(Percent(30) ? "RestrParam=0,0,0,1,0,0,0,0\r\n" : "", "[END-Restrict]\r\n");
  }

  static constexpr std::size_t BlockSize = std::size_t{8} << 20;
  std::FILE* FFile;
  std::vector<char> FBuffer = std::vector<char>(2 * BlockSize);  // a block, and room past it for the last object
  char* FEnd = FBuffer.data();
  std::uint64_t FWritten = 0, FState;
  std::vector<std::vector<Street>> FStreets;  // by city
  std::int64_t FRoadId = 0, FLastNode = 0;
  // Where roads met the one before them along their street, 64 at most: from, via and to nodes, from and to roads.
  std::vector<std::array<std::int64_t, 5>> FJunctions;
};

// A byte count, with K, M or G after it (and B or iB after that) as powers of 1024; at most 2^50.
bool ParseSize(std::string_view text, std::uint64_t& size) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
  const std::string_view suffix = text.substr(static_cast<std::size_t>(end - text.data()));
  const std::size_t unit = suffix.empty() ? 0 : std::string_view("kKmMgG").find(suffix[0]) / 2 + 1;
  const std::string_view rest = suffix.substr(suffix.empty() ? 0 : 1);
  if (error != std::errc{} || unit > 3 || !(rest.empty() || rest == "B" || rest == "b" || rest == "iB")) return false;
  const unsigned shift = 10 * static_cast<unsigned>(unit);
  if (size == 0 || size > (std::uint64_t{1} << 50) >> shift) return false;
  size <<= shift;
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
