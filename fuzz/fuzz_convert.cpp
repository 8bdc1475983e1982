// Feeds arbitrary bytes through the file layer, the section filter and the
// converter, and checks what must hold for every input:
//   - the run succeeds, or fails only because the input ends inside a
//     section (and then exactly when it does);
//   - every output line ends with CR LF;
//   - lines outside sections come out unchanged and in order, and so do the
//     header sections' count;
//   - one address line is written for each addressed building polygon read;
//   - the output is the same at tiny and at normal read and write sizes.
// The expectations come from a plain model of the line and section rules,
// written independently of the program's own code.
#include <sys/mman.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "convert/navitel2garmin.hpp"
#include "mp/errors.hpp"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// The input's lines by the byte rules: LF or CR LF ends a line, a lone CR is
// dropped, Ctrl-Z ends the input, and any byte left after the last
// terminator starts one more line.
std::vector<std::string> CutLines(std::string_view bytes) {
  const std::size_t end = std::min(bytes.find('\x1A'), bytes.size());
  std::vector<std::string> lines;
  std::size_t position = 0;
  while (position < end) {
    std::string line;
    while (position < end) {
      const char byte = bytes[position++];
      if (byte == '\n') break;
      if (byte == '\r') {
        if (position < end && bytes[position] == '\n') {
          ++position;
          break;
        }
        continue;
      }
      line += byte;
    }
    lines.push_back(line);
  }
  return lines;
}

struct Shape {
  std::vector<std::string> Outside;  // lines outside sections, in order
  std::size_t Headers = 0;
  std::size_t Objects = 0;
  std::size_t AddressedPolygons = 0;
  std::size_t PolylineObjects = 0;
  bool CutOff = false;  // the input ends inside a section
};

std::string_view ValueOf(const std::vector<std::string>& section, std::string_view key) {
  for (const std::string& line : section) {
    const std::size_t separator = line.find('=');
    if (separator == std::string::npos || separator != key.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < separator && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(line[i])) == std::tolower(static_cast<unsigned char>(key[i]));
    }
    if (same) return std::string_view(line).substr(separator + 1);
  }
  return {};
}

Shape Walk(const std::vector<std::string>& lines) {
  Shape shape;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const bool header = line == "[IMG ID]";
    const bool object = line == "[POI]" || line == "[POLYGON]" || line == "[POLYLINE]";
    if (!header && !object) {
      shape.Outside.push_back(line);
      continue;
    }
    const std::string terminator = header ? "[END-IMG ID]" : "[END]";
    std::vector<std::string> section = {line};
    while (++i < lines.size() && lines[i] != terminator) section.push_back(lines[i]);
    if (i == lines.size()) {
      shape.CutOff = true;
      return shape;
    }
    if (header) {
      ++shape.Headers;
    } else {
      ++shape.Objects;
      if (line == "[POLYLINE]") ++shape.PolylineObjects;
      if (line == "[POLYGON]" && !ValueOf(section, "StreetDesc").empty() && !ValueOf(section, "HouseNumber").empty()) {
        ++shape.AddressedPolygons;
      }
    }
  }
  return shape;
}

class MemoryFile {
 public:
  MemoryFile() : FDescriptor(memfd_create("ostrak-fuzz", 0)) {
    if (FDescriptor < 0) Fail("memfd_create");
  }
  ~MemoryFile() { close(FDescriptor); }
  std::string Name() const { return "/proc/self/fd/" + std::to_string(FDescriptor); }
  void Write(const std::uint8_t* data, std::size_t size) {
    if (size > 0 && pwrite(FDescriptor, data, size, 0) != static_cast<ssize_t>(size)) Fail("pwrite");
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the size of the reads: tiny ones cut lines and CR LF
  // pairs at every place, large ones are what the program uses.
  const std::size_t transferSize = data[0] < 128 ? 1 + data[0] % 16 : ostrak::TLineFile::DefaultTransferSize;
  ++data;
  --size;

  MemoryFile input;
  input.Write(data, size);
  const Shape expected = Walk(CutLines({reinterpret_cast<const char*>(data), size}));
  // The same bytes must come out whatever the size of the reads and writes:
  // held sections move and buffers fill at other places.
  std::string written;
  for (const std::size_t transfer : {transferSize, ostrak::TLineFile::DefaultTransferSize}) {
    MemoryFile output;
    try {
      ostrak::TOstrakConvertNavitel2Garmin converter(input.Name(), output.Name(), transfer);
      converter.Run();
    } catch (const ostrak::EInOutError& error) {
      if (error.IoCode != 100 || !expected.CutOff) Fail("unexpected I/O error");
      return 0;
    } catch (const ostrak::Exception&) {
      Fail("unexpected error");
    }
    if (expected.CutOff) Fail("a cut-off section was not reported");
    if (transfer == transferSize) {
      written = output.Read();
    } else if (output.Read() != written) {
      Fail("the output depends on the size of the reads");
    }
  }

  for (std::size_t i = 0; i < written.size(); ++i) {
    const bool lineFeedAfterCr = written[i] == '\n' && i > 0 && written[i - 1] == '\r';
    const bool crBeforeLineFeed = written[i] == '\r' && i + 1 < written.size() && written[i + 1] == '\n';
    if ((written[i] == '\n' && !lineFeedAfterCr) || (written[i] == '\r' && !crBeforeLineFeed)) {
      Fail("a line of the output does not end with CR LF");
    }
  }
  if (!written.empty() && written.substr(written.size() - 2) != "\r\n") Fail("output does not end with CR LF");

  const Shape result = Walk(CutLines(written));
  if (result.CutOff) Fail("the output holds a cut-off section");
  if (result.Outside != expected.Outside) Fail("lines outside sections changed");
  if (result.Headers != expected.Headers) Fail("header sections lost or added");
  if (result.Objects != expected.AddressedPolygons || result.PolylineObjects != result.Objects) {
    Fail("address lines do not match the addressed buildings");
  }
  return 0;
}
