#include "error/error.h"

#include <string>

#include <gtest/gtest.h>

namespace zarnex {
namespace {

class ErrorTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }
};

TEST_F(ErrorTest, FreshStateIsOneBlank) { EXPECT_EQ(error_text(), " "); }

TEST_F(ErrorTest, NamesOfEveryCode) {
  const struct {
    int code;
    const char* name;
  } kNames[] = {
      {-4, "ZARNEX_ERROR_UNKNOWN"},
      {-3, "ERROR_IO: "},
      {-2, "ERROR_NULL_POINTER: "},
      {-1, "ERROR_ILLEGAL_ARGUMENT: "},
      {0, ""},
      {1, "ERROR_BASE32HEX: "},
      {2, "ERROR_CHECKSUM: "},
      {3, "ERROR_COMPRESSION: "},
      {4, "ERROR_INVALID_VALUE: "},
      {5, "ERROR_BAD_FORMAT: "},
      {6, "ERROR_MAX_PRIORITY_REACHED: "},
      {7, "ERROR_SEQUENCE_LIMIT_EXCEEDED: "},
      {8, "ERROR_UNKNOWN_DOCUMENT: "},
      {9, "ERROR_XML: "},
      {10, "ERROR_MISSING_LOGO: "},
      {11, "ERROR_QR"},
      {12, "ERROR_STREAM: "},
      {13, "ERROR_JSON: "},
      {14, "ZARNEX_ERROR_UNKNOWN"},
  };
  for (const auto& entry : kNames) {
    EXPECT_EQ(set_error(entry.code, "S"), entry.code);
    EXPECT_EQ(error_text(), std::string(entry.name) + "S ") << entry.code;
  }
}

TEST_F(ErrorTest, SeparatorDependsOnDetail) {
  set_error(ErrorCode::kChecksum, "Checksum mismatch. ");
  EXPECT_EQ(error_text(), "ERROR_CHECKSUM: Checksum mismatch.  ");
  set_error_detail(ErrorCode::kInvalidValue, "IBAN", " cannot be NULL. ");
  EXPECT_EQ(error_text(), "ERROR_INVALID_VALUE: IBAN cannot be NULL. ");
  set_error_detail(ErrorCode::kInvalidValue, "VariableSymbol",
                   "SEPA direct debit scheme selected");
  EXPECT_EQ(error_text(),
            "ERROR_INVALID_VALUE: VariableSymbol SEPA direct debit scheme selected");
  set_error(ErrorCode::kQr, "no symbol");
  EXPECT_EQ(error_text(), "ERROR_QRno symbol ");
}

// Reading the text is a pure read: an owned detail stays until another
// error replaces it.
TEST_F(ErrorTest, OwnedDetailIsKeptWhenRead) {
  set_error_detail_owned(ErrorCode::kXml, "Getting root element error\n",
                         std::string("bad line:1,\n"));
  EXPECT_EQ(error_text(), "ERROR_XML: Getting root element error\n bad line:1,\n");
  EXPECT_EQ(error_text(), "ERROR_XML: Getting root element error\n bad line:1,\n");
  EXPECT_EQ(error_code(), 9);
  EXPECT_EQ(error_subject(), "Getting root element error\n");
}

// The one rule, as the public formatter gives it for texts of a caller's own.
TEST(ComposeErrorText, NameSeparatorSubjectDetail) {
  EXPECT_EQ(compose_error_text(12, "Cannot read", " standard input: Is a directory. "),
            "ERROR_STREAM: Cannot read standard input: Is a directory. ");
  // A detail that does not begin with a blank gets one.
  EXPECT_EQ(compose_error_text(4, "Day", "is out of range. "),
            "ERROR_INVALID_VALUE: Day is out of range. ");
  EXPECT_EQ(compose_error_text(2, "Checksum mismatch.", ""),
            "ERROR_CHECKSUM: Checksum mismatch. ");
  // No ": " after ERROR_QR, nor after an unknown code's name.
  EXPECT_EQ(compose_error_text(11, ": Invalid QR quiet zone", " '65': x. "),
            "ERROR_QR: Invalid QR quiet zone '65': x. ");
  EXPECT_EQ(compose_error_text(99, "x", "y"), "ZARNEX_ERROR_UNKNOWNx y");
  EXPECT_EQ(compose_error_text(0, "", ""), " ");
}

TEST_F(ErrorTest, RecordingReplacesOwnedDetail) {
  set_error_detail_owned(ErrorCode::kXml, "X", std::string("owned"));
  set_error_detail(ErrorCode::kInvalidValue, "Day", " is out of range. ");
  EXPECT_EQ(error_text(), "ERROR_INVALID_VALUE: Day is out of range. ");
}

}  // namespace
}  // namespace zarnex
