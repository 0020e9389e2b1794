#include "platform/shared_library.h"

#include <dlfcn.h>

namespace zarnex::platform {

SharedLibrary::SharedLibrary(const char* soname) {
  // RTLD_LAZY: the libraries it brings along bind their functions on first
  // call, as at the start of a process (libstdc++, which ICU loads, has
  // thousands); the functions taken from it are looked up now, by
  // resolve(). RTLD_LOCAL: its names do not mix with those of libraries
  // loaded later.
  handle_ = dlopen(soname, RTLD_LAZY | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    error_ = why != nullptr ? why : std::string("cannot load ") + soname;
  }
}

void* SharedLibrary::find(const char* name) {
  if (handle_ == nullptr) return nullptr;
  dlerror();  // clear an earlier failure
  void* address = dlsym(handle_, name);
  if (address == nullptr && error_.empty()) {
    const char* why = dlerror();
    error_ = why != nullptr ? why : std::string("undefined symbol: ") + name;
  }
  return address;
}

}  // namespace zarnex::platform
