#ifndef ZARNEX_API_FAILURE_H_
#define ZARNEX_API_FAILURE_H_

#include "zarnex/zarnex.hpp"

namespace zarnex::api {

/// The Result of a call that failed with @a status: the recorded error's
/// name, subject and text.
Result failure(int status);

}  // namespace zarnex::api

#endif  // ZARNEX_API_FAILURE_H_
