// Feeds arbitrary bytes through the file layer, the section filter and the
// converter, and compares the output byte for byte with that of a reference
// converter: a plain one written from the rules of the README, on whole
// strings, with none of the program's buffers, views or caches. Every input
// is run in each configuration of Configs, and each run must match the
// reference: the same output after a success, and after an input that ends
// inside a section the failure "Read beyond end of file" with the output of
// everything before that section, cut at a multiple of 128 bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/navitel2garmin.hpp"
#include "mp/errors.hpp"
#include "mp/line_scan.hpp"

namespace {

using Lines = std::vector<std::string>;

// ---------------------------------------------------------------- reference

// LF or CR LF ends a line, a lone CR is dropped, Ctrl-Z ends the input, and
// bytes after the last terminator make one more line.
Lines CutLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  Lines lines;
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (bytes[i] != '\r') {
      line += bytes[i];
    } else if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      lines.push_back(line);
      line.clear();
      ++i;
    }
  }
  if (!bytes.empty() && bytes.back() != '\n') lines.push_back(line);
  return lines;
}

// The first line whose key (the bytes before its first "=") is key, ignoring
// the case of ASCII letters; -1 when there is none.
int Find(const Lines& lines, std::string_view key) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.find('=') == key.size() &&
        std::equal(key.begin(), key.end(), line.begin(), [&](char a, char b) { return lower(a) == lower(b); })) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string Value(const Lines& lines, std::string_view key) {
  const int i = Find(lines, key);
  return i < 0 ? "" : lines[static_cast<std::size_t>(i)].substr(key.size() + 1);
}

// Rewrites the key's first line, or deletes it for an empty value; a key that
// is missing goes in before the terminator, the last line.
void Set(Lines& lines, const std::string& key, const std::string& value) {
  const int i = Find(lines, key);
  if (i >= 0 && value.empty()) {
    lines.erase(lines.begin() + i);
  } else if (i >= 0) {
    lines[static_cast<std::size_t>(i)] = key + "=" + value;
  } else if (!value.empty()) {
    lines.insert(lines.end() - 1, key + "=" + value);
  }
}

void ConvertHeader(Lines& header) {
  for (const auto& [key, value] : {std::pair{"TypeSet", "Garmin"}, {"Routing", "N"}, {"POINumberFirst", "N"},
                                   {"POIZipFirst", "N"}, {"MG", "Y"}, {"Numbering", "Y"}}) {
    Set(header, key, value);
  }
}

// An addressed building becomes an address line; every other object goes.
void ConvertObject(Lines& object) {
  const std::string street = Value(object, "StreetDesc");
  const std::string house = Value(object, "HouseNumber");
  if (object[0] != "[POLYGON]" || street.empty() || house.empty()) {
    object.clear();
    return;
  }
  object[0] = "[POLYLINE]";
  Set(object, "Type", "0x13");
  Set(object, "Label", street);
  Set(object, "HouseNumber", house.substr(0, house.find(' ')));
  const std::string number = Value(object, "HouseNumber");
  const std::string digits = number.substr(0, number.find_first_not_of("0123456789"));
  if (digits != number) Set(object, "Label", number + " " + street);
  const std::string places =
      Value(object, "CityName") + "," + Value(object, "RegionName") + "," + Value(object, "CountryName") + ",-1";
  const std::string bounds = digits.empty() ? "0,N,-1,-1" : "0,B," + digits + "," + digits;
  object.insert(object.end() - 1, {"Numbers1=" + bounds + ",N,-1,-1,-1,-1," + places,
                                   "Numbers2=2,N,-1,-1,N,-1,-1,-1,-1," + places});
}

struct Outcome {
  std::string Output;
  bool CutOff = false;  // the input ends inside a section
};

Outcome Convert(std::string_view input) {
  const Lines lines = CutLines(input);
  Outcome outcome;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const bool header = line == "[IMG ID]";
    Lines section = {line};
    if (header || line == "[POI]" || line == "[POLYGON]" || line == "[POLYLINE]") {
      const std::string terminator = header ? "[END-IMG ID]" : "[END]";
      do {
        if (++i == lines.size()) {
          outcome.Output.resize(outcome.Output.size() / 128 * 128);
          outcome.CutOff = true;
          return outcome;
        }
        section.push_back(lines[i]);
      } while (lines[i] != terminator);
      header ? ConvertHeader(section) : ConvertObject(section);
    }
    for (const std::string& kept : section) outcome.Output += kept + "\r\n";
  }
  return outcome;
}

// ---------------------------------------------------------------- the program

[[noreturn]] void Fail(const char* configuration, const char* what) {
  std::fprintf(stderr, "%s: %s\n", configuration, what);
  std::abort();
}

class MemoryFile {
 public:
  MemoryFile() : FDescriptor(memfd_create("ostrak-fuzz", 0)) {
    if (FDescriptor < 0) Fail("set-up", "memfd_create");
  }
  ~MemoryFile() { close(FDescriptor); }
  std::string Name() const { return "/proc/self/fd/" + std::to_string(FDescriptor); }
  void Write(std::string_view bytes) {
    if (pwrite(FDescriptor, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
      Fail("set-up", "pwrite");
    }
  }
  std::string Read() const {
    std::string bytes;
    char buffer[65536];
    ssize_t got;
    for (off_t offset = 0; (got = pread(FDescriptor, buffer, sizeof buffer, offset)) > 0; offset += got) {
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
  }

 private:
  int FDescriptor;
};

// One way of running the program; each must give the reference's bytes.
struct Configuration {
  const char* Name;
  std::size_t TransferSize;
  ostrak::LineScanner Scanner;  // the vector one runs only where the processor has it
};

// The breaks that a scanner finds in bytes, asked for a few at a time.
std::vector<std::uint32_t> BreaksOf(ostrak::LineScanner scanner, const std::string& bytes, std::size_t room) {
  const char* const end = bytes.data() + bytes.size() - ostrak::ScanPadding;
  std::vector<std::uint32_t> found;
  std::uint32_t breaks[16];
  for (const char* at = bytes.data(); at < end;) {
    const ostrak::BreakBatch batch = ostrak::FindBreakBatch(ostrak::FinderOf(scanner), at, end, breaks, room);
    const std::size_t offset = static_cast<std::size_t>(at - bytes.data());
    for (std::size_t i = 0; i < batch.Count; ++i) found.push_back(static_cast<std::uint32_t>(offset + breaks[i]));
    at += batch.Next;
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the tiny read size: reads of 1 to 16 bytes cut lines,
  // CR LF pairs and held sections at every place.
  using ostrak::LineScanner;
  const Configuration Configs[] = {
      {"tiny reads and writes, portable scanner", 1u + data[0] % 16u, LineScanner::Portable},
      {"tiny reads and writes, vector scanner", 1u + data[0] % 16u, LineScanner::Vector},
      {"default reads and writes, portable scanner", ostrak::TLineFile::DefaultTransferSize, LineScanner::Portable},
      {"default reads and writes, vector scanner", ostrak::TLineFile::DefaultTransferSize, LineScanner::Vector},
  };
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  // The two scanners find the same breaks in the bytes as they are.
  const std::string padded = std::string(bytes) + std::string(ostrak::ScanPadding, '\n');
  if (BreaksOf(LineScanner::Portable, padded, 1u + data[0] % 16u) !=
      BreaksOf(LineScanner::Vector, padded, 1u + data[0] % 16u)) {
    Fail("scanners", "the portable and the vector scanner find other breaks");
  }
  const Outcome expected = Convert(bytes);
  MemoryFile input;
  input.Write(bytes);
  for (const Configuration& config : Configs) {
    MemoryFile output;
    std::int32_t code = 0;
    ostrak::UseLineScanner(config.Scanner);
    try {
      ostrak::TOstrakConvertNavitel2Garmin converter(input.Name(), output.Name(), config.TransferSize);
      converter.Run();
    } catch (const ostrak::EInOutError& error) {
      code = error.IoCode;
    } catch (const ostrak::Exception&) {
      Fail(config.Name, "an error other than an I/O error");
    }
    if (code != (expected.CutOff ? 100 : 0)) Fail(config.Name, "the run did not end as the reference did");
    if (output.Read() != expected.Output) Fail(config.Name, "the output differs from the reference's");
  }
  return 0;
}
