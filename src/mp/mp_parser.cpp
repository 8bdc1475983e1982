#include "mp/mp_parser.hpp"

#include "mp/io_result.hpp"

namespace ostrak {

namespace {

constexpr std::string_view HeaderStart = "[IMG ID]";
constexpr std::string_view HeaderEnd = "[END-IMG ID]";
constexpr std::string_view ObjectEnd = "[END]";

bool IsObjectStart(std::string_view line) noexcept {
  return line == ObjectHeaderLine(okPolygon) || line == ObjectHeaderLine(okPolyline) ||
         line == ObjectHeaderLine(okPOI);
}

}  // namespace

TMPParser::TMPParser(std::string_view InputName, std::string_view OutputName, std::size_t transferSize)
    : FInput(transferSize), FOutput(transferSize) {
  FInput.Bind(InputName);
  FOutput.Bind(OutputName);
  FInput.OpenRead();
  CheckIO();
  FOutput.OpenWrite();
  CheckIO();
}

void TMPParser::Run() {
  for (;;) {
    const bool atEnd = FInput.AtEnd();
    CheckIO();
    if (atEnd) break;
    const std::string_view line = FInput.ReadTextLine();
    CheckIO();
    if (line == HeaderStart) {
      FHeader.Clear();
      FHeader.Add(line);
      ReadHeader();
      ProcessHeader();
      WriteHeader();
    } else if (IsObjectStart(line)) {
      FObject.FLines.Clear();
      FObject.FLines.Add(line);
      ReadObject();
      ProcessObject();
      WriteObject();
    } else {
      FOutput.WriteTextLine(line);
      CheckIO();
    }
  }
  FInput.CloseText();
  CheckIO();
  FOutput.CloseText();
  CheckIO();
}

void TMPParser::ReadHeader() { ReadSection(FHeader, HeaderEnd); }

void TMPParser::ReadObject() { ReadSection(FObject.FLines, ObjectEnd); }

void TMPParser::WriteHeader() { WriteSection(FHeader); }

void TMPParser::WriteObject() { WriteSection(FObject.FLines); }

void TMPParser::ReadSection(LineList& section, std::string_view terminator) {
  std::string_view line;
  do {
    // Without its terminator a section would never end; a cut-off input is
    // an error rather than a half-written section.
    const bool atEnd = FInput.AtEnd();
    CheckIO();
    if (atEnd) {
      SetInOutResult(IoCode::ReadBeyondEnd);
      CheckIO();
    }
    line = FInput.ReadTextLine();
    CheckIO();
    section.Add(line);
  } while (line != terminator);
}

void TMPParser::WriteSection(const LineList& section) {
  for (int i = 0; i < section.Count(); ++i) {
    FOutput.WriteTextLine(section.Get(i));
    CheckIO();
  }
}

}  // namespace ostrak
