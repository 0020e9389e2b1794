#ifndef ZARNEX_BASE_TEST_LOCALE_H_
#define ZARNEX_BASE_TEST_LOCALE_H_

// For tests: runs a piece of a test under a locale whose decimal mark is
// not a dot, as a program that links the library may set one.

#include <clocale>
#include <cstdlib>
#include <string>

namespace zarnex::code::testing {

/// Sets the whole locale (LC_ALL) of the process to SOURCE.UTF-8 (@a source
/// is a locale source such as "de_DE") for the object's lifetime and back
/// to "C" afterwards. A machine without that locale gets it first:
/// `localedef -i SOURCE -f UTF-8 SOURCE.UTF-8` (from the `locales` package,
/// which scripts/setup.sh installs; the tests run as root in CI). ok()
/// tells whether the locale is in force, why() why not.
class ScopedLocale {
 public:
  explicit ScopedLocale(const std::string& source) {
    const std::string name = source + ".UTF-8";
    if (std::setlocale(LC_ALL, name.c_str()) == nullptr) {
      const std::string command = "localedef -i " + source +
                                  " -f UTF-8 " + name +
                                  " >/dev/null 2>&1";
      const int status = std::system(command.c_str());
      if (std::setlocale(LC_ALL, name.c_str()) == nullptr) {
        why_ = "the locale " + name + " is missing, and `" + command +
               "` could not make it (status " + std::to_string(status) +
               "; is the locales package installed?)";
        std::setlocale(LC_ALL, "C");
        return;
      }
    }
    ok_ = true;
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, "C"); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  bool ok() const { return ok_; }
  const std::string& why() const { return why_; }
  /// The decimal mark of the locale in force.
  static std::string decimal_mark() {
    return std::localeconv()->decimal_point;
  }

 private:
  bool ok_ = false;
  std::string why_;
};

/// A German locale: decimal comma, dot for thousands.
inline constexpr const char* kCommaLocale = "de_DE";
/// A Pashto locale: the Arabic decimal separator U+066B, two bytes in UTF-8.
inline constexpr const char* kArabicMarkLocale = "ps_AF";

}  // namespace zarnex::code::testing

#endif  // ZARNEX_BASE_TEST_LOCALE_H_
