#include "mp/line_list.hpp"

#include <algorithm>
#include <cstring>
#include <new>

#include "mp/byte_copy.hpp"
#include "mp/errors.hpp"
#include "mp/line_scan.hpp"

namespace ostrak {

namespace {

// Most sections fit in one chunk; a longer line gets a chunk of its own size.
constexpr std::size_t ChunkSize = 64 * 1024;

bool AllEmpty(std::span<const std::string_view> pieces) noexcept {
  return std::all_of(pieces.begin(), pieces.end(), [](std::string_view piece) { return piece.empty(); });
}

std::size_t LengthOf(std::span<const std::string_view> pieces) noexcept {
  std::size_t length = 0;
  for (const std::string_view piece : pieces) length += piece.size();
  return length;
}

// True when line reads key=value, the value given as pieces.
bool ReadsAs(std::string_view line, std::string_view key, std::span<const std::string_view> value) noexcept {
  if (line.size() != key.size() + 1 + LengthOf(value) || !SameBytes(line.data(), key.data(), key.size()) ||
      line[key.size()] != '=') {
    return false;
  }
  const char* at = line.data() + key.size() + 1;
  for (const std::string_view piece : value) {
    // A value taken from this very line is the same bytes already.
    if (piece.data() != at && !SameBytes(at, piece.data(), piece.size())) return false;
    at += piece.size();
  }
  return true;
}

}  // namespace

void LineList::RaiseTooManyLines() { throw std::bad_alloc(); }

void LineList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
}

std::string_view LineList::Get(int index) const {
  CheckIndex(index);
  const Line& line = FLines[static_cast<std::size_t>(index)];
  return {line.Text, line.Length};
}

char* LineList::AllocateInNextChunk(std::size_t length) {
  // Move on to the next chunk, or to a new one; a chunk too small for the
  // line is replaced by a larger one.
  const std::size_t next = FChunk < FChunks.size() && FChunkNext != FChunks[FChunk].Bytes.get() ? FChunk + 1 : FChunk;
  const std::size_t size = std::max(ChunkSize, length);
  if (next == FChunks.size()) {
    FChunks.push_back({std::make_unique<char[]>(size + ScanPadding), size});
  } else if (FChunks[next].Size < length) {
    FChunks[next] = {std::make_unique<char[]>(size + ScanPadding), size};
  }
  FChunk = next;
  FChunkNext = FChunks[next].Bytes.get();
  FChunkRoom = FChunks[next].Size;
  char* const text = FChunkNext;
  FChunkNext += length;
  FChunkRoom -= length;
  return text;
}

Line LineList::Store(std::span<const std::string_view> pieces) {
  const std::size_t length = LengthOf(pieces);
  char* const text = Allocate(length + 2);
  EndLine(CopyPieces(text, pieces));
  return {text, length, Line::UnknownSeparator, true, false};
}

void LineList::MoveViews(std::ptrdiff_t by) noexcept {
  // The old bytes may be gone: only the addresses are computed with.
  for (Line& line : FLines) {
    if (line.IsView) line.Text = reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(line.Text) + by);
  }
}

void LineList::Put(int index, std::string_view line) {
  CheckIndex(index);
  FLines[static_cast<std::size_t>(index)] = Store({&line, 1});
  ++FVersion;
}

void LineList::PutConstant(int index, std::string_view line, bool crLfFollows) {
  CheckIndex(index);
  FLines[static_cast<std::size_t>(index)] = {line.data(), line.size(), Line::UnknownSeparator, crLfFollows, false};
  ++FVersion;
}

int LineList::Add(LinePieces pieces) {
  if (FLines.size() >= MaxLines) RaiseTooManyLines();
  FLines.push_back(Store(pieces));
  ++FVersion;
  return Count() - 1;
}

void LineList::PutValue(int index, std::string_view key, LinePieces value) {
  CheckIndex(index);
  Line& line = FLines[static_cast<std::size_t>(index)];
  if (ReadsAs({line.Text, line.Length}, key, value)) return;
  line = StoreValue(key, value);
  ++FVersion;
}

void LineList::Delete(int index) {
  CheckIndex(index);
  FLines.erase(FLines.begin() + index);
  ++FVersion;
}

void LineList::Clear() noexcept {
  FLines.clear();
  FChunk = 0;
  FChunkNext = FChunks.empty() ? nullptr : FChunks[0].Bytes.get();
  FChunkRoom = FChunks.empty() ? 0 : FChunks[0].Size;
  ++FVersion;
}

int LineList::TerminatorIndex() const {
  const int last = Count() - 1;
  if (last < 0) RaiseListIndexError(last);
  return last;
}

LineList::Edit LineList::SetValueAt(int index, std::string_view key, LinePieces value, int newAt) {
  if (index >= 0) {
    if (AllEmpty(value)) {
      Delete(index);
      return Edit::Deleted;
    }
    PutValue(index, key, value);
    return Edit::Rewritten;
  }
  if (AllEmpty(value)) return Edit::None;
  InsertValue(newAt, key, value);
  return Edit::Inserted;
}

}  // namespace ostrak
