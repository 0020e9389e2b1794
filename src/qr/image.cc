#include "qr/image.h"

#include "qr/png.h"
#include "qr/svg.h"

namespace zarnex::qr {

int render_symbol(std::string_view text, const Settings& settings,
                  std::string* image) {
  Symbol symbol;
  if (int status = make_symbol(text, settings.level, &symbol); status != 0)
    return status;
  if (settings.format == Format::kSvg) {
    *image = symbol_svg(symbol, settings.margin, settings.module_size);
    return 0;
  }
  return symbol_png(symbol, settings.margin, settings.module_size, image);
}

}  // namespace zarnex::qr
