#include "platform/shared_library.h"

#include <cstddef>
#include <string>

#include <gtest/gtest.h>

namespace zarnex::platform {
namespace {

using StrlenFunction = std::size_t (*)(const char*);

TEST(SharedLibrary, LoadsALibraryAndResolvesItsFunctions) {
  SharedLibrary libc("libc.so.6");
  StrlenFunction length = nullptr;
  libc.resolve("strlen", length);
  ASSERT_TRUE(libc.ok()) << libc.error();
  ASSERT_NE(length, nullptr);
  EXPECT_EQ(length("zarnex"), 6u);
}

TEST(SharedLibrary, MissingLibraryOrNameIsReportedWithTheFirstReason) {
  SharedLibrary missing("libzarnex-no-such-library.so.9");
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.error().find("libzarnex-no-such-library.so.9"),
            std::string::npos) << missing.error();
  StrlenFunction length = reinterpret_cast<StrlenFunction>(1);
  missing.resolve("strlen", length);
  EXPECT_EQ(length, nullptr);

  SharedLibrary libc("libc.so.6");
  libc.resolve("zarnex_no_such_function", length);
  EXPECT_EQ(length, nullptr);
  EXPECT_FALSE(libc.ok());
  const std::string first = libc.error();
  EXPECT_NE(first.find("zarnex_no_such_function"), std::string::npos) << first;
  // Later names still resolve, but the library stays failed with the first
  // reason.
  libc.resolve("strlen", length);
  EXPECT_NE(length, nullptr);
  libc.resolve("zarnex_other_missing_function", length);
  EXPECT_FALSE(libc.ok());
  EXPECT_EQ(libc.error(), first);
}

struct StringFunctions {
  StrlenFunction strlen_function;
  StrlenFunction missing_function;
};

TEST(LibraryTable, GivesTheTableOnlyWhenEveryEntryIsFound) {
  const LibraryTable<StringFunctions> found(
      "libc.so.6", [](SharedLibrary& library, StringFunctions& table) {
        library.resolve("strlen", table.strlen_function);
      });
  ASSERT_NE(found.get(), nullptr) << found.error();
  EXPECT_EQ(found.get()->strlen_function("abc"), 3u);
  EXPECT_EQ(found.get()->missing_function, nullptr);

  const LibraryTable<StringFunctions> lacking(
      "libc.so.6", [](SharedLibrary& library, StringFunctions& table) {
        library.resolve("strlen", table.strlen_function);
        library.resolve("zarnex_no_such_function", table.missing_function);
      });
  std::string why;
  EXPECT_EQ(lacking.get(&why), nullptr);
  EXPECT_EQ(why, lacking.error());
  EXPECT_NE(why.find("zarnex_no_such_function"), std::string::npos);
}

}  // namespace
}  // namespace zarnex::platform
