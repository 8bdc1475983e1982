#include "mp/mp_parser.hpp"

#include "mp/byte_copy.hpp"
#include "mp/io_result.hpp"

namespace ostrak {

namespace {

// Without its terminator a section would never end; a cut-off input is an
// error rather than a half-written section.
[[noreturn]] void RaiseCutOff() {
  SetInOutResult(IoCode::ReadBeyondEnd);
  CheckIO();
  __builtin_unreachable();
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
  for (std::string_view line; TakeLine(line, nullptr);) {
    if (SameText(line, HeaderStart)) {
      StartSection(FHeader, line);
      ReadHeader();
      ProcessHeader();
      WriteHeader();
      FInput.ReleaseHold();
    } else if (const TMPObjectKind kind = ObjectKindOf(line); kind != okUnknown) {
      if (!WantsObject(kind)) {
        SkipObject();
        continue;
      }
      StartSection(FObject.FLines, line);
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

bool TMPParser::TakeLine(std::string_view& line, LineList* held) {
  std::ptrdiff_t heldMovedBy = 0;
  const bool taken = FInput.ReadLine(line, heldMovedBy);
  CheckIO();
  if (heldMovedBy != 0 && held != nullptr) held->MoveViews(heldMovedBy);
  return taken;
}

void TMPParser::StartSection(LineList& section, std::string_view line) {
  // A buffered section stays in the input buffer, and its lines are views
  // of it, until it has been written.
  section.Clear();
  FInput.HoldFrom(line);
  section.AddView(line, FInput.EndedWithCrLf());
}

void TMPParser::ReadHeader() { ReadSection(FHeader, HeaderEnd); }

void TMPParser::ReadObject() { ReadSection(FObject.FLines, ObjectEnd); }

void TMPParser::WriteHeader() { WriteSection(FHeader); }

void TMPParser::WriteObject() { WriteSection(FObject.FLines); }

void TMPParser::ReadSection(LineList& section, std::string_view terminator) {
  std::string_view line;
  do {
    if (!TakeLine(line, &section)) RaiseCutOff();
    section.AddView(line, FInput.EndedWithCrLf());
  } while (!SameText(line, terminator));
}

void TMPParser::SkipObject() {
  std::string_view line;
  do {
    if (!TakeLine(line, nullptr)) RaiseCutOff();
  } while (!SameText(line, ObjectEnd));
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
