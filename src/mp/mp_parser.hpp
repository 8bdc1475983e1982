// TMPParser: the one-pass section filter from an input map to an output map.
//
// Lines outside the sections it knows are copied. The map header ([IMG ID]
// through [END-IMG ID]) and map objects ([POI], [POLYGON] or [POLYLINE]
// through [END]) are buffered whole and handed to a hook, which may edit or
// clear them before they are written. Section lines are recognised only when
// they match exactly, byte for byte. Objects of a kind that the filter does
// not want (WantsObject) are passed over as a hook that clears them would
// have them: read to their terminator and written nowhere.
#pragma once

#include <cstddef>
#include <string_view>

#include "mp/line_file.hpp"
#include "mp/line_list.hpp"
#include "mp/mp_class.hpp"

namespace ostrak {

// The lines that begin and end the map header and end a map object (objects
// begin with ObjectHeaderLine), compared exactly.
inline constexpr std::string_view HeaderStart = "[IMG ID]";
inline constexpr std::string_view HeaderEnd = "[END-IMG ID]";
inline constexpr std::string_view ObjectEnd = "[END]";

class TMPParser {
 public:
  // Opens the input for reading, then creates or empties the output; the
  // output is not touched when the input cannot be opened. transferSize is the
  // size of the system calls on both files.
  TMPParser(std::string_view InputName, std::string_view OutputName,
            std::size_t transferSize = TLineFile::DefaultTransferSize);
  TMPParser(const TMPParser&) = delete;
  TMPParser& operator=(const TMPParser&) = delete;
  virtual ~TMPParser() = default;

  // Converts the whole input to the output and closes both files. An input
  // that ends inside a buffered section fails with "Read beyond end of file".
  void Run();

 protected:
  // Called with FHeader holding one whole header section.
  virtual void ProcessHeader() {}
  // Called with FObject.FLines holding one whole map object.
  virtual void ProcessObject() {}
  // Whether objects of a kind are buffered and handed to ProcessObject; the
  // others are left out of the output. All kinds by default.
  virtual bool WantsObject(TMPObjectKind) const { return true; }

  TMPClass FObject;
  LineList FHeader;
  TLineFile FInput;
  TLineFile FOutput;

 private:
  // Takes the next input line; false at the end of the input. Views of the
  // lines of held (a section being read) follow where reading moves them.
  bool TakeLine(std::string_view& line, LineList* held);
  // Begins section with its first line, which the input holds from now on.
  void StartSection(LineList& section, std::string_view line);
  void ReadHeader();
  void WriteHeader();
  void ReadObject();
  void WriteObject();
  // Adds input lines to section up to and including the terminator line.
  void ReadSection(LineList& section, std::string_view terminator);
  // Reads input lines up to and including the terminator of an object.
  void SkipObject();
  void WriteSection(const LineList& section);
};

}  // namespace ostrak
