// LineList: the lines of one buffered section, with Key=Value access.
//
// The key of a line is the text before its first "=", the value everything
// after it; neither is trimmed. A line without "=" has no key. Keys are
// matched ignoring letter case.
//
// A line is either a view of bytes that live elsewhere (the input buffer that
// holds the section being filtered), or text of the list's own, in storage
// that is kept from section to section, so that refilling the list for the
// next section allocates nothing once the largest section has been seen. The
// list's own text never moves: a view returned by Get stays valid until the
// list is cleared, whatever is added, put or deleted meanwhile.
//
// Every line of the list's own is stored with CR LF behind it, and so is
// every view that came with one, so that lines that lie one after another in
// memory are written together (WriteTo).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "mp/byte_copy.hpp"
#include "mp/errors.hpp"

namespace ostrak {

// A line given as consecutive pieces, stored as one line without first being
// joined elsewhere.
using LinePieces = std::initializer_list<std::string_view>;

class LineList {
 public:
  // Keys that are looked up together (IndexOfNames), each distinct from the
  // others and without "=", prepared once: which of them a line may hold, by
  // its first byte, and where keys match but for the case of ASCII letters,
  // the bytes a line must begin with.
  class KeyTable {
   public:
    static constexpr std::size_t MaxKeys = 16;
    // keys must outlive the table; at most MaxKeys of them.
    explicit KeyTable(std::span<const std::string_view> keys) noexcept;

   private:
    friend class LineList;
    // A key of up to 16 bytes, as two words: its bytes with letters in lower
    // case, the case bit of its letters, and which bytes it has.
    struct Pattern {
      std::uint64_t Lowered[2];
      std::uint64_t CaseBits[2];
      std::uint64_t Used[2];
    };
    static constexpr std::size_t PatternSize = 16;
    std::span<const std::string_view> FKeys;
    std::uint16_t FCandidates[256] = {};  // a bit for each key
    Pattern FPatterns[MaxKeys] = {};
  };

  LineList() = default;
  LineList(const LineList&) = delete;
  LineList& operator=(const LineList&) = delete;

  int Count() const noexcept { return static_cast<int>(FLines.size()); }
  // Get, Put, PutValue and Delete raise EStringListError for an index outside
  // 0..Count-1.
  std::string_view Get(int index) const;
  void Put(int index, std::string_view line);
  // Appends a copy of the line.
  int Add(std::string_view line) { return Add(LinePieces{line}); }
  int Add(LinePieces pieces);
  // Appends the line without copying it: its bytes must stay unchanged until
  // the list is cleared, and when they move, all views of the list move
  // together and MoveViews must say so; ScanPadding bytes from its start must
  // be readable, as in every buffer of the file layer. crLfFollows: the two
  // bytes after the line are CR LF.
  void AddView(std::string_view line, bool crLfFollows) {
    if (FLines.size() >= MaxLines) [[unlikely]] RaiseTooManyLines();
    FLines.push_back({line.data(), line.size(), UnknownSeparator, crLfFollows, true});
    ++FVersion;
  }
  // Replaces the line at index with a view of bytes that never move (a
  // constant), with ScanPadding readable bytes from its start.
  void PutConstant(int index, std::string_view line, bool crLfFollows);
  // The bytes of every view have moved by the same distance in memory.
  void MoveViews(std::ptrdiff_t by) noexcept;

  // Inserts the line key=value before index (0..Count); the lines from index
  // on move down by one.
  [[gnu::always_inline]] void InsertValue(int index, std::string_view key, LinePieces value) {
    if (index < 0 || index > Count()) RaiseListIndexError(index);
    if (FLines.size() >= MaxLines) RaiseTooManyLines();
    FLines.insert(FLines.begin() + index, StoreValue(key, value));
    ++FVersion;
  }
  // Rewrites the line at index as key=value; a line that reads so already is
  // left as it is.
  void PutValue(int index, std::string_view key, LinePieces value);
  void Delete(int index);
  void Clear() noexcept;

  // The index of the first line whose key matches, or -1.
  int IndexOfName(std::string_view key) const;
  // For each key of the table, the index of the first line whose key
  // matches, or -1: one pass over the lines for all of them. indices holds
  // one entry per key.
  void IndexOfNames(const KeyTable& keys, std::span<int> indices) const;
  // The value of the first line whose key matches; empty when there is none.
  std::string_view GetValue(std::string_view key) const;
  // Rewrites the first matching line as key=value in place, or appends it;
  // an empty value deletes the matching line instead.
  void SetValue(std::string_view key, std::string_view value) { SetValue(key, LinePieces{value}); }
  void SetValue(std::string_view key, LinePieces value);

  // Changes with every change of the lines, so that what was found in them
  // can be known to be still good.
  std::uint64_t Version() const noexcept { return FVersion; }

  // Hands the lines in order to the writers: a run of lines that lie one
  // after another in memory, each followed by CR LF, as one span of bytes
  // with those terminators to writeRun; every other line alone, without a
  // terminator, to writeLine.
  template <typename RunWriter, typename LineWriter>
  void WriteTo(RunWriter&& writeRun, LineWriter&& writeLine) const {
    const Line* line = FLines.data();
    const Line* const end = line + FLines.size();
    while (line != end) {
      if (!line->CrLfFollows) {
        writeLine(std::string_view{line->Text, line->Length});
        ++line;
        continue;
      }
      const char* const start = line->Text;
      const char* after = start + line->Length + 2;
      while (++line != end && line->CrLfFollows && line->Text == after) after = line->Text + line->Length + 2;
      writeRun(std::string_view{start, static_cast<std::size_t>(after - start)});
    }
  }

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
    bool CrLfFollows;  // the two bytes after the text are CR LF
    bool Moves;        // a view (AddView): the text moves with MoveViews
  };
  // Finds the separator of a line; false when it has no key.
  [[gnu::always_inline]] static inline bool FindKey(const Line& line) noexcept;
  // Whether the key of a line that has one matches key.
  [[gnu::always_inline]] static inline bool SameKey(const Line& line, std::string_view key) noexcept;
  // Whether a line's key is key, where keys match but for the case of ASCII
  // letters; reads 16 bytes from the line's start.
  [[gnu::always_inline]] static inline bool BeginsWithKey(const Line& line, std::string_view key,
                                                          const KeyTable::Pattern& pattern) noexcept;
  [[noreturn]] static void RaiseTooManyLines();

  struct Chunk {
    std::unique_ptr<char[]> Bytes;
    std::size_t Size;
  };

  void CheckIndex(int index) const;
  // Copies the pieces, or key=value with the value in pieces, into the text
  // storage as one new line of the list's own.
  Line Store(std::span<const std::string_view> pieces);
  // Inline, so that the pieces of a value written out at the call are copied
  // with their sizes known.
  [[gnu::always_inline]] Line StoreValue(std::string_view key, std::span<const std::string_view> value,
                                         bool keyed = true) {
    std::size_t length = keyed ? key.size() + 1 : 0;
    for (const std::string_view piece : value) length += piece.size();
    // Text already stored never moves, so a piece may come from this very list.
    char* const text = Allocate(length + 2);
    char* out = text;
    if (keyed) {
      CopyBytes(out, key.data(), key.size());
      out += key.size();
      *out++ = '=';
    }
    for (const std::string_view piece : value) {
      CopyBytes(out, piece.data(), piece.size());
      out += piece.size();
    }
    out[0] = '\r';
    out[1] = '\n';
    return {text, length, UnknownSeparator, true, false};
  }
  char* Allocate(std::size_t length) {
    if (length > FChunkRoom) [[unlikely]] return AllocateInNextChunk(length);
    char* const text = FChunkNext;
    FChunkNext += length;
    FChunkRoom -= length;
    return text;
  }
  char* AllocateInNextChunk(std::size_t length);

  std::vector<Line> FLines;
  std::vector<Chunk> FChunks;  // text storage, reused after Clear
  std::size_t FChunk = 0;      // the chunk being filled
  char* FChunkNext = nullptr;  // its first free byte
  std::size_t FChunkRoom = 0;  // and the free bytes from there
  std::uint64_t FVersion = 0;
};

}  // namespace ostrak
