// QR symbols made in memory through the public C++ and C interfaces: every
// example's code, as PNG and as SVG, read back by a real scanner (zbarimg;
// the SVG rendered first with rsvg-convert); the images equal what the
// tool's --qr writes; options out of range are refused.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"
#include "zarnex/zarnex.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::testing {
namespace {

namespace fs = std::filesystem;

const char* const kExamples[] = {
    "advance-invoice",    "credit-note",       "debit-note",
    "invoice-foreign-currency", "invoice-items-ean", "invoice-items-full",
    "invoice-items-periods", "invoice-items",  "invoice-single-line",
    "invoice",            "pay-direct-debit",  "pay-one-off",
    "pay-several",        "pay-standing-order", "proforma-invoice"};

bool have(const char* program) {
  int status = 0;
  run_shell(std::string("command -v ") + program + " >/dev/null 2>&1", &status);
  return status == 0;
}

void write_file(const fs::path& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary);
  out << data;
}

class QrMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have("zbarimg")) GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    char name[] = "/tmp/zarnex-qr-memory-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // What zbarimg reads from an image held in memory.
  std::string scan(const std::string& image, bool svg) {
    fs::path file = dir_ / (svg ? "symbol.svg" : "symbol.png");
    write_file(file, image);
    int status = 0;
    if (svg) {
      fs::path png = dir_ / "rendered.png";
      std::string out = run_shell("rsvg-convert -o '" + png.string() + "' '" +
                                      file.string() + "' 2>&1",
                                  &status);
      EXPECT_EQ(status, 0) << out;
      file = png;
    }
    std::string text = run_shell("zbarimg --raw -q '" + file.string() + "' 2>/dev/null", &status);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }

  fs::path dir_;
};

std::string code_of(const char* example) {
  Result code = encode_xml(read_source_file(std::string("examples/") + example + ".xml"));
  EXPECT_TRUE(code.ok()) << example << ": " << code.error;
  return code.output;
}

TEST_F(QrMemory, EveryExampleScansBackFromPngAndSvg) {
  if (!have("rsvg-convert")) GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
  for (const char* example : kExamples) {
    const std::string code = code_of(example);
    QrOptions png_options;
    Result png = render_qr(code, png_options);
    ASSERT_TRUE(png.ok()) << png.error;
    ASSERT_EQ(png.output.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
    EXPECT_EQ(scan(png.output, false), code) << example;

    QrOptions svg_options;
    svg_options.format = QrFormat::kSvg;
    svg_options.level = QrLevel::kH;
    Result svg = render_qr(code, svg_options);
    ASSERT_TRUE(svg.ok()) << svg.error;
    EXPECT_EQ(svg.output.compare(0, 5, "<?xml"), 0);
    EXPECT_EQ(scan(svg.output, true), code) << example;

    // The same through the C interface.
    char* image = nullptr;
    size_t size = 0;
    char* error = nullptr;
    ASSERT_EQ(zarnex_render_qr(code.data(), code.size(), ZARNEX_QR_PNG, 'q', 3, 2,
                               &image, &size, &error),
              0);
    ASSERT_NE(image, nullptr);
    std::string c_png(image, size);
    zarnex_free(image);
    EXPECT_EQ(scan(c_png, false), code) << example;
    QrOptions same;
    same.level = QrLevel::kQ;
    same.module_size = 3;
    same.margin = 2;
    EXPECT_TRUE(c_png == render_qr(code, same).output);
  }
}

TEST_F(QrMemory, ImagesEqualTheFilesTheToolWrites) {
  const std::string xml = read_source_file("examples/invoice.xml");
  const std::string code = code_of("invoice");
  for (const bool svg : {false, true}) {
    const fs::path file = dir_ / (svg ? "tool.svg" : "tool.png");
    ToolResult run = run_tool({"-e", "--qr=" + file.string(), "--qr_level=L",
                               "--qr_module=5", "--qr_margin=1"},
                              xml);
    ASSERT_EQ(run.status, 0) << run.err;
    QrOptions options;
    options.format = svg ? QrFormat::kSvg : QrFormat::kPng;
    options.level = QrLevel::kL;
    options.module_size = 5;
    options.margin = 1;
    Result image = render_qr(code, options);
    ASSERT_TRUE(image.ok());
    EXPECT_TRUE(image.output == read_file(file)) << file;
  }
}

TEST(QrMemoryErrors, RefusesBadTextsAndOptions) {
  struct Case {
    std::string code;
    QrOptions options;
    std::string error;
  } cases[] = {
      {"", {}, ""},
      {"lower-case", {}, ""},
      {"0ABC", {QrFormat::kPng, QrLevel::kM, 0, 4},
       "ERROR_QR: Invalid QR module size '0': expected a whole number of "
       "pixels from 1 to 64. "},
      {"0ABC", {QrFormat::kPng, QrLevel::kM, 65, 4},
       "ERROR_QR: Invalid QR module size '65': expected a whole number of "
       "pixels from 1 to 64. "},
      {"0ABC", {QrFormat::kSvg, QrLevel::kM, 4, -1},
       "ERROR_QR: Invalid QR quiet zone '-1': expected a whole number of "
       "modules from 0 to 64. "},
      {"0ABC", {static_cast<QrFormat>(7), QrLevel::kM, 4, 4},
       "ERROR_QR: Unknown QR symbol format '7': expected svg (0) or png (1). "},
      {"0ABC", {QrFormat::kPng, static_cast<QrLevel>(9), 4, 4},
       "ERROR_QR: Unknown QR error-correction level '9': expected L, M, Q or "
       "H. "},
      {std::string(5000, 'A'), {}, ""},  // longer than any symbol holds
  };
  for (const Case& c : cases) {
    Result result = render_qr(c.code, c.options);
    EXPECT_EQ(result.status, 11) << c.code.substr(0, 20);
    EXPECT_TRUE(result.output.empty());
    EXPECT_EQ(result.error.compare(0, 8, "ERROR_QR"), 0) << result.error;
    if (!c.error.empty()) {
      EXPECT_EQ(result.error, c.error);
    }
  }
  char* image = nullptr;
  char* error = nullptr;
  EXPECT_EQ(zarnex_render_qr("0ABC", 4, ZARNEX_QR_SVG, 'X', 4, 4, &image, nullptr, &error), 11);
  EXPECT_EQ(image, nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_TRUE(std::string_view(error).starts_with(
      "ERROR_QR: Unknown QR error-correction level"))
      << error;
  zarnex_free(error);
}

}  // namespace
}  // namespace zarnex::testing
