#include "convert/navitel2garmin.hpp"

#include "convert/address_strings.hpp"

namespace ostrak {

void TOstrakConvertNavitel2Garmin::ProcessHeader() {
  // Keys missing from the header go in before its terminator, in the order
  // set here.
  FHeader.SetBeforeTerminator("TypeSet", "Garmin");
  FHeader.SetBeforeTerminator("Routing", "N");
  FHeader.SetBeforeTerminator("POINumberFirst", "N");
  FHeader.SetBeforeTerminator("POIZipFirst", "N");
  FHeader.SetBeforeTerminator("MG", "Y");
  FHeader.SetBeforeTerminator("Numbering", "Y");
}

void TOstrakConvertNavitel2Garmin::ProcessObject() {
  if (FObject.GetObjectKind() != okPolygon) {
    FObject.FLines.Clear();
    return;
  }
  // Views of values stay valid while the object is edited; the street is
  // never touched by the edits below, so it is looked up once.
  const std::string_view street = FObject.GetStreetDesc();
  if (street.empty() || FObject.GetHouseNumber().empty()) {
    FObject.FLines.Clear();
    return;
  }
  FObject.SetObjectKind(okPolyline);
  FObject.SetType("0x13");
  FObject.SetLabel(street);
  FObject.SetHouseNumber(CutAtSpace(FObject.GetHouseNumber()));

  const std::string_view houseNumber = FObject.GetHouseNumber();
  const std::string_view number = LeadingDigits(houseNumber);
  // A number with letters or a slash (12А, 7/2) leads the label.
  if (!IsAllDigits(houseNumber)) FObject.SetLabel({houseNumber, " ", street});

  const std::string_view city = FObject.GetCityName();
  const std::string_view region = FObject.GetRegionName();
  const std::string_view country = FObject.GetCountryName();
  // The Numbers lines go in just before the terminator.
  LineList& lines = FObject.FLines;
  const int last = lines.Count() - 1;
  // A house number without leading digits has no number for the map's
  // address index: that side says "no numbers", like the other side, since
  // map compilers reject a numbered side with empty bounds.
  if (number.empty()) {
    lines.InsertValue(last, "Numbers1", {"0,N,-1,-1,N,-1,-1,-1,-1,", city, ",", region, ",", country, ",-1"});
  } else {
    lines.InsertValue(last, "Numbers1",
                      {"0,B,", number, ",", number, ",N,-1,-1,-1,-1,", city, ",", region, ",", country, ",-1"});
  }
  lines.InsertValue(last + 1, "Numbers2", {"2,N,-1,-1,N,-1,-1,-1,-1,", city, ",", region, ",", country, ",-1"});
}

}  // namespace ostrak
