#include "mp/line_list.hpp"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "mp/errors.hpp"
#include "mp/platform/key_compare.hpp"

namespace ostrak {

namespace {

// Most sections fit in one chunk; a longer line gets a chunk of its own size.
constexpr std::size_t ChunkSize = 64 * 1024;

}  // namespace

void LineList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
}

std::string_view LineList::Get(int index) const {
  CheckIndex(index);
  const Line& line = FLines[static_cast<std::size_t>(index)];
  return {line.Text, line.Length};
}

char* LineList::Allocate(std::size_t length) {
  if (FChunk < FChunks.size() && FChunks[FChunk].Size - FChunkUsed >= length) {
    char* text = FChunks[FChunk].Bytes.get() + FChunkUsed;
    FChunkUsed += length;
    return text;
  }
  const std::size_t next = FChunk < FChunks.size() && FChunkUsed > 0 ? FChunk + 1 : FChunk;
  const std::size_t size = std::max(ChunkSize, length);
  if (next == FChunks.size()) {
    FChunks.push_back({std::make_unique_for_overwrite<char[]>(size), size});
  } else if (FChunks[next].Size < length) {
    FChunks[next] = {std::make_unique_for_overwrite<char[]>(size), size};
  }
  FChunk = next;
  FChunkUsed = length;
  return FChunks[next].Bytes.get();
}

LineList::Line LineList::Store(std::span<const std::string_view> first, std::span<const std::string_view> second) {
  std::size_t length = 0;
  for (const std::string_view piece : first) length += piece.size();
  for (const std::string_view piece : second) length += piece.size();
  if (length == 0) return {"", 0, -1};
  // Text already stored never moves, so a piece may come from this very list.
  char* const text = Allocate(length);
  char* out = text;
  for (const auto pieces : {first, second}) {
    for (const std::string_view piece : pieces) {
      if (!piece.empty()) std::memcpy(out, piece.data(), piece.size());
      out += piece.size();
    }
  }
  const void* separator = std::memchr(text, '=', length);
  return {text, length, separator ? static_cast<const char*>(separator) - text : -1};
}

void LineList::Put(int index, std::string_view line) {
  CheckIndex(index);
  FLines[static_cast<std::size_t>(index)] = Store({&line, 1});
}

int LineList::Add(std::string_view line) { return Add(LinePieces{line}); }

int LineList::Add(LinePieces pieces) {
  // Indices are int; a list that long is beyond any memory.
  if (FLines.size() >= static_cast<std::size_t>(INT_MAX)) throw std::bad_alloc();
  FLines.push_back(Store(pieces));
  return Count() - 1;
}

void LineList::Delete(int index) {
  CheckIndex(index);
  FLines.erase(FLines.begin() + index);
}

void LineList::Clear() noexcept {
  FLines.clear();
  FChunk = 0;
  FChunkUsed = 0;
}

int LineList::IndexOfName(std::string_view key) const {
  for (std::size_t i = 0; i < FLines.size(); ++i) {
    const Line& line = FLines[i];
    if (line.Separator >= 0 &&
        platform::SameKey({line.Text, static_cast<std::size_t>(line.Separator)}, key)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string_view LineList::GetValue(std::string_view key) const {
  const int index = IndexOfName(key);
  if (index < 0) return {};
  // The value begins after as many bytes as the requested key has, and its "=".
  const std::string_view line = Get(index);
  return line.substr(std::min(line.size(), key.size() + 1));
}

void LineList::SetValue(std::string_view key, std::string_view value) { SetValueFromPieces(key, {&value, 1}); }

void LineList::SetValue(std::string_view key, LinePieces value) { SetValueFromPieces(key, value); }

void LineList::SetValueFromPieces(std::string_view key, std::span<const std::string_view> value) {
  const bool empty = std::all_of(value.begin(), value.end(), [](std::string_view piece) { return piece.empty(); });
  int index = IndexOfName(key);
  if (empty) {
    if (index >= 0) Delete(index);
    return;
  }
  if (index < 0) index = Add(std::string_view{});
  // The line takes the key as the caller spells it.
  const std::string_view head[] = {key, "="};
  FLines[static_cast<std::size_t>(index)] = Store(head, value);
}

}  // namespace ostrak
