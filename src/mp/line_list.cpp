#include "mp/line_list.hpp"

#include <algorithm>
#include <cstring>
#include <new>

#include "mp/errors.hpp"
#include "mp/line_scan.hpp"
#include "mp/platform/key_compare.hpp"

namespace ostrak {

namespace {

// Most sections fit in one chunk; a longer line gets a chunk of its own size.
constexpr std::size_t ChunkSize = 64 * 1024;
// Bytes behind the end of a chunk, so that 16 bytes can be read from the
// start of any line in it.
constexpr std::size_t ChunkPadding = 16;

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
  if (length > FChunkRoom) {
    // Move on to the next chunk, or to a new one; a chunk too small for the
    // line is replaced by a larger one.
    const std::size_t next = FChunk < FChunks.size() && FChunkNext != FChunks[FChunk].Bytes.get() ? FChunk + 1 : FChunk;
    const std::size_t size = std::max(ChunkSize, length);
    if (next == FChunks.size()) {
      FChunks.push_back({std::make_unique<char[]>(size + ChunkPadding), size});
    } else if (FChunks[next].Size < length) {
      FChunks[next] = {std::make_unique<char[]>(size + ChunkPadding), size};
    }
    FChunk = next;
    FChunkNext = FChunks[next].Bytes.get();
    FChunkRoom = FChunks[next].Size;
  }
  char* const text = FChunkNext;
  FChunkNext += length;
  FChunkRoom -= length;
  return text;
}

LineList::Line LineList::Store(std::span<const std::string_view> first, std::span<const std::string_view> second) {
  std::size_t length = 0;
  for (const std::string_view piece : first) length += piece.size();
  for (const std::string_view piece : second) length += piece.size();
  if (length == 0) return {"", 0, NoSeparator, 0};
  // Text already stored never moves, so a piece may come from this very list.
  char* const text = Allocate(length);
  char* out = text;
  for (const auto pieces : {first, second}) {
    for (const std::string_view piece : pieces) {
      CopyBytes(out, piece.data(), piece.size());
      out += piece.size();
    }
  }
  return {text, length, UnknownSeparator, 0};
}

void LineList::Put(int index, std::string_view line) {
  CheckIndex(index);
  FLookupValid = false;
  FLines[static_cast<std::size_t>(index)] = Store({&line, 1});
}


int LineList::Add(LinePieces pieces) {
  if (FLines.size() >= MaxLines) throw std::bad_alloc();
  const Line line = Store(pieces);
  FLines.push_back(line);
  FLookupValid = false;
  return Count() - 1;
}

void LineList::InsertValue(int index, std::string_view key, LinePieces value) {
  if (index < 0 || index > Count()) RaiseListIndexError(index);
  if (FLines.size() >= MaxLines) throw std::bad_alloc();
  const std::string_view head[] = {key, "="};
  const Line line = Store(head, value);
  FLines.insert(FLines.begin() + index, line);
  FLookupValid = false;
}

void LineList::Delete(int index) {
  CheckIndex(index);
  FLookupValid = false;
  FLines.erase(FLines.begin() + index);
}

void LineList::Clear() noexcept {
  FLines.clear();
  FLookupValid = false;
  FChunk = 0;
  FChunkNext = FChunks.empty() ? nullptr : FChunks[0].Bytes.get();
  FChunkRoom = FChunks.empty() ? 0 : FChunks[0].Size;
}

void LineList::FindKey(const Line& line) noexcept {
  // Keys are short: most end within the first 16 bytes, which can be looked
  // at in one go since every chunk has room behind its last line.
  std::size_t position = line.Length == 0 ? 0 : FindByteIn16(line.Text, '=');
  if (position >= 16 && line.Length > 16) {
    const void* separator = std::memchr(line.Text + 16, '=', line.Length - 16);
    position = separator ? static_cast<std::size_t>(static_cast<const char*>(separator) - line.Text) : line.Length;
  }
  if (position < line.Length) {
    line.Separator = static_cast<std::ptrdiff_t>(position);
    line.Signature = platform::KeySignature({line.Text, position});
  } else {
    line.Separator = NoSeparator;
  }
}

int LineList::IndexOfName(std::string_view key) const {
  if (FLookupValid && key.size() == FLookupKeyLength && std::memcmp(key.data(), FLookupKey, key.size()) == 0) {
    return FLookupIndex;
  }
  const std::uint32_t signature = platform::KeySignature(key);
  int found = -1;
  for (std::size_t i = 0; i < FLines.size(); ++i) {
    const Line& line = FLines[i];
    if (line.Separator == UnknownSeparator) FindKey(line);
    if (line.Signature == signature && line.Separator >= 0 &&
        platform::SameKey({line.Text, static_cast<std::size_t>(line.Separator)}, key)) {
      found = static_cast<int>(i);
      break;
    }
  }
  if (key.size() <= LookupKeyCapacity) {
    std::memcpy(FLookupKey, key.data(), key.size());
    FLookupKeyLength = key.size();
    FLookupIndex = found;
    FLookupValid = true;
  }
  return found;
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
  FLookupValid = false;
  FLines[static_cast<std::size_t>(index)] = Store(head, value);
}

}  // namespace ostrak
