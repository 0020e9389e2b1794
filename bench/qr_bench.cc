// Time per QR symbol: making the symbol of a short and of the longest code
// at each error-correction level, drawing it as PNG and SVG, and writing the
// image file. The counters give each symbol's version and modules per side.

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "error/error.h"
#include "qr/png.h"
#include "qr/svg.h"
#include "qr/symbol.h"
#include "cli/symbol_file.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::bench {
namespace {

// The code of an example document of the source tree.
std::string example_code(const char* name) {
  std::string here = __FILE__;
  std::string path = here.substr(0, here.rfind('/')) + "/../examples/" + name;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream xml;
  xml << in.rdbuf();
  Result code = encode_xml(xml.str());
  if (!code) throw std::runtime_error(path + ": " + code.error);
  return code.output;
}

// 0: a short code (181 characters); 1: the longest code that the 550-byte
// sequence limit allows (578 characters).
const std::string& code_of(int which) {
  static const std::string kShort = example_code("pay-standing-order.xml");
  static const std::string kLongest = example_code("invoice-items-full.xml");
  return which == 0 ? kShort : kLongest;
}

qr::Symbol symbol_of(int which, qr::Level level) {
  qr::Symbol symbol;
  if (qr::make_symbol(code_of(which), level, &symbol) != 0)
    throw std::runtime_error(error_text());
  return symbol;
}

void BM_MakeSymbol(benchmark::State& state) {
  const std::string& code = code_of(static_cast<int>(state.range(0)));
  auto level = static_cast<qr::Level>(state.range(1));
  qr::Symbol symbol;
  for (auto _ : state) {
    if (qr::make_symbol(code, level, &symbol) != 0) state.SkipWithError("make_symbol");
    benchmark::DoNotOptimize(symbol.modules.data());
  }
  state.counters["chars"] = static_cast<double>(code.size());
  state.counters["version"] = symbol.version;
  state.counters["modules"] = symbol.width;
}
BENCHMARK(BM_MakeSymbol)
    ->ArgNames({"longest", "level"})
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3}});

void BM_SymbolPng(benchmark::State& state) {
  qr::Symbol symbol = symbol_of(static_cast<int>(state.range(0)), qr::Level::kM);
  std::string png;
  for (auto _ : state) {
    if (qr::symbol_png(symbol, 4, 4, &png) != 0) state.SkipWithError("symbol_png");
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_SymbolPng)->ArgName("longest")->Arg(0)->Arg(1);

void BM_SymbolSvg(benchmark::State& state) {
  qr::Symbol symbol = symbol_of(static_cast<int>(state.range(0)), qr::Level::kM);
  std::string svg;
  for (auto _ : state) {
    svg = qr::symbol_svg(symbol, 4, 4);
    benchmark::DoNotOptimize(svg.data());
  }
  state.counters["bytes"] = static_cast<double>(svg.size());
}
BENCHMARK(BM_SymbolSvg)->ArgName("longest")->Arg(0)->Arg(1);

// The whole work of --qr for one code: symbol, image, temporary file,
// rename.
void BM_WriteSymbolFile(benchmark::State& state) {
  char folder[] = "/tmp/zarnex-qr-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) throw std::runtime_error("mkdtemp");
  zarnex::QrOptions settings;
  settings.format = state.range(1) == 0 ? zarnex::QrFormat::kPng
                                        : zarnex::QrFormat::kSvg;
  std::string path = std::string(folder) + "/code" +
                     std::string(cli::format_extension(settings.format));
  const std::string& code = code_of(static_cast<int>(state.range(0)));
  std::string error;
  for (auto _ : state) {
    if (cli::write_symbol_file(code, path, settings, error) != 0)
      state.SkipWithError("write_symbol_file");
  }
  unlink(path.c_str());
  rmdir(folder);
}
BENCHMARK(BM_WriteSymbolFile)
    ->ArgNames({"longest", "svg"})
    ->ArgsProduct({{0, 1}, {0, 1}});

}  // namespace
}  // namespace zarnex::bench

BENCHMARK_MAIN();
