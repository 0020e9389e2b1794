// An empty program linked against the libraries the tool uses: libxml2
// (with ICU, which it loads in turn), liblzma, libqrencode, libpng and the
// shared C++ runtime. Its run time is the start-up cost of loading them all
// at start, as the tool did before it loaded libxml2, libqrencode and libpng
// on first use.

#include <libxml/parser.h>
#include <lzma.h>

int main(int argc, char**) {
  // Never runs; the references keep libxml2 and liblzma among the program's
  // dependencies even where the linker drops unused libraries (the build
  // also asks it to keep the others).
  if (argc < 0) {
    xmlFreeDoc(xmlReadMemory("", 0, "noname.xml", nullptr, 0));
    lzma_end(nullptr);
  }
  return 0;
}
