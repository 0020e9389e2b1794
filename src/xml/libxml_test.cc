#include "xml/libxml.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/shared_library.h"

namespace zarnex::xml {
namespace {

TEST(LibXml2Table, EveryFunctionIsLoaded) {
  std::string why;
  const LibXml2* lib = libxml2(&why);
  ASSERT_NE(lib, nullptr) << why;
  EXPECT_EQ(lib, libxml2());  // loaded once
  // An entry left out of the loading would be a null pointer here.
  EXPECT_NE(lib->xmlInitParser, nullptr);
  EXPECT_NE(lib->xmlSetGenericErrorFunc, nullptr);
  EXPECT_NE(lib->xmlSetStructuredErrorFunc, nullptr);
  EXPECT_NE(lib->__xmlGenericError, nullptr);
  EXPECT_NE(lib->__xmlGenericErrorContext, nullptr);
  EXPECT_NE(lib->__xmlStructuredError, nullptr);
  EXPECT_NE(lib->__xmlStructuredErrorContext, nullptr);
  EXPECT_NE(lib->__xmlLastError, nullptr);
  EXPECT_NE(lib->xmlCopyError, nullptr);
  EXPECT_NE(lib->xmlResetError, nullptr);
  EXPECT_NE(lib->xmlReadMemory, nullptr);
  EXPECT_NE(lib->xmlDocGetRootElement, nullptr);
  EXPECT_NE(lib->xmlGetProp, nullptr);
  EXPECT_NE(lib->xmlNodeListGetString, nullptr);
  EXPECT_NE(lib->xmlGetDocEntity, nullptr);
  EXPECT_NE(lib->xmlFreeDoc, nullptr);
  EXPECT_NE(lib->xmlStrcmp, nullptr);
  ASSERT_NE(lib->xmlFree, nullptr);
  EXPECT_NE(*lib->xmlFree, nullptr);
}

TEST(LibXml2Table, ALibraryWithoutTheFunctionsIsRefused) {
  const platform::LibraryTable<LibXml2> wrong("libc.so.6", fill_libxml2);
  EXPECT_EQ(wrong.get(), nullptr);
  EXPECT_NE(wrong.error().find("xmlInitParser"), std::string::npos)
      << wrong.error();
}

}  // namespace
}  // namespace zarnex::xml
