#include "cli/options.h"

#include <charconv>
#include <string>
#include <utility>

#include "cli/symbol_file.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {
namespace {

// The heading of an option in the usage text: "\n--lines\tshort: -l\n".
std::string option_heading(std::string_view long_name, std::string_view short_name) {
  std::string heading = "\n";
  heading.append(long_name).append("\tshort: ").append(short_name).append("\n");
  return heading;
}

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

// The first parts of the error lines of the QR options; each line starts
// with "ERROR_QR".
constexpr char kUnknownFormat[] = ": Unknown QR symbol format";
constexpr char kUnknownLevel[] = ": Unknown QR error-correction level";
constexpr char kBadModuleSize[] = ": Invalid QR module size";
constexpr char kBadMargin[] = ": Invalid QR quiet zone";
constexpr char kMissingPath[] =
    ": The option --qr needs a file or folder name, as in --qr=code.png.";
constexpr char kQrWithDecode[] =
    ": The option --qr draws the codes that encoding produces; it cannot be "
    "used with --decode.";

// A whole number from @a low to @a high, and nothing else.
std::optional<int> parse_count(std::string_view text, int low, int high) {
  int n = 0;
  const char* end = text.data() + text.size();
  auto [stop, ec] = std::from_chars(text.data(), end, n);
  if (text.empty() || ec != std::errc() || stop != end || n < low || n > high)
    return std::nullopt;
  return n;
}

// The error text of a QR option's bad value:
// "ERROR_QR: Invalid QR module size '0': expected a whole number ...".
std::string bad_value(const char* subject, std::string_view value,
                      std::string_view expected) {
  std::string detail = " '";
  detail.append(value).append("': expected ").append(expected).append(". ");
  return error_text(static_cast<int>(Error::kQr), subject, detail);
}

// Applies one of the QR options to @a qr. Returns false when @a name is none
// of them; sets @a failure to the error text of a bad value.
bool apply_qr_option(std::string_view name, std::string_view value, QrOutput& qr,
                     std::optional<QrFormat>& format, bool& given,
                     std::string& failure) {
  if (same_name(name, "--qr")) {
    given = true;
    qr.path = std::string(value);
  } else if (same_name(name, "--qr_format")) {
    format = format_from_name(value);
    if (!format) failure = bad_value(kUnknownFormat, value, "svg or png");
  } else if (same_name(name, "--qr_level")) {
    std::optional<QrLevel> level = level_from_name(value);
    if (level)
      qr.settings.level = *level;
    else
      failure = bad_value(kUnknownLevel, value, "L, M, Q or H");
  } else if (same_name(name, "--qr_module")) {
    std::optional<int> size = parse_count(value, 1, kMaxQrModuleSize);
    if (size)
      qr.settings.module_size = *size;
    else
      failure = bad_value(kBadModuleSize, value,
                          "a whole number of pixels from 1 to 64");
  } else if (same_name(name, "--qr_margin")) {
    std::optional<int> margin = parse_count(value, 0, kMaxQrMargin);
    if (margin)
      qr.settings.margin = *margin;
    else
      failure = bad_value(kBadMargin, value,
                          "a whole number of modules from 0 to 64");
  } else {
    return false;
  }
  return true;
}

// Checks --qr against the mode and settles the image format: the one given
// with --qr_format, else PNG for a folder in bulk mode, else the one the
// file name's extension names. Returns the error text of a failure, or an
// empty text.
std::string settle_qr(Options& o, std::optional<QrFormat> format) {
  constexpr int kQr = static_cast<int>(Error::kQr);
  if (o.qr.path.empty()) return error_text(kQr, kMissingPath);
  if (o.mode == Mode::kDecodeToXml) return error_text(kQr, kQrWithDecode);
  if (!format) format = o.bulk ? QrFormat::kPng : format_from_path(o.qr.path);
  if (!format) {
    return error_text(kQr, kUnknownFormat,
                      " of file '" + o.qr.path +
                          "': name it .svg or .png, or give "
                          "--qr_format=svg or --qr_format=png. ");
  }
  o.qr.settings.format = *format;
  return std::string();
}

void fail_with_error_line(ParsedOptions& parsed, std::string text) {
  parsed.action = ParsedOptions::Action::kFail;
  parsed.message = std::move(text) + "\n";
  parsed.status = static_cast<int>(Error::kQr);
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
  bool qr_given = false;
  std::optional<QrFormat> qr_format;
  for (int i = 0; i < argc; ++i) {
    auto [name, value] = split_option(argv[i]);
    std::string qr_failure;
    if (apply_qr_option(name, value, o.qr, qr_format, qr_given, qr_failure)) {
      if (!qr_failure.empty()) {
        fail_with_error_line(parsed, std::move(qr_failure));
        return parsed;
      }
    } else if (is_option(name, "--encode", "-e")) {
      o.mode = o.invoice_id ? Mode::kEncodeXmlWithId : Mode::kEncodeXml;
      if (!value.empty()) {
        o.input = std::string(value);
        o.input_path.clear();
      }
    } else if (same_name(name, "--check")) {
      o.mode = Mode::kCheck;
      if (!value.empty()) {
        o.input = std::string(value);
        o.input_path.clear();
      }
    } else if (same_name(name, "--strict")) {
      o.strict = true;
    } else if (is_option(name, "--decode", "-d")) {
      o.mode = Mode::kDecodeToXml;
      if (!value.empty()) {
        o.input = std::string(value);
        o.input_path.clear();
      }
    } else if (is_option(name, "--sequence", "-s")) {
      o.mode = Mode::kEncodeSequence;
      // The usage text advertises --sequence="<SEQUENCE>", so a value is
      // the input, as it is for --encode and --decode.
      if (!value.empty()) {
        o.input = std::string(value);
        o.input_path.clear();
      }
    } else if (same_name(name, "--input") || same_name(name, "--output")) {
      const bool is_input = same_name(name, "--input");
      if (value.empty()) {
        parsed.action = ParsedOptions::Action::kFail;
        parsed.message = std::string("The option ") + (is_input ? "--input" : "--output") +
                         " needs a file name, or - for the standard stream. \n";
        return parsed;
      }
      if (is_input) {
        // The last input given counts: a file, or an option's value.
        o.input_path = std::string(value);
        o.input.reset();
      } else {
        o.output_path = std::string(value);
      }
    } else if (same_name(name, "--threads")) {
      std::optional<int> threads = parse_count(value, 0, kMaxThreads);
      if (!threads) {
        parsed.action = ParsedOptions::Action::kFail;
        parsed.message =
            "The option --threads needs a whole number from 0 (one thread per "
            "processor) to 1024, as in --threads=4. \n";
        return parsed;
      }
      o.threads = *threads;
    } else if (same_name(name, "--report")) {
      if (value.empty()) {
        parsed.action = ParsedOptions::Action::kFail;
        parsed.message =
            "The option --report needs a file name, as in --report=report.jsonl. \n";
        return parsed;
      }
      o.report_path = std::string(value);
    } else if (same_name(name, "--fail_on_error")) {
      o.fail_on_error = true;
    } else if (same_name(name, "--progress")) {
      o.progress = true;
    } else if (is_option(name, "--lines", "-l")) {
      o.bulk = true;
    } else if (is_option(name, "--invoice_id", "-i")) {
      o.invoice_id = true;
      if (o.mode == Mode::kEncodeXml) o.mode = Mode::kEncodeXmlWithId;
    } else if (is_option(name, "--format_stderr", "-f")) {
      o.format_stderr = true;
    } else if (same_name(name, "--json")) {
      o.json = true;
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
    return parsed;
  }
  if (!o.report_path.empty() && (!o.bulk || o.mode == Mode::kCheck)) {
    parsed.action = ParsedOptions::Action::kFail;
    parsed.message =
        "The option --report lists the lines of a bulk run: use it with --lines "
        "and --encode, --decode or --sequence. \n";
    return parsed;
  }
  if (qr_given) {
    if (std::string failure = settle_qr(o, qr_format); !failure.empty())
      fail_with_error_line(parsed, std::move(failure));
  }
  return parsed;
}

std::string usage_text() {
  std::string t;
  t += "Zarnex encoder tool. Version: ";
  t += version();
  t += "\n";
  t += "\nReads standard input and writes result to standard output. \n";
  t += "\nIf any error occur, error message will be written to standard error "
       "output. \n";
  t += "\nNOTE: Without closing the standard input, the tool will hang "
       "waiting. A workaround for this, is to write a EOT (byte with value 4) "
       "and EOL (new line) to the end of the input stream. \n";
  t += "\nUsage win32: zarnex.exe [optoins] > output\n";
  t += "\nUsage linux: ./zarnex [optoins] > output\n";
  t += option_heading("--encode", "-e");
  t += "\tEncodes XML to base32hex string. Reads standard input.\n";
  t += "\n--encode=\"<Pay xsi:type='Pay'>...</Pay>\tshort: "
       "-e=\"<Pay xsi:type='Pay'>...</Pay>\n";
  t += "\tEncodes XML to base32hex string. Make sure all special chars are "
       "properly escaped.\n";
  t += option_heading("--decode", "-d");
  t += "\tDecodes base32hex string to XML. Reads standard input.\n";
  t += "\n--decode=\"<BASE32HEXSTRING>\"\tshort: -d=\"<BASE32HEXSTRING>\"\n";
  t += "\tDecodes base32hex string to XML. Make sure all special chars are "
       "properly escaped.\n";
  t += option_heading("--sequence", "-s");
  t += "\tEncode sequence to base32hex. Reads standard input, sequences are "
       "separate by new line. Use with parameter --lines.\n";
  t += "\n--sequence=\"<SEQUENCE>\"\tshort: -s=\"<SEQUENCE>\"\n";
  t += "\tEncodes sequence to base32hex. Make sure all special chars are "
       "properly escaped.\n";
  t += option_heading("--lines", "-l");
  t += "\tFor bulk processing, reads data from standard input separated by "
       "newline.\n";
  t += option_heading("--invoice_id", "-i");
  t += "\tPrint invoice id before base32hex separated by tab. Can be used "
       "with parameters --sequence and --lines.\n";
  t += option_heading("--format_stderr", "-f");
  t += "\tPrint errors as: <timestamp>\\t<input>\\t<error>\\n\n";
  return t;
}

std::string help_text() {
  std::string t = usage_text();
  t += "\nOptions beyond the usage above:\n";
  t += "\n--help\tshort: -h\n\tPrints this help and exits.\n";
  t += "\n--version\tshort: -v\n\tPrints the tool's name and version and exits.\n";
  t += "\n--json\n"
       "\tJSON documents instead of XML: --encode reads a JSON document (one per\n"
       "\tline with --lines), --decode writes one line of JSON. The JSON form\n"
       "\tmirrors the XML element tree; see docs/json.md. No effect on\n"
       "\t--sequence.\n";
  t += "\n--strict\n"
       "\tStrict reading for --encode and --check (XML and JSON): refuses\n"
       "\tunknown or repeated elements, elements outside the namespace\n"
       "\turn:zarnex:document:1, unknown flag words, text where elements\n"
       "\tbelong, dates not in the calendar, IBANs with wrong check digits or\n"
       "\tlength, malformed BICs, unknown currency and country codes and\n"
       "\tdecimals of more than eight places. No effect on --decode and\n"
       "\t--sequence.\n";
  t += "\n--check[=<XML>]\n"
       "\tReads and validates the input without encoding it and writes every\n"
       "\tproblem found, one line each (PATH:LINE: ERROR_NAME: message; with\n"
       "\t--lines prefixed by the input line's number), then a count. Exit\n"
       "\tstatus 0 when there is none, else the first problem's code.\n";
  t += "\n--input=PATH\n"
       "\tReads the input from the file PATH instead of standard input (- for\n"
       "\tstandard input), in single and bulk mode. The last input given counts:\n"
       "\ta value after --encode=, --decode= or --sequence= replaces the file.\n";
  t += "\n--output=PATH\n"
       "\tWrites the results to the file PATH instead of standard output (- for\n"
       "\tstandard output). The file is written under a temporary name and\n"
       "\trenamed when the run has succeeded, so a failed run leaves PATH as it\n"
       "\twas. Only a regular file, or a symbolic link to one, is replaced.\n";
  t += "\n--qr=PATH\n"
       "\tAlso writes each produced code as a QR symbol (alphanumeric mode).\n"
       "\tSingle mode: PATH is the image file; its extension .svg or .png picks\n"
       "\tthe format. With --lines: PATH is a folder, created if missing, with one\n"
       "\timage per successful line, named by the input line number (000017.png)\n"
       "\tand with --invoice_id also by the InvoiceID (000017-INV-1.png).\n"
       "\tStandard output stays the same. A symbol that cannot be written gives\n"
       "\tan ERROR_QR error line (single mode: exit status 11). Not with --decode.\n";
  t += "\n--qr_format=svg|png\n"
       "\tThe image format, whatever the file name says. Default: the file's\n"
       "\textension; png for a folder.\n";
  t += "\n--qr_level=L|M|Q|H\n"
       "\tError-correction level: about 7, 15, 25 or 30 % of the symbol may be\n"
       "\tdamaged. Default: M.\n";
  t += "\n--qr_module=N\n"
       "\tPixels per module, 1 to 64 (the PNG's scale, the SVG's natural size).\n"
       "\tDefault: 4.\n";
  t += "\n--qr_margin=N\n"
       "\tThe white quiet zone around the symbol, 0 to 64 modules. Default: 4.\n";
  t += "\n--threads=N\n"
       "\tWith --lines (--encode, --decode, --sequence): converts the lines on N\n"
       "\tthreads, 0 for one per processor. The output, the error lines, the\n"
       "\tQR files and the report are the same as with one thread, in input\n"
       "\torder. Default: 1.\n";
  t += "\n--report=PATH\n"
       "\tWith --lines: writes PATH with one JSON object per line that was not\n"
       "\tblank (line number, status 0 or the error code, and the error name and\n"
       "\tmessage of a failed line, the InvoiceID of a document that has one),\n"
       "\tthen one summary object (lines read, succeeded, failed, skipped).\n";
  t += "\n--fail_on_error\n"
       "\tWith --lines: exit status of the first line that failed instead of 0\n"
       "\t(the results of every line are written all the same).\n";
  t += "\n--progress\n"
       "\tWith --lines, while standard error is a terminal: one progress line\n"
       "\t(lines done, lines per second, and for an input file its share done\n"
       "\tand the time left), redrawn a few times a second and erased at the end.\n";
  t += "\nOption names ignore letter case. Exit status: 0 on success, 1 for an "
       "unknown or missing option, 11 (ERROR_QR) for a bad value of a QR "
       "option, 12 (ERROR_STREAM) when standard input cannot be read, the "
       "result cannot be written to standard output or the input is longer "
       "than 64 MiB (also in bulk mode, where a longer line is only refused), "
       "13 (ERROR_JSON) for --json input that is not well-formed JSON or has "
       "values of the wrong JSON type, "
       "otherwise the error's code (see the manual page, zarnex(1)).\n";
  return t;
}

std::string version_text() {
  return std::string("zarnex ") + version() + "\n";
}

}  // namespace zarnex::cli
