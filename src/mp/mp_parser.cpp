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
    // A line that lies whole in the bytes read so far is taken at once: the
    // input is not at its end then, and nothing can fail.
    std::string_view line;
    if (!FInput.ReadBufferedLine(line)) {
      const bool atEnd = FInput.AtEnd();
      CheckIO();
      if (atEnd) break;
      line = FInput.ReadTextLine();
      CheckIO();
    }
    // A buffered section is held in the input buffer, and its lines are
    // views of it, until it has been written.
    if (line == HeaderStart) {
      FHeader.Clear();
      FInput.HoldFrom(line);
      FHeader.AddView(line, FInput.EndedWithCrLf());
      ReadHeader();
      ProcessHeader();
      WriteHeader();
      FInput.ReleaseHold();
    } else if (IsObjectStart(line)) {
      FObject.FLines.Clear();
      FInput.HoldFrom(line);
      FObject.FLines.AddView(line, FInput.EndedWithCrLf());
      ReadObject();
      ProcessObject();
      WriteObject();
      FInput.ReleaseHold();
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
  const char* held = FInput.HeldStart();
  std::string_view line;
  do {
    if (!FInput.ReadBufferedLine(line)) {
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
      if (FInput.HeldStart() != held) {
        // Reading made room by moving the held bytes, which end where the
        // last line so far ends.
        const std::string_view last = section.Get(section.Count() - 1);
        section.MoveViews(held, static_cast<std::size_t>(last.data() + last.size() - held), FInput.HeldStart());
        held = FInput.HeldStart();
      }
    }
    section.AddView(line, FInput.EndedWithCrLf());
  } while (line != terminator);
}

void TMPParser::WriteSection(const LineList& section) {
  // Lines that come with their CR LF and lie one after another, most of all
  // the unchanged lines of the input, are written in one go.
  section.WriteTo(
      [this](std::string_view lines) {
        FOutput.WriteTextLines(lines);
        CheckIO();
      },
      [this](std::string_view line) {
        FOutput.WriteTextLine(line);
        CheckIO();
      });
}

}  // namespace ostrak
