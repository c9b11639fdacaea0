// An object argument for late binding that stands for a fixed value, or fails to give one,
// as a client's objects do.
#pragma once

#include "automation/variant.hpp"

#include <utility>

namespace trazo::testing {

class ValueObject : public AutomationObject {
 public:
  explicit ValueObject(Variant value, Status status = status::ok) : value_(std::move(value)), status_(status) {}
  Status value(Variant& out) const override {
    out = value_;
    return status_;
  }

 private:
  Variant value_;
  Status status_;
};

}  // namespace trazo::testing
