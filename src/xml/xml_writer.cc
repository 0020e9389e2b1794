#include "xml/xml_writer.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

#include "code/number.h"
#include "error/error.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"
#include "xml/kinds.h"
#include "xml/xml.h"

namespace zarnex::xml {
namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
static_assert(sizeof kDeclaration - 1 == 38, "the declaration is 38 bytes");

constexpr char kSchemaInstanceNamespace[] =
    "http://www.w3.org/2001/XMLSchema-instance";

void append_start_tag(std::string& out, const char* name) {
  out.append(1, '<').append(name).append(1, '>');
}

void append_end_tag(std::string& out, const char* name) {
  out.append("</").append(name).append(1, '>');
}

// Character data with the three characters that XML reserves there escaped.
// A carriage return is written as a character reference: a parser turns a
// literal one into a line feed, so the text would not read back unchanged.
void append_escaped(std::string& out, std::string_view text) {
  std::size_t done = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* reference = nullptr;
    switch (text[i]) {
      case '&': reference = "&amp;"; break;
      case '<': reference = "&lt;"; break;
      case '>': reference = "&gt;"; break;
      case '\r': reference = "&#13;"; break;
      default: continue;
    }
    out.append(text, done, i - done).append(reference);
    done = i + 1;
  }
  out.append(text, done, std::string_view::npos);
}

void append_element(std::string& out, const char* name,
                    std::string_view content) {
  append_start_tag(out, name);
  out.append(content);
  append_end_tag(out, name);
}

}  // namespace

void xml_write_string(std::string& out, const char* name,
                      const StringValue& value) {
  if (is_blank(value)) return;
  append_start_tag(out, name);
  append_escaped(out, *value);
  append_end_tag(out, name);
}

void xml_write_int(std::string& out, const char* name, const IntValue& value) {
  if (!value) return;
  // The same text as printf "%i", without a heap allocation.
  char digits[16];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, *value);
  append_element(out, name, std::string_view(digits, end - digits));
}

void xml_write_decimal(std::string& out, const char* name,
                       const DecimalValue& value) {
  if (!value) return;
  append_element(out, name, code::format_decimal(*value));
}

void xml_write_enum(std::string& out, const char* name, const IntValue& value,
                    NameTable names) {
  if (!value || *value < 0 || static_cast<std::size_t>(*value) >= names.size())
    return;
  const char* text = names[static_cast<std::size_t>(*value)];
  if (text == nullptr || *text == '\0') return;
  append_element(out, name, text);
}

void xml_write_code(std::string& out, const char* name,
                    const StringValue& code, NameTable names,
                    NameTable codes) {
  if (!code) return;
  for (std::size_t i = 0; i < codes.size() && i < names.size(); ++i) {
    if (codes[i] == nullptr || *code != codes[i]) continue;
    if (names[i] != nullptr && *names[i] != '\0')
      append_element(out, name, names[i]);
    return;
  }
}

void xml_write_flags(std::string& out, const char* name,
                     const IntValue& value, NameTable names) {
  if (!value) return;
  const auto bits = static_cast<std::uint32_t>(*value);
  const std::size_t start = out.size();
  append_start_tag(out, name);
  const std::size_t content = out.size();
  for (std::size_t i = 0; i < names.size() && i < 32; ++i) {
    if ((bits & (std::uint32_t{1} << i)) == 0 || names[i] == nullptr) continue;
    if (out.size() != content) out.append(1, ' ');
    out.append(names[i]);
  }
  if (out.size() == content) {
    out.resize(start);
    return;
  }
  append_end_tag(out, name);
}

void xml_write_strings(
    std::string& out,
    std::initializer_list<std::pair<const char*, const StringValue*>> fields) {
  for (const auto& [name, value] : fields) xml_write_string(out, name, *value);
}

void xml_write_decimals(
    std::string& out,
    std::initializer_list<std::pair<const char*, const DecimalValue*>> fields) {
  for (const auto& [name, value] : fields)
    xml_write_decimal(out, name, *value);
}

int document_to_xml(const Document& document, std::string* out) {
  const DocumentHeader& header = document.header;
  const char* root = nullptr;
  const char* type_name = nullptr;
  const Pay* pay = nullptr;
  const Invoice* invoice = nullptr;
  const InvoiceItems* items = nullptr;
  // The header decides the kind; a header that does not match the record it
  // sits in names no kind that can be written.
  switch (header.type()) {
    case static_cast<int>(DocumentType::kPay):
      pay = dynamic_cast<const Pay*>(&document);
      if (header.sub_kind() == 0 && pay != nullptr) root = type_name = "Pay";
      break;
    case static_cast<int>(DocumentType::kInvoice):
      if (static_cast<std::size_t>(header.sub_kind()) >=
          std::size(kInvoiceTypeNames))
        return set_error(ErrorCode::kXml, "Error wrong invoice document type");
      invoice = dynamic_cast<const Invoice*>(&document);
      if (invoice != nullptr) {
        root = "Invoice";
        type_name = kInvoiceTypeNames[header.sub_kind()];
      }
      break;
    case static_cast<int>(DocumentType::kInvoiceItems):
      items = dynamic_cast<const InvoiceItems*>(&document);
      if (header.sub_kind() == 0 && items != nullptr)
        root = type_name = "InvoiceItems";
      break;
    default:
      break;
  }
  if (root == nullptr)
    return set_error(ErrorCode::kXml, "Error in getting root and type");
  // Only version 0 has a known layout; nothing else is written as if it were.
  if (header.version() != 0)
    return set_error(ErrorCode::kXml, "Unsupported document version. ");

  std::string text;
  text.reserve(1024);
  text.append(kDeclaration);
  text.append(1, '<').append(root);
  text.append(" xmlns:xsi=\"").append(kSchemaInstanceNamespace);
  text.append("\" xsi:type=\"").append(type_name);
  text.append("\" xmlns=\"").append(kDocumentNamespace).append("\">");
  if (pay != nullptr) {
    pay_to_xml(text, *pay);
  } else if (invoice != nullptr) {
    invoice_to_xml(text, *invoice);
  } else {
    invoice_items_to_xml(text, *items);
  }
  append_end_tag(text, root);
  if (out != nullptr) *out = std::move(text);
  return 0;
}

}  // namespace zarnex::xml
