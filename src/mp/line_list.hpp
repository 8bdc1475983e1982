// LineList: the lines of one buffered section, with Key=Value access.
//
// The key of a line is the text before its first "=", the value everything
// after it; neither is trimmed. Lines are found by their keys through the key
// search (key_search.hpp), which matches keys ignoring letter case.
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
#include "mp/key_search.hpp"
#include "mp/line.hpp"

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
    FLines.push_back({line.data(), line.size(), Line::UnknownSeparator, crLfFollows, true});
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
  int IndexOfName(std::string_view key) const noexcept { return IndexOfKey(FLines, key); }
  // For each key of the table, the index of its first line, or -1.
  void IndexOfNames(const KeyTable& keys, std::span<int> indices) const noexcept { IndexOfKeys(FLines, keys, indices); }
  // The value of the first line whose key matches; empty when there is none.
  std::string_view GetValue(std::string_view key) const { return ValueAt(IndexOfName(key), key); }
  // The value of the line at index, found for key; empty for index -1.
  std::string_view ValueAt(int index, std::string_view key) const {
    return index < 0 ? std::string_view{} : ValueAfterKey(Get(index), key);
  }

  // What SetValueAt did.
  enum class Edit { None, Rewritten, Deleted, Inserted };
  // Sets key to value given the line found for it (index, or -1 for none): a
  // found line is rewritten in place as key=value, spelt as the caller spells
  // the key, or deleted for an empty value; otherwise a line for a non-empty
  // value is inserted before newAt, which must be 0..Count.
  Edit SetValueAt(int index, std::string_view key, LinePieces value, int newAt);
  // Sets key to value; a new line goes at the end.
  void SetValue(std::string_view key, std::string_view value) { SetValueAt(IndexOfName(key), key, {value}, Count()); }
  // Sets key to value in a section; a new line goes just before the last
  // line, its terminator, after every line already there.
  void SetBeforeTerminator(std::string_view key, std::string_view value) {
    SetValueAt(IndexOfName(key), key, {value}, TerminatorIndex());
  }
  // The index of the last line; raises EStringListError for an empty list.
  int TerminatorIndex() const;

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
  [[noreturn]] static void RaiseTooManyLines();

  struct Chunk {
    std::unique_ptr<char[]> Bytes;
    std::size_t Size;
  };

  void CheckIndex(int index) const;
  // Copies the pieces into the text storage as one new line of the list's own.
  Line Store(std::span<const std::string_view> pieces);
  // Copies key=value into the text storage as one new line. Inline, so that
  // the pieces of a value written out at the call are copied with their
  // sizes known.
  [[gnu::always_inline]] Line StoreValue(std::string_view key, std::span<const std::string_view> value) {
    std::size_t length = key.size() + 1;
    for (const std::string_view piece : value) length += piece.size();
    // Text already stored never moves, so a piece may come from this very list.
    char* const text = Allocate(length + 2);
    CopyBytes(text, key.data(), key.size());
    text[key.size()] = '=';
    EndLine(CopyPieces(text + key.size() + 1, value));
    return {text, length, Line::UnknownSeparator, true, false};
  }
  [[gnu::always_inline]] static char* CopyPieces(char* out, std::span<const std::string_view> pieces) {
    for (const std::string_view piece : pieces) {
      CopyBytes(out, piece.data(), piece.size());
      out += piece.size();
    }
    return out;
  }
  // Puts the CR LF behind a stored line's text.
  static void EndLine(char* end) noexcept {
    end[0] = '\r';
    end[1] = '\n';
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
