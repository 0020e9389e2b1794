#ifndef ZARNEX_PLATFORM_SHARED_LIBRARY_H_
#define ZARNEX_PLATFORM_SHARED_LIBRARY_H_

// Libraries that only some operations need (libxml2 to read XML, libqrencode
// and libpng to draw QR symbols) are loaded when first needed rather than by
// the dynamic loader at start: a process that only decodes does not pay for
// loading libxml2 and ICU, which took longer than decoding a code.

#include <string>

namespace zarnex::platform {

/// A shared library loaded with dlopen() and kept loaded for the rest of the
/// process (the functions taken from it stay valid).
class SharedLibrary {
 public:
  /// Loads the library named @a soname (a file name such as
  /// "libxml2.so.2", searched where the dynamic loader searches).
  explicit SharedLibrary(const char* soname);
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  /// Sets @a symbol to the library's @a name, or to nullptr when the library
  /// or the name is missing; then ok() turns false and error() says why.
  template <typename T>
  void resolve(const char* name, T*& symbol) {
    void* address = find(name);
    static_assert(sizeof address == sizeof symbol);
    // POSIX guarantees that a symbol's address converts to a function or
    // object pointer of its type.
    symbol = reinterpret_cast<T*>(address);
  }

  /// True when the library and every name resolved so far were found.
  bool ok() const { return error_.empty(); }
  /// Why the library or a name could not be found (first failure only).
  const std::string& error() const { return error_; }

 private:
  void* find(const char* name);

  void* handle_ = nullptr;
  std::string error_;
};

/// The functions of one library, loaded and resolved when the object is
/// made: @a fill resolves each entry of the table (a struct of function
/// pointers) from the library. Made once per process as a function's static
/// object, so that the first caller loads it and the others wait for it.
template <typename Table>
class LibraryTable {
 public:
  using Fill = void (*)(SharedLibrary& library, Table& table);

  LibraryTable(const char* soname, Fill fill) : library_(soname) {
    fill(library_, table_);
  }

  /// The table, or nullptr when the library or one of its names is missing;
  /// then the reason goes to @a why (when given).
  const Table* get(std::string* why = nullptr) const {
    if (library_.ok()) return &table_;
    if (why != nullptr) *why = library_.error();
    return nullptr;
  }
  /// Why get() is nullptr.
  const std::string& error() const { return library_.error(); }

 private:
  SharedLibrary library_;
  Table table_{};
};

}  // namespace zarnex::platform

#endif  // ZARNEX_PLATFORM_SHARED_LIBRARY_H_
