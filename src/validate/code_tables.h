#ifndef ZARNEX_VALIDATE_CODE_TABLES_H_
#define ZARNEX_VALIDATE_CODE_TABLES_H_

// Lookups in the code tables of data/ (made by scripts/make-tables.py from
// the Debian iso-codes and python3-stdnum packages), compiled into the
// library from the data files when it is built.

#include <string_view>

namespace zarnex::validate {

/// An active ISO 4217 currency code ("EUR").
bool is_currency_code(std::string_view code);

/// An ISO 3166-1 alpha-3 country code ("SVK").
bool is_country_alpha3(std::string_view code);

/// An ISO 3166-1 alpha-2 country code ("SK").
bool is_country_alpha2(std::string_view code);

/// The length of an IBAN of the country @a alpha2 by the IBAN registry, or 0
/// for a country that has no IBAN.
int iban_length(std::string_view alpha2);

}  // namespace zarnex::validate

#endif  // ZARNEX_VALIDATE_CODE_TABLES_H_
