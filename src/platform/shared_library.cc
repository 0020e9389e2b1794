#include "platform/shared_library.h"

#include <dlfcn.h>

namespace zarnex::platform {

SharedLibrary::SharedLibrary(const char* soname) {
  // RTLD_NOW: a missing function shows now, not as a crash on first call.
  // RTLD_LOCAL: the library's names do not mix with those of libraries
  // loaded later.
  handle_ = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
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
