#include "xml/libxml.h"

#include "platform/shared_library.h"

namespace zarnex::xml {

void fill_libxml2(platform::SharedLibrary& library, LibXml2& table) {
  library.resolve("xmlInitParser", table.xmlInitParser);
  library.resolve("xmlSetGenericErrorFunc", table.xmlSetGenericErrorFunc);
  library.resolve("xmlSetStructuredErrorFunc", table.xmlSetStructuredErrorFunc);
  library.resolve("__xmlGenericError", table.__xmlGenericError);
  library.resolve("__xmlGenericErrorContext", table.__xmlGenericErrorContext);
  library.resolve("__xmlStructuredError", table.__xmlStructuredError);
  library.resolve("__xmlStructuredErrorContext", table.__xmlStructuredErrorContext);
  library.resolve("__xmlLastError", table.__xmlLastError);
  library.resolve("xmlCopyError", table.xmlCopyError);
  library.resolve("xmlResetError", table.xmlResetError);
  library.resolve("xmlReadMemory", table.xmlReadMemory);
  library.resolve("xmlDocGetRootElement", table.xmlDocGetRootElement);
  library.resolve("xmlGetProp", table.xmlGetProp);
  library.resolve("xmlNodeListGetString", table.xmlNodeListGetString);
  library.resolve("xmlGetDocEntity", table.xmlGetDocEntity);
  library.resolve("xmlFreeDoc", table.xmlFreeDoc);
  library.resolve("xmlStrcmp", table.xmlStrcmp);
  library.resolve("xmlGetLineNo", table.xmlGetLineNo);
  library.resolve("xmlFree", table.xmlFree);
}

const LibXml2* libxml2(std::string* why) {
  // libxml2's one-time set-up is done with the loading, before threads
  // parse at once.
  static const platform::LibraryTable<LibXml2> loaded(
      ZARNEX_LIBXML2_SONAME, [](platform::SharedLibrary& library, LibXml2& table) {
        fill_libxml2(library, table);
        if (library.ok()) table.xmlInitParser();
      });
  return loaded.get(why);
}

}  // namespace zarnex::xml
