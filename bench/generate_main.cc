// zarnex_generate: writes generated documents, one per line, for benchmarks
// and smoke runs.
//
//   zarnex_generate [--seed=N] [--count=N] [--kind=mixed|pay|invoice|proforma|
//                   credit|debit|advance|items]
//                   [--output=xml|json|sequence|code]
//
// --output=sequence writes field-sequence lines (type digit, tab, sub-kind
// digit, tab, field sequence) as `zarnex --sequence --lines` reads them;
// --output=json writes the documents in their JSON form, as
// `zarnex --encode --json --lines` reads them; --output=code writes the codes
// the library makes of the documents.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "bench/generator.h"
#include "code/envelope.h"
#include "code/field_sequence.h"
#include "error/error.h"
#include "json/json.h"
#include "xml/xml.h"

namespace {

enum class Output { kXml, kJson, kSequence, kCode };

struct Settings {
  std::uint64_t seed = 1;
  long count = 10000;
  std::optional<zarnex::bench::Kind> kind;  // mixed when empty
  Output output = Output::kXml;
};

int usage() {
  std::fputs(
      "usage: zarnex_generate [--seed=N] [--count=N] "
      "[--kind=mixed|pay|invoice|proforma|credit|debit|advance|items] "
      "[--output=xml|json|sequence|code]\n",
      stderr);
  return 1;
}

bool parse(int argc, char** argv, Settings& settings) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const std::size_t eq = arg.find('=');
    if (eq == std::string_view::npos) return false;
    const std::string_view name = arg.substr(0, eq);
    const std::string value(arg.substr(eq + 1));
    if (name == "--seed") {
      settings.seed = std::strtoull(value.c_str(), nullptr, 10);
    } else if (name == "--count") {
      settings.count = std::strtol(value.c_str(), nullptr, 10);
    } else if (name == "--kind") {
      if (value == "mixed") continue;
      settings.kind = zarnex::bench::kind_from_name(value);
      if (!settings.kind) return false;
    } else if (name == "--output") {
      if (value == "xml") {
        settings.output = Output::kXml;
      } else if (value == "json") {
        settings.output = Output::kJson;
      } else if (value == "sequence") {
        settings.output = Output::kSequence;
      } else if (value == "code") {
        settings.output = Output::kCode;
      } else {
        return false;
      }
    } else {
      return false;
    }
  }
  return true;
}

// The line to write for one generated document, or an empty text after a
// library failure (reported on standard error).
std::string convert(const std::string& xml, Output output) {
  if (output == Output::kXml) return xml;
  zarnex::DocumentPtr document;
  if (zarnex::xml::document_from_xml(xml, &document) != 0 || !document) return {};
  if (output == Output::kJson) {
    std::string json;
    if (zarnex::json::document_to_json(*document, &json) != 0) return {};
    return json;
  }
  if (output == Output::kCode) {
    std::string code;
    if (zarnex::code::encode_document(document.get(), &code) != 0) return {};
    return code;
  }
  zarnex::code::FieldSequence sequence;
  if (zarnex::code::write_document(sequence, document.get()) != 0) return {};
  std::string line;
  line.push_back(static_cast<char>('0' + sequence.header.type()));
  line.push_back('\t');
  line.push_back(static_cast<char>('0' + sequence.header.sub_kind()));
  line.push_back('\t');
  line.append(zarnex::code::join(sequence));
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  if (!parse(argc, argv, settings)) return usage();
  zarnex::bench::DocumentGenerator generator(settings.seed);
  try {
    for (long i = 0; i < settings.count; ++i) {
      const std::string xml =
          settings.kind ? generator.next(*settings.kind) : generator.next();
      std::string line = convert(xml, settings.output);
      if (line.empty()) {
        std::fprintf(stderr, "zarnex_generate: %s\n%s\n",
                     zarnex::error_text().c_str(), xml.c_str());
        return 2;
      }
      line.push_back('\n');
      std::fwrite(line.data(), 1, line.size(), stdout);
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "zarnex_generate: %s\n", failure.what());
    return 2;
  }
  return std::fflush(stdout) == 0 ? 0 : 2;
}
