#pragma once
// Overflow, division by zero and invalid results never reach the report or the chart as
// infinities or NaNs: the computation that meets one throws NumericError instead.

#include <stdexcept>

namespace morvik {

class NumericError : public std::runtime_error {
  public:
    NumericError() : std::runtime_error("The values are too large to compute with.") {}
};

}  // namespace morvik
