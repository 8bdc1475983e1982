#include "mp/line_list.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "mp/byte_copy.hpp"
#include "mp/errors.hpp"
#include "mp/line_scan.hpp"
#include "mp/platform/key_compare.hpp"

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

LineList::Line LineList::Store(std::span<const std::string_view> value) { return StoreValue({}, value, false); }

void LineList::MoveViews(std::ptrdiff_t by) noexcept {
  // The old bytes may be gone: only the addresses are computed with.
  for (Line& line : FLines) {
    if (line.Moves) line.Text = reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(line.Text) + by);
  }
}

void LineList::Put(int index, std::string_view line) {
  CheckIndex(index);
  FLines[static_cast<std::size_t>(index)] = Store({&line, 1});
  ++FVersion;
}

void LineList::PutConstant(int index, std::string_view line, bool crLfFollows) {
  CheckIndex(index);
  FLines[static_cast<std::size_t>(index)] = {line.data(), line.size(), UnknownSeparator, crLfFollows, false};
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

bool LineList::SameKey(const Line& line, std::string_view key) noexcept {
  // Most lines spell a key exactly as it is asked for: that needs no call.
  const std::string_view lineKey{line.Text, static_cast<std::size_t>(line.Separator)};
  if (lineKey.size() == key.size() && SameBytes(lineKey.data(), key.data(), key.size())) return true;
  return !(platform::MatchRules.SameLength && lineKey.size() != key.size()) && platform::SameKey(lineKey, key);
}

bool LineList::FindKey(const Line& line) noexcept {
  if (line.Separator == UnknownSeparator) {
    // Keys are short: most end within the first 16 bytes, which can be
    // looked at in one go since every buffer has room behind its last line.
    std::size_t position = line.Length == 0 ? 0 : FindByteIn16(line.Text, '=');
    if (position >= 16 && line.Length > 16) {
      const void* separator = std::memchr(line.Text + 16, '=', line.Length - 16);
      position = separator ? static_cast<std::size_t>(static_cast<const char*>(separator) - line.Text) : line.Length;
    }
    line.Separator = position < line.Length ? static_cast<std::ptrdiff_t>(position) : NoSeparator;
  }
  return line.Separator >= 0;
}

int LineList::IndexOfName(std::string_view key) const {
  for (std::size_t i = 0; i < FLines.size(); ++i) {
    if (FindKey(FLines[i]) && SameKey(FLines[i], key)) return static_cast<int>(i);
  }
  return -1;
}

LineList::KeyTable::KeyTable(std::span<const std::string_view> keys) noexcept
    : FKeys(keys.first(std::min(keys.size(), MaxKeys))) {
  // Equal keys begin with bytes that map alike; an empty key may be held by
  // a line that begins with its "=".
  const unsigned char* const first = platform::MatchRules.FirstByte;
  for (std::size_t k = 0; k < FKeys.size(); ++k) {
    for (unsigned byte = 0; byte < 256; ++byte) {
      if (FKeys[k].empty() || first[byte] == first[static_cast<unsigned char>(FKeys[k].front())]) {
        FCandidates[byte] |= static_cast<std::uint16_t>(1u << k);
      }
    }
    if (FKeys[k].size() > PatternSize) continue;
    unsigned char lowered[PatternSize] = {};
    unsigned char caseBits[PatternSize] = {};
    unsigned char used[PatternSize] = {};
    for (std::size_t i = 0; i < FKeys[k].size(); ++i) {
      const unsigned char byte = static_cast<unsigned char>(FKeys[k][i]);
      const bool letter = (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z';
      lowered[i] = letter ? byte | 0x20 : byte;
      caseBits[i] = letter ? 0x20 : 0;
      used[i] = 0xFF;
    }
    std::memcpy(FPatterns[k].Lowered, lowered, PatternSize);
    std::memcpy(FPatterns[k].CaseBits, caseBits, PatternSize);
    std::memcpy(FPatterns[k].Used, used, PatternSize);
  }
}

bool LineList::BeginsWithKey(const Line& line, std::string_view key, const KeyTable::Pattern& pattern) noexcept {
  // A line holds the key when its first "=" follows bytes that match the
  // key's: those have no "=" of their own, as the key has none.
  if (line.Length <= key.size() || line.Text[key.size()] != '=') return false;
  std::uint64_t words[2];
  std::memcpy(words, line.Text, sizeof words);
  return ((words[0] | pattern.CaseBits[0]) & pattern.Used[0]) == pattern.Lowered[0] &&
         ((words[1] | pattern.CaseBits[1]) & pattern.Used[1]) == pattern.Lowered[1];
}

void LineList::IndexOfNames(const KeyTable& keys, std::span<int> indices) const {
  std::fill(indices.begin(), indices.end(), -1);
  unsigned missing = (1u << keys.FKeys.size()) - 1;  // a bit for each key not found yet
  for (std::size_t i = 0; i < FLines.size() && missing != 0; ++i) {
    const Line& line = FLines[i];
    if (line.Length == 0) continue;
    unsigned candidates = keys.FCandidates[static_cast<unsigned char>(line.Text[0])] & missing;
    // Where keys match but for the case of ASCII letters, a short key is
    // matched against the line's first bytes without looking for its "=".
    if (candidates == 0 || !(platform::MatchRules.AsciiCaseOnly || FindKey(line))) continue;
    do {
      const unsigned k = static_cast<unsigned>(std::countr_zero(candidates));
      candidates &= candidates - 1;
      const std::string_view key = keys.FKeys[k];
      const bool matches = platform::MatchRules.AsciiCaseOnly && key.size() <= KeyTable::PatternSize
                               ? BeginsWithKey(line, key, keys.FPatterns[k])
                               : FindKey(line) && SameKey(line, key);
      if (matches) {
        indices[k] = static_cast<int>(i);
        missing &= ~(1u << k);
      }
    } while (candidates != 0);
  }
}

std::string_view LineList::GetValue(std::string_view key) const {
  const int index = IndexOfName(key);
  if (index < 0) return {};
  // The value begins after as many bytes as the requested key has, and its "=".
  const std::string_view line = Get(index);
  return line.substr(std::min(line.size(), key.size() + 1));
}

void LineList::SetValue(std::string_view key, LinePieces value) {
  const int index = IndexOfName(key);
  if (AllEmpty(value)) {
    if (index >= 0) Delete(index);
    return;
  }
  // The line takes the key as the caller spells it.
  if (index >= 0) {
    PutValue(index, key, value);
  } else {
    InsertValue(Count(), key, value);
  }
}

}  // namespace ostrak
