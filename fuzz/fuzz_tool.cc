// Helpers around the fuzz targets, on the ordinary (uninstrumented) library:
//
//   zarnex_fuzz_tool seeds OUT_DIR FILE...
//   zarnex_fuzz_tool show FILE...
//   zarnex_fuzz_tool seal HEADER_HEX SEQUENCE_FILE
//
// "seeds" writes the seed corpora of the fuzz targets from example documents
// and field-sequence lines.
// An XML file gives OUT_DIR/encode/<name> (the XML itself), OUT_DIR/decode/
// <name> (its code), OUT_DIR/sequence/<name> (its field-sequence line) and
// both forms under OUT_DIR/round_trip/. A file of field-sequence lines (any
// file not ending in .xml) gives one sequence seed per line and the codes of
// the lines that encode. fuzz/make-corpus.sh runs it on examples/.
//
// "show" explains inputs (crash files, say): the header and field sequence of
// an input that is an intact code (TABs shown as " | "), the XML it decodes
// to, and what each target's entry point says about it.
//
// "seal" prints the code of a header (4 hex digits, "0000" for a Pay) and a
// field sequence with a correct checksum, to make regression inputs that get
// past the envelope checks.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "code/envelope.h"
#include "code/field_sequence.h"
#include "fuzz/code_mutator.h"
#include "fuzz/entry_points.h"
#include "model/document.h"
#include "xml/xml.h"
#include "zarnex/zarnex.hpp"

namespace {

namespace fs = std::filesystem;

bool write_file(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return static_cast<bool>(out);
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The field-sequence input line of a document: type, tab, sub-kind, tab,
// the joined sequence.
std::string sequence_line(const zarnex::Document& document) {
  zarnex::code::FieldSequence sequence;
  if (zarnex::code::write_document(sequence, &document) != 0) return {};
  return std::to_string(document.header.type()) + "\t" +
         std::to_string(document.header.sub_kind()) + "\t" +
         zarnex::code::join(sequence);
}

bool seed_from_xml(const fs::path& out_dir, const fs::path& file) {
  std::string xml = read_file(file);
  std::string name = file.stem().string();
  zarnex::DocumentPtr document;
  std::string code;
  if (zarnex::xml::document_from_xml(xml, &document) != 0 || !document ||
      zarnex::code::encode_document(document.get(), &code) != 0) {
    std::cerr << file << ": does not encode\n";
    return false;
  }
  return write_file(out_dir / "encode" / name, xml) &&
         write_file(out_dir / "decode" / name, code) &&
         write_file(out_dir / "sequence" / name, sequence_line(*document)) &&
         write_file(out_dir / "round_trip" / (name + "-xml"), xml) &&
         write_file(out_dir / "round_trip" / (name + "-code"), code);
}

bool seed_from_lines(const fs::path& out_dir, const fs::path& file) {
  std::istringstream lines(read_file(file));
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    ++number;
    std::string name = file.stem().string() + "-" + std::to_string(number);
    if (!write_file(out_dir / "sequence" / name, line)) return false;
    zarnex::Result result = zarnex::encode_sequence(line);
    if (!result.ok()) continue;
    if (!write_file(out_dir / "decode" / name, result.output) ||
        !write_file(out_dir / "round_trip" / (name + "-code"), result.output))
      return false;
  }
  return true;
}

void show(const fs::path& file) {
  std::string data = read_file(file);
  std::cout << "== " << file.string() << " (" << data.size() << " bytes)\n";
  zarnex::fuzzing::OpenCode open;
  if (zarnex::fuzzing::open_code(data, &open)) {
    std::string sequence = open.sequence;
    std::string shown;
    for (char c : sequence) shown += c == '\t' ? std::string(" | ") : std::string(1, c);
    std::printf("header: %02X %02X\nsequence (%zu bytes): %s\n",
                static_cast<unsigned char>(open.header[0]),
                static_cast<unsigned char>(open.header[1]), sequence.size(),
                shown.c_str());
    zarnex::Result decoded = zarnex::decode(data);
    std::cout << "decoded: " << (decoded.ok() ? decoded.output : decoded.error)
              << "\n";
  }
  for (const char* target : zarnex::fuzzing::kTargets) {
    std::string broken = zarnex::fuzzing::entry_point(target)(data);
    std::cout << target << ": " << (broken.empty() ? "ok" : broken) << "\n";
  }
}

}  // namespace

// The structure-aware mutator refers to libFuzzer's mutation function; this
// program never mutates, so a stand-in that leaves the data alone will do.
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t*, std::size_t size,
                                        std::size_t) {
  return size;
}

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "show" && argc > 2) {
    for (int i = 2; i < argc; ++i) show(argv[i]);
    return 0;
  }
  if (command == "seal" && argc == 4 && std::string(argv[2]).size() == 4) {
    zarnex::fuzzing::OpenCode open;
    unsigned long header = std::stoul(argv[2], nullptr, 16);
    open.header = {static_cast<char>(header >> 8), static_cast<char>(header)};
    open.sequence = read_file(argv[3]);
    std::string code = zarnex::fuzzing::seal_code(open);
    std::cout << code;
    return code.empty() ? 1 : 0;
  }
  if (command != "seeds" || argc < 4) {
    std::cerr << "usage: zarnex_fuzz_tool seeds OUT_DIR FILE...\n"
                 "       zarnex_fuzz_tool show FILE...\n"
                 "       zarnex_fuzz_tool seal HEADER_HEX SEQUENCE_FILE\n";
    return 2;
  }
  fs::path out_dir = argv[2];
  bool ok = true;
  for (int i = 3; i < argc; ++i) {
    fs::path file = argv[i];
    ok = (file.extension() == ".xml" ? seed_from_xml(out_dir, file)
                                     : seed_from_lines(out_dir, file)) &&
         ok;
  }
  return ok ? 0 : 1;
}
