// zarnex_floor: the dependency floor of the bulk modes.
//
//   zarnex_floor --encode FILE   FILE holds one XML document per line
//   zarnex_floor --decode FILE   FILE holds one code per line
//
// First, untimed, the library turns every line into what the dependencies
// will be given: for --encode the payload (CRC-32 and field sequence) of the
// document, for --decode the LZMA stream of the code and its payload size.
// For --encode it also checks that the floor's encoder makes exactly the
// stream of the library's code, so that both do the same work.
// Then, timed, a loop shaped like the tool's bulk loop reads FILE line by
// line and does per line only the dependency work: --encode parses the XML
// with libxml2, frees the tree and compresses the payload with liblzma;
// --decode decompresses the stream. Each result is written to standard
// output like the tool writes its codes. The time of the loop goes to
// standard error as "floor MODE DOCUMENTS SECONDS".

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "bench/floor_work.h"
#include "cli/input.h"
#include "cli/lines.h"

namespace {

double cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Prepared {
  std::string bytes;  // payload (encode) or LZMA stream (decode)
  std::size_t size = 0;  // payload size announced by the code (decode)
};

void flush_output() { std::fflush(stdout); }

// Reads FILE with the tool's own line reader and keeps its non-blank lines
// as the tool would hand them to its operation.
bool read_lines(const char* path, std::vector<std::string>& lines) {
  const int fd = ::open(path, O_RDONLY);
  if (fd < 0) return false;
  zarnex::cli::LineReader reader(fd);
  std::string line;
  while (reader.read_line(line)) {
    if (zarnex::cli::prepare_line(line)) lines.push_back(line);
  }
  ::close(fd);
  return true;
}

int fail(const char* what) {
  std::fprintf(stderr, "zarnex_floor: %s\n", what);
  return 2;
}

// The timed part: the tool's bulk loop with only the dependency work per
// line. Returns the number of documents, or -1 after a failure. Kept out of
// line, so that an instruction profiler can be limited to it
// (valgrind --tool=callgrind --toggle-collect='*bulk_loop*').
[[gnu::noinline]] long bulk_loop(int fd, bool encode, const std::vector<Prepared>& prepared,
                                 zarnex::bench::FloorEncoder& encoder,
                                 zarnex::bench::FloorDecoder& decoder) {
  std::vector<std::uint8_t> output;
  std::string line;
  std::size_t index = 0;
  zarnex::cli::LineReader reader(fd, flush_output);
  while (reader.read_line(line)) {
    if (!zarnex::cli::prepare_line(line)) continue;
    if (index >= prepared.size()) {
      fail("the input file changed");
      return -1;
    }
    const Prepared& work = prepared[index++];
    bool ok = false;
    if (encode) {
      ok = zarnex::bench::parse_and_free_xml(line) && encoder.compress(work.bytes, output);
    } else {
      ok = decoder.decompress(work.bytes, work.size, output);
    }
    if (!ok) {
      fail(encode ? "compression failed" : "decompression failed");
      return -1;
    }
    output.push_back('\n');
    std::fwrite(output.data(), 1, output.size(), stdout);
  }
  std::fflush(stdout);
  return static_cast<long>(index);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "--encode") != 0 &&
                    std::strcmp(argv[1], "--decode") != 0)) {
    std::fputs("usage: zarnex_floor --encode|--decode FILE\n", stderr);
    return 1;
  }
  const bool encode = std::strcmp(argv[1], "--encode") == 0;
  std::vector<std::string> lines;
  if (!read_lines(argv[2], lines)) return fail("cannot read the input file");
  std::vector<Prepared> prepared(lines.size());
  zarnex::bench::FloorEncoder encoder;
  zarnex::bench::FloorDecoder decoder;
  std::vector<std::uint8_t> output;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (encode) {
      prepared[i].bytes = zarnex::bench::payload_of_xml(lines[i]);
      std::size_t size = 0;
      std::string stream;
      if (prepared[i].bytes.empty() ||
          !zarnex::bench::stream_of_code(zarnex::bench::code_of_xml(lines[i]), &size,
                                         &stream)) {
        return fail("a document does not encode");
      }
      if (!encoder.compress(prepared[i].bytes, output) ||
          std::string_view(reinterpret_cast<const char*>(output.data()), output.size()) !=
              stream) {
        return fail("the floor's stream differs from the library's");
      }
    } else if (!zarnex::bench::stream_of_code(lines[i], &prepared[i].size,
                                              &prepared[i].bytes)) {
      return fail("a line is no code");
    }
  }

  const int fd = ::open(argv[2], O_RDONLY);
  if (fd < 0) return fail("cannot read the input file");
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = cpu_seconds();
  const long documents = bulk_loop(fd, encode, prepared, encoder, decoder);
  if (documents < 0) return 2;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  const double cpu = cpu_seconds() - cpu_start;
  ::close(fd);
  std::fprintf(stderr, "floor %s %ld %.6f %.6f\n", encode ? "encode" : "decode", documents,
               elapsed.count(), cpu);
  return 0;
}
