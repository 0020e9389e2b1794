#ifndef ZARNEX_VALIDATE_DERIVED_AMOUNT_H_
#define ZARNEX_VALIDATE_DERIVED_AMOUNT_H_

#include <algorithm>

#include "base/number.h"
#include "model/value.h"

namespace zarnex::validate {

/// An amount that the complete operations compute from the amounts of a
/// decoded document, which were read from texts of at most eight places.
/// It carries, with its value, the places of the decimal it stands for: an
/// input has the places of its shortest text (what format_decimal writes,
/// code::decimal_places), a sum or difference the most places among its
/// terms, a product the places of its factors added up, which are the
/// places of the exact result. The computed double is rounded to those
/// places, so that it is written as the exact result of the texts
/// (99999999.99 + 22999999.99 gives 122999999.98, not 122999999.97999999)
/// and never with more places than its inputs had. Past eight places it
/// keeps the computed double, which is written with eight (as quotients
/// are).
class DerivedAmount {
 public:
  /// 0, an integer.
  DerivedAmount() = default;
  /// An input: @a value with the places of its shortest text.
  explicit DerivedAmount(double value)
      : value_(value), places_(code::decimal_places(value)) {}
  /// An input holder; absent counts as 0.
  explicit DerivedAmount(const DecimalValue& holder)
      : DerivedAmount(decimal_or_zero(holder)) {}

  double value() const { return value_; }
  /// 0 to code::kWrittenPlaces, or code::kWrittenPlaces + 1 for more.
  int places() const { return places_; }

  friend DerivedAmount operator+(DerivedAmount a, DerivedAmount b) {
    return rounded(a.value_ + b.value_, std::max(a.places_, b.places_));
  }
  friend DerivedAmount operator-(DerivedAmount a, DerivedAmount b) {
    return rounded(a.value_ - b.value_, std::max(a.places_, b.places_));
  }
  friend DerivedAmount operator*(DerivedAmount a, DerivedAmount b) {
    return rounded(a.value_ * b.value_, a.places_ + b.places_);
  }
  DerivedAmount& operator+=(DerivedAmount other) {
    return *this = *this + other;
  }

 private:
  static DerivedAmount rounded(double value, int places) {
    DerivedAmount amount;
    if (places > code::kWrittenPlaces) {
      amount.value_ = value;
      amount.places_ = code::kWrittenPlaces + 1;
    } else {
      amount.value_ = code::round_to_places(value, places);
      amount.places_ = places;
    }
    return amount;
  }

  double value_ = 0.0;
  int places_ = 0;
};

}  // namespace zarnex::validate

#endif  // ZARNEX_VALIDATE_DERIVED_AMOUNT_H_
