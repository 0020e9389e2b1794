#include "qr/svg.h"

#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "error/error.h"

namespace zarnex::qr {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + 1))
    ++n;
  return n;
}

// Draws the path's rectangles ("M x y h n v1 h-n z") into a grid of
// side x side cells; fails on any other command, and on a run that starts
// where the one before it on its row ended (runs must be merged).
std::vector<int> Rasterize(const std::string& d, int side) {
  std::vector<int> grid(static_cast<std::size_t>(side * side), 0);
  std::regex run("M(\\d+) (\\d+)h(\\d+)v1h-(\\d+)z");
  std::size_t covered = 0;
  int last_y = -1, last_end = -1;
  for (auto it = std::sregex_iterator(d.begin(), d.end(), run);
       it != std::sregex_iterator(); ++it) {
    const std::smatch& m = *it;
    EXPECT_EQ(static_cast<std::size_t>(m.position(0)), covered) << "gap before " << m.str();
    covered = static_cast<std::size_t>(m.position(0) + m.length(0));
    int x = std::stoi(m[1]), y = std::stoi(m[2]), n = std::stoi(m[3]);
    EXPECT_EQ(n, std::stoi(m[4]));
    EXPECT_FALSE(y == last_y && x == last_end) << "unmerged run " << m.str();
    last_y = y;
    last_end = x + n;
    for (int i = 0; i < n; ++i) grid[static_cast<std::size_t>(y * side + x + i)] += 1;
  }
  EXPECT_EQ(covered, d.size());
  return grid;
}

TEST(SymbolSvg, PathDrawsExactlyTheDarkModules) {
  for (int margin : {0, 4, 10}) {
    Symbol symbol;
    ASSERT_EQ(make_symbol("0123456789ABCDEFGHIJKLMNOPQRSTUV", Level::kQ, &symbol), 0);
    std::string svg = symbol_svg(symbol, margin, 3);
    const int side = symbol.width + 2 * margin;
    const std::string s = std::to_string(side);
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
    EXPECT_NE(svg.find(" width=\"" + std::to_string(side * 3) + "\" height=\"" +
                       std::to_string(side * 3) + "\" viewBox=\"0 0 " + s + " " + s + "\""),
              std::string::npos)
        << svg.substr(0, 300);
    EXPECT_NE(svg.find("<rect width=\"" + s + "\" height=\"" + s + "\" fill=\"#FFFFFF\"/>"),
              std::string::npos);
    EXPECT_EQ(Count(svg, "<path"), 1u);
    EXPECT_EQ(Count(svg, "<image"), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    std::size_t d = svg.find(" d=\"") + 4;
    std::string path = svg.substr(d, svg.find('"', d) - d);
    std::vector<int> grid = Rasterize(path, side);
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        int mx = x - margin, my = y - margin;
        bool inside = mx >= 0 && my >= 0 && mx < symbol.width && my < symbol.width;
        ASSERT_EQ(grid[static_cast<std::size_t>(y * side + x)],
                  inside && symbol.dark(mx, my) ? 1 : 0)
            << "margin " << margin << " cell " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace zarnex::qr
