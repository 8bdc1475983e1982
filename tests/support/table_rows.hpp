// Tables whose rows are tests of their own, named after the rows' Name:
//   INSTANTIATE_TEST_SUITE_P(, Suite, Rows(table), RowName);
// The rows are not copied: the table must outlive the tests.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

namespace ostrak::test {

template <typename Table>
auto Rows(const Table& table) {
  std::vector<const std::remove_cvref_t<decltype(*std::begin(table))>*> rows;
  for (const auto& row : table) rows.push_back(&row);
  return testing::ValuesIn(rows);
}
// The row's name with "_" for every byte but letters and digits.
inline constexpr struct {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<const Case*>& row) const {
    std::string name = row.param->Name;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
  }
} RowName;

}  // namespace ostrak::test
