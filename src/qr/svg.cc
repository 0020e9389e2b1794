#include "qr/svg.h"

#include <charconv>

namespace zarnex::qr {
namespace {

void append_number(std::string& out, long value) {
  char digits[24];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end);
}

}  // namespace

std::string symbol_svg(const Symbol& symbol, int margin, int module_size) {
  const long side = symbol.width + 2L * margin;
  std::string out;
  // About half the modules are dark, in runs of two on average, and a run
  // takes some 18 characters.
  out.reserve(400 + symbol.modules.size() * 5);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  append_number(out, side * module_size);
  out += "\" height=\"";
  append_number(out, side * module_size);
  out += "\" viewBox=\"0 0 ";
  append_number(out, side);
  out += ' ';
  append_number(out, side);
  out += "\" shape-rendering=\"crispEdges\">\n<rect width=\"";
  append_number(out, side);
  out += "\" height=\"";
  append_number(out, side);
  out += "\" fill=\"#FFFFFF\"/>\n<path fill=\"#000000\" d=\"";
  for (int y = 0; y < symbol.width; ++y) {
    int x = 0;
    while (x < symbol.width) {
      if (!symbol.dark(x, y)) {
        ++x;
        continue;
      }
      int start = x;
      while (x < symbol.width && symbol.dark(x, y)) ++x;
      // A run of dark modules as one rectangle: move, right, down, back.
      out += 'M';
      append_number(out, start + margin);
      out += ' ';
      append_number(out, y + margin);
      out += 'h';
      append_number(out, x - start);
      out += "v1h-";
      append_number(out, x - start);
      out += 'z';
    }
  }
  out += "\"/>\n</svg>\n";
  return out;
}

}  // namespace zarnex::qr
