#ifndef ZARNEX_XML_XML_TEST_UTIL_H_
#define ZARNEX_XML_XML_TEST_UTIL_H_

// Helpers shared by the tests of xml/. Used by tests only.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "error/error.h"
#include "model/document.h"
#include "xml/libxml.h"
#include "xml/xml.h"

namespace zarnex::xml::testing {

/// The declaration and root start tag the writer puts before every body.
inline std::string RootStart(std::string_view root, std::string_view type) {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?><") +
         std::string(root) +
         " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
         " xsi:type=\"" +
         std::string(type) + "\" xmlns=\"urn:zarnex:document:1\">";
}

/// A whole written document: declaration, root element and @a body.
inline std::string Written(std::string_view root, std::string_view type,
                           std::string_view body) {
  return RootStart(root, type) + std::string(body) + "</" + std::string(root) +
         ">";
}

/// A tree parsed straight with libxml2, for the element-level operations.
struct ParsedXml {
  explicit ParsedXml(std::string_view text)
      : doc(libxml2()->xmlReadMemory(text.data(),
                                     static_cast<int>(text.size()),
                                     "noname.xml", nullptr, 0)),
        root(doc ? loaded_libxml2().xmlDocGetRootElement(doc.get())
                 : nullptr) {}
  XmlDocPtr doc;
  const xmlNode* root;
};

/// Fixture for tests that check the process-wide error state.
class XmlTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  /// Reads @a text, expecting success and a document.
  static DocumentPtr Read(std::string_view text) {
    DocumentPtr document;
    EXPECT_EQ(document_from_xml(text, &document), 0) << error_text();
    EXPECT_NE(document, nullptr);
    return document;
  }

  /// Reads @a text, expecting failure with @a code and no document; returns
  /// the error text.
  static std::string ReadError(std::string_view text, int code = 9) {
    DocumentPtr document;
    EXPECT_EQ(document_from_xml(text, &document), code);
    EXPECT_EQ(document, nullptr);
    return error_text();
  }

  /// Writes @a document, expecting success.
  static std::string Write(const Document& document) {
    std::string text;
    EXPECT_EQ(document_to_xml(document, &text), 0) << error_text();
    return text;
  }

  /// Reads, writes, reads the output and writes again: both outputs must be
  /// equal and well-formed. Returns the first output.
  static std::string RoundTrip(std::string_view text) {
    DocumentPtr first = Read(text);
    if (first == nullptr) return std::string();
    std::string written = Write(*first);
    ParsedXml parsed(written);
    EXPECT_NE(parsed.root, nullptr) << "not well-formed: " << written;
    DocumentPtr second = Read(written);
    if (second == nullptr) return written;
    EXPECT_EQ(second->header, first->header);
    EXPECT_EQ(Write(*second), written);
    return written;
  }
};

}  // namespace zarnex::xml::testing

#endif  // ZARNEX_XML_XML_TEST_UTIL_H_
