// TOstrakConvertNavitel2Garmin: the converter the program runs. It marks the
// map header for the Garmin typeset and turns every building polygon with a
// street and a house number into an address line of type 0x13 with house
// number data; every other map object is left out of the output.
#pragma once

#include "mp/mp_parser.hpp"

namespace ostrak {

class TOstrakConvertNavitel2Garmin : public TMPParser {
 public:
  using TMPParser::TMPParser;

 protected:
  void ProcessHeader() override;
  void ProcessObject() override;
  // Only building polygons can become address lines.
  bool WantsObject(TMPObjectKind kind) const override { return kind == okPolygon; }
};

}  // namespace ostrak
