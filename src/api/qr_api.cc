// QR symbols of codes in memory, through the public interface.

#include <string>
#include <utility>

#include "api/failure.h"
#include "base/format_text.h"
#include "error/error.h"
#include "qr/image.h"
#include "qr/symbol.h"
#include "zarnex/zarnex.hpp"

namespace zarnex {
namespace {

using api::failure;

// A value out of range, in the words of the tool's --qr options
// (": Invalid QR module size '0': expected a whole number of pixels from 1
// to 64. ").
int bad_value(const char* subject, int value, const char* expected) {
  return set_error_detail_owned(
      ErrorCode::kQr, subject,
      format_text(64, " '%d': expected %s. ", value, expected));
}

// The drawing settings of @a options, or ERROR_QR recorded for a value out
// of range.
int settings_of(const QrOptions& options, qr::Settings* settings) {
  switch (options.format) {
    case QrFormat::kSvg: settings->format = qr::Format::kSvg; break;
    case QrFormat::kPng: settings->format = qr::Format::kPng; break;
    default:
      return bad_value(": Unknown QR symbol format",
                       static_cast<int>(options.format), "svg (0) or png (1)");
  }
  switch (options.level) {
    case QrLevel::kL: settings->level = qr::Level::kL; break;
    case QrLevel::kM: settings->level = qr::Level::kM; break;
    case QrLevel::kQ: settings->level = qr::Level::kQ; break;
    case QrLevel::kH: settings->level = qr::Level::kH; break;
    default:
      return bad_value(": Unknown QR error-correction level",
                       static_cast<int>(options.level), "L, M, Q or H");
  }
  if (options.module_size < 1 || options.module_size > kMaxQrModuleSize)
    return bad_value(": Invalid QR module size", options.module_size,
                     "a whole number of pixels from 1 to 64");
  if (options.margin < 0 || options.margin > kMaxQrMargin)
    return bad_value(": Invalid QR quiet zone", options.margin,
                     "a whole number of modules from 0 to 64");
  settings->module_size = options.module_size;
  settings->margin = options.margin;
  return 0;
}

}  // namespace

Result render_qr(std::string_view code, const QrOptions& options) {
  qr::Settings settings;
  if (int status = settings_of(options, &settings); status != 0)
    return failure(status);
  Result result;
  if (int status = qr::render_symbol(code, settings, &result.output); status != 0)
    return failure(status);
  return result;
}

}  // namespace zarnex
