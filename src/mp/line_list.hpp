// LineList: the lines of one buffered section, with Key=Value access.
//
// The key of a line is the text before its first "=", the value everything
// after it; neither is trimmed. A line without "=" has no key. Keys are
// matched ignoring letter case.
//
// The text of the lines lives in storage that is kept from section to
// section, so that refilling the list for the next section allocates nothing
// once the largest section has been seen. A line's text never moves: a view
// returned by Get stays valid until the list is cleared, whatever is added,
// put or deleted meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "mp/byte_copy.hpp"

namespace ostrak {

// A line given as consecutive pieces, stored as one line without first being
// joined elsewhere.
using LinePieces = std::initializer_list<std::string_view>;

class LineList {
 public:
  LineList() = default;
  LineList(const LineList&) = delete;
  LineList& operator=(const LineList&) = delete;

  int Count() const noexcept { return static_cast<int>(FLines.size()); }
  // Get, Put and Delete raise EStringListError for an index outside 0..Count-1.
  std::string_view Get(int index) const;
  void Put(int index, std::string_view line);
  int Add(std::string_view line) {
    // A line that fits in the text storage at hand is stored here and now.
    if (line.size() <= FChunkRoom && FLines.size() < FLines.capacity() && FLines.size() < MaxLines) [[likely]] {
      CopyBytes(FChunkNext, line.data(), line.size());
      FLines.push_back({FChunkNext, line.size(), UnknownSeparator, 0});
      FChunkNext += line.size();
      FChunkRoom -= line.size();
      FLookupValid = false;
      return static_cast<int>(FLines.size()) - 1;
    }
    return Add(LinePieces{line});
  }
  int Add(LinePieces pieces);
  // Inserts the line key=value before index (0..Count); the lines from index
  // on move down by one.
  void InsertValue(int index, std::string_view key, LinePieces value);
  void Delete(int index);
  void Clear() noexcept;

  // The index of the first line whose key matches, or -1.
  int IndexOfName(std::string_view key) const;
  // The value of the first line whose key matches; empty when there is none.
  std::string_view GetValue(std::string_view key) const;
  // Rewrites the first matching line as key=value in place, or appends it;
  // an empty value deletes the matching line instead.
  void SetValue(std::string_view key, std::string_view value);
  void SetValue(std::string_view key, LinePieces value);

 private:
  // Indices are int; a list that long is beyond any memory.
  static constexpr std::size_t MaxLines = 0x7FFFFFFF;
  static constexpr std::ptrdiff_t NoSeparator = -1;
  static constexpr std::ptrdiff_t UnknownSeparator = -2;
  struct Line {
    const char* Text;
    std::size_t Length;
    // Position of the first "=", NoSeparator, or UnknownSeparator until a key
    // lookup first needs it: most buffered sections are never searched.
    mutable std::ptrdiff_t Separator;
    mutable std::uint32_t Signature;  // of the key, once the separator is known
  };
  // Finds the separator and key signature of a line.
  static void FindKey(const Line& line) noexcept;

  struct Chunk {
    std::unique_ptr<char[]> Bytes;
    std::size_t Size;
  };

  void CheckIndex(int index) const;
  // Copies the pieces of first, then of second, into the text storage as one
  // new line.
  Line Store(std::span<const std::string_view> first, std::span<const std::string_view> second = {});
  char* Allocate(std::size_t length);
  void SetValueFromPieces(std::string_view key, std::span<const std::string_view> value);

  std::vector<Line> FLines;
  std::vector<Chunk> FChunks;  // text storage, reused after Clear
  std::size_t FChunk = 0;      // the chunk being filled
  char* FChunkNext = nullptr;  // its first free byte
  std::size_t FChunkRoom = 0;  // and the free bytes from there

  // The last key lookup, good until the list changes: an edit of a key
  // usually looks the key up twice in a row.
  static constexpr std::size_t LookupKeyCapacity = 32;
  mutable char FLookupKey[LookupKeyCapacity];
  mutable std::size_t FLookupKeyLength = 0;
  mutable int FLookupIndex = -1;
  mutable bool FLookupValid = false;
};

}  // namespace ostrak
