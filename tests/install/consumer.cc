// A program that uses the installed zarnex library.
#include <zarnex/zarnex.hpp>

#include <iostream>
#include <iterator>

int main() {
  std::string xml(std::istreambuf_iterator<char>(std::cin), {});
  zarnex::Result code = zarnex::encode_xml(xml);
  if (!code) return std::cerr << code.error << '\n', code.status;
  zarnex::Result back = zarnex::decode(code.output);
  std::cout << code.output << '\n' << back.output << '\n';
  return back.status;
}
