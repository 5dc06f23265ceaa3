// Names each row of a table-driven test after its `name` field.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

struct RowName {
  template <class Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

}  // namespace testing_support
