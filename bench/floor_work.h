#ifndef ZARNEX_BENCH_FLOOR_WORK_H_
#define ZARNEX_BENCH_FLOOR_WORK_H_

#include <lzma.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarnex::bench {

// The work that the two dependencies must do for one document, and nothing
// else: the floor that the tool's own per-document cost is measured against.

/// libxml2 parses @a xml the way the tool asks it to (URL "noname.xml", no
/// encoding name, options 0) and frees the tree. False when it does not parse.
bool parse_and_free_xml(std::string_view xml);

/// One raw LZMA1 encoder with the fixed settings of every code (lc 3, lp 0,
/// pb 2, 128 KiB dictionary, level-9 preset with 32 fast bytes, BT4, normal
/// mode, 32 match-finder cycles, no end marker), kept for the object's life
/// and re-initialised for each payload so that its memory is reused.
class FloorEncoder {
 public:
  FloorEncoder();
  ~FloorEncoder() { lzma_end(&stream_); }
  FloorEncoder(const FloorEncoder&) = delete;
  FloorEncoder& operator=(const FloorEncoder&) = delete;

  /// Compresses @a payload into @a out (replacing its bytes, keeping its
  /// capacity). False when the encoder fails.
  bool compress(std::string_view payload, std::vector<std::uint8_t>& out);

 private:
  lzma_options_lzma options_{};
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

/// One raw LZMA1 decoder with the fixed properties, kept and re-initialised
/// for each stream, run until exactly the announced size is there.
class FloorDecoder {
 public:
  FloorDecoder();
  ~FloorDecoder() { lzma_end(&stream_); }
  FloorDecoder(const FloorDecoder&) = delete;
  FloorDecoder& operator=(const FloorDecoder&) = delete;

  /// Decompresses @a stream into the first @a size bytes of @a out (resized
  /// to @a size). False for corrupt or short streams.
  bool decompress(std::string_view stream, std::size_t size,
                  std::vector<std::uint8_t>& out);

 private:
  lzma_options_lzma options_{};
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

/// The payload (CRC-32 and field sequence) the library makes of an XML
/// document; empty when the library refuses the document.
std::string payload_of_xml(std::string_view xml);

/// The library's code of an XML document; empty when it refuses it.
std::string code_of_xml(std::string_view xml);

/// The payload size and the raw LZMA stream carried by a code; false when
/// the text is no code.
bool stream_of_code(std::string_view code, std::size_t* size, std::string* stream);

}  // namespace zarnex::bench

#endif  // ZARNEX_BENCH_FLOOR_WORK_H_
