#pragma once

#include <stdexcept>
#include <string>

#include "morvane/cxx20.hpp"

namespace morvane {

/// The one exception type the library throws; `what()` is the exact message.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace morvane
