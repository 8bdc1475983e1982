#include "split/group_writer.hpp"

#include <string>

namespace ostrak::split {

namespace {

// Lines outside sections are handed to the tiles in runs of at most this many.
constexpr int RunLines = 1024;

}  // namespace

void TGroupWriter::AddToRun(TLineFile& input, std::string_view line) {
  if (FRun.Count() == 0) input.HoldFrom(line);
  FRun.AddView(line, input.EndedWithCrLf());
  if (FRun.Count() >= RunLines) WriteRun(input);
}

void TGroupWriter::WriteRun(TLineFile& input) {
  if (FRun.Count() == 0) return;
  FPieces.clear();
  FRun.WriteTo([&](std::string_view lines) { FPieces.emplace_back(lines, true); },
               [&](std::string_view line) { FPieces.emplace_back(line, false); });
  for (std::uint32_t tile = FFirst; tile < FEnd; ++tile) {
    TLineFile& file = FFiles.Tile(tile);
    for (const auto& [bytes, withCrLf] : FPieces) {
      withCrLf ? file.WriteTextLines(bytes) : file.WriteTextLine(bytes);
      FFiles.CheckWrite(tile);
    }
  }
  FRun.Clear();
  input.ReleaseHold();
}

void TGroupWriter::WriteHeader(const LineList& header) {
  const int id = header.IndexOfName("ID");
  const std::string key = id >= 0 ? std::string(header.Get(id).substr(0, header.Get(id).find('='))) : "ID";
  const int idAt = id >= 0 ? id : header.Count() - 1;
  for (std::uint32_t tile = FFirst; tile < FEnd; ++tile) {
    TLineFile& file = FFiles.Tile(tile);
    for (int i = 0; i < header.Count(); ++i) {
      if (i == idAt) {
        file.WriteTextLine(key + "=" + std::to_string(FFiles.MapName(tile)));
        FFiles.CheckWrite(tile);
      }
      if (i != id) {
        file.WriteTextLine(header.Get(i));
        FFiles.CheckWrite(tile);
      }
    }
  }
}

void TGroupWriter::WriteObject(const LineList& object, std::uint32_t tile) {
  TLineFile& file = FFiles.Tile(tile);
  object.WriteTo(
      [&](std::string_view lines) {
        file.WriteTextLines(lines);
        FFiles.CheckWrite(tile);
      },
      [&](std::string_view line) {
        file.WriteTextLine(line);
        FFiles.CheckWrite(tile);
      });
}

}  // namespace ostrak::split
