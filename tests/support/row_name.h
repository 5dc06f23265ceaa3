// Names each row of a table-driven test after its `name` field, in the test's name and in
// GoogleTest's messages (instead of a dump of the row's bytes). A test file brings the
// printer in with `using testing_support::PrintTo;` inside the namespace of its rows.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace testing_support {

struct RowName {
  template <class Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

template <class Row>
requires requires(const Row& row) {
  std::string(row.name);
}
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

}  // namespace testing_support
