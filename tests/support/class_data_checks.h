#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "forms/unit_interface.h"
#include "units/unit_classes.h"

namespace unit_tests {

// Every stream shorter than `bytes` is refused by the class-data reader `read`, instead of
// being read past its end.
template <typename Read>
void ExpectEveryCutRefused(Read read, const std::vector<uint8_t>& bytes) {
  for (size_t cut = 1; cut < bytes.size(); ++cut) {
    EXPECT_FALSE(read(std::span<const uint8_t>(bytes.data(), cut))) << cut;
  }
}

// A record the class refuses is no unit: its create operation answers null.
inline void ExpectNoUnitFrom(const units::UnitClass& unit_class,
                             std::span<const uint8_t> class_data) {
  const auto create = forms::UnitOperation<forms::CreateFunction>(unit_class.get_unit_interface,
                                                                  forms::unit_op::kCreate);
  ASSERT_NE(create, nullptr);
  forms::CreateParams params;
  params.class_data = class_data;
  EXPECT_EQ(create(params), nullptr);
}

}  // namespace unit_tests
