#include "cli/options.h"

#include <string>

#include "error/error.h"

namespace zarnex::cli {
namespace {

constexpr char kVersion[] = ZARNEX_VERSION;

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool is_option(std::string_view name, std::string_view long_name,
               std::string_view short_name) {
  return same_name(name, long_name) || same_name(name, short_name);
}

}  // namespace

std::pair<std::string_view, std::string_view> split_option(
    std::string_view argument) {
  std::size_t eq = argument.find('=');
  if (eq == std::string_view::npos) return {argument, std::string_view()};
  return {argument.substr(0, eq), argument.substr(eq + 1)};
}

ParsedOptions parse_options(int argc, const char* const* argv) {
  ParsedOptions parsed;
  if (argc <= 0) {
    parsed.action = ParsedOptions::Action::kUsage;
    return parsed;
  }
  Options& o = parsed.options;
  for (int i = 0; i < argc; ++i) {
    auto [name, value] = split_option(argv[i]);
    if (is_option(name, "--encode", "-e")) {
      o.mode = o.invoice_id ? Mode::kEncodeXmlWithId : Mode::kEncodeXml;
      if (!value.empty()) o.input = std::string(value);
    } else if (is_option(name, "--decode", "-d")) {
      o.mode = Mode::kDecodeToXml;
      if (!value.empty()) o.input = std::string(value);
    } else if (is_option(name, "--sequence", "-s")) {
      o.mode = Mode::kEncodeSequence;
      // The usage text advertises --sequence="<SEQUENCE>", so a value is
      // the input, as it is for --encode and --decode.
      if (!value.empty()) o.input = std::string(value);
    } else if (is_option(name, "--lines", "-l")) {
      o.bulk = true;
    } else if (is_option(name, "--invoice_id", "-i")) {
      o.invoice_id = true;
      if (o.mode == Mode::kEncodeXml) o.mode = Mode::kEncodeXmlWithId;
    } else if (is_option(name, "--format_stderr", "-f")) {
      o.format_stderr = true;
    } else if (is_option(name, "--help", "-h")) {
      parsed.action = ParsedOptions::Action::kHelp;
      return parsed;
    } else if (is_option(name, "--version", "-v")) {
      parsed.action = ParsedOptions::Action::kVersion;
      return parsed;
    } else {
      parsed.action = ParsedOptions::Action::kFail;
      parsed.message = "Unknown argument " + std::string(name) + ". \n";
      return parsed;
    }
  }
  // The sequence mode reads the invoice-id flag when it runs, so an -i on
  // either side of -s applies to it.
  if (o.mode == Mode::kEncodeSequence && o.invoice_id)
    o.mode = Mode::kEncodeSequenceWithId;
  if (o.mode == Mode::kNone) {
    parsed.action = ParsedOptions::Action::kFail;
    parsed.message = "Missing argument --encode or --decode. \n";
  }
  return parsed;
}

std::string usage_text() {
  std::string t;
  t += format_text(64, "Zarnex encoder tool. Version: %s\n", kVersion);
  t += "\nReads standard input and writes result to standard output. \n";
  t += "\nIf any error occur, error message will be written to standard error "
       "output. \n";
  t += "\nNOTE: Without closing the standard input, the tool will hang "
       "waiting. A workaround for this, is to write a EOT (byte with value 4) "
       "and EOL (new line) to the end of the input stream. \n";
  t += "\nUsage win32: zarnex.exe [optoins] > output\n";
  t += "\nUsage linux: ./zarnex [optoins] > output\n";
  t += format_text(64, "\n%s\tshort: %s\n", "--encode", "-e");
  t += "\tEncodes XML to base32hex string. Reads standard input.\n";
  t += format_text(128,
                   "\n%s=\"<Pay xsi:type='Pay'>...</Pay>\tshort: "
                   "%s=\"<Pay xsi:type='Pay'>...</Pay>\n",
                   "--encode", "-e");
  t += "\tEncodes XML to base32hex string. Make sure all special chars are "
       "properly escaped.\n";
  t += format_text(64, "\n%s\tshort: %s\n", "--decode", "-d");
  t += "\tDecodes base32hex string to XML. Reads standard input.\n";
  t += format_text(128,
                   "\n%s=\"<BASE32HEXSTRING>\"\tshort: %s=\"<BASE32HEXSTRING>\"\n",
                   "--decode", "-d");
  t += "\tDecodes base32hex string to XML. Make sure all special chars are "
       "properly escaped.\n";
  t += format_text(64, "\n%s\tshort: %s\n", "--sequence", "-s");
  t += format_text(128,
                   "\tEncode sequence to base32hex. Reads standard input, "
                   "sequences are separate by new line. Use with parameter "
                   "%s.\n",
                   "--lines");
  t += format_text(128, "\n%s=\"<SEQUENCE>\"\tshort: %s=\"<SEQUENCE>\"\n",
                   "--sequence", "-s");
  t += "\tEncodes sequence to base32hex. Make sure all special chars are "
       "properly escaped.\n";
  t += format_text(64, "\n%s\tshort: %s\n", "--lines", "-l");
  t += "\tFor bulk processing, reads data from standard input separated by "
       "newline.\n";
  t += format_text(64, "\n%s\tshort: %s\n", "--invoice_id", "-i");
  t += format_text(128,
                   "\tPrint invoice id before base32hex separated by tab. Can "
                   "be used with parameters %s and %s.\n",
                   "--sequence", "--lines");
  t += format_text(64, "\n%s\tshort: %s\n", "--format_stderr", "-f");
  t += "\tPrint errors as: <timestamp>\\t<input>\\t<error>\\n\n";
  return t;
}

std::string help_text() {
  std::string t = usage_text();
  t += "\nOptions beyond the usage above:\n";
  t += "\n--help\tshort: -h\n\tPrints this help and exits.\n";
  t += "\n--version\tshort: -v\n\tPrints the tool's name and version and exits.\n";
  t += "\nOption names ignore letter case. Exit status: 0 on success, 1 for an "
       "unknown or missing option, otherwise the error's code (see the manual "
       "page, zarnex(1)).\n";
  return t;
}

std::string version_text() {
  return format_text(32, "zarnex %s\n", kVersion);
}

}  // namespace zarnex::cli
