#include "bench/floor_work.h"

#include <libxml/parser.h>

#include "code/base32hex.h"
#include "code/envelope.h"
#include "code/crc32.h"
#include "code/field_sequence.h"
#include "xml/xml.h"

namespace zarnex::bench {
namespace {

constexpr std::uint32_t kDictionarySize = 131072;
constexpr std::size_t kEnvelopeHeaderBytes = 4;  // header word, payload length

void set_properties(lzma_options_lzma& options) {
  options.dict_size = kDictionarySize;
  options.lc = 3;
  options.lp = 0;
  options.pb = 2;
}

}  // namespace

bool parse_and_free_xml(std::string_view xml) {
  xmlDoc* doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()),
                              "noname.xml", nullptr, 0);
  if (doc == nullptr) return false;
  xmlFreeDoc(doc);
  return true;
}

FloorEncoder::FloorEncoder() {
  lzma_lzma_preset(&options_, 9);
  set_properties(options_);
  options_.mode = LZMA_MODE_NORMAL;
  options_.nice_len = 32;
  options_.mf = LZMA_MF_BT4;
  options_.depth = 32;
  options_.ext_flags = 0;  // no end marker
  lzma_set_ext_size(options_, 0);
}

bool FloorEncoder::compress(std::string_view payload,
                            std::vector<std::uint8_t>& out) {
  const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options_},
                                 {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_raw_encoder(&stream_, filters) != LZMA_OK) return false;
  // The same room the library reserves: n + n / 3 + 130.
  out.resize(payload.size() + payload.size() / 3 + 130);
  stream_.next_in = reinterpret_cast<const std::uint8_t*>(payload.data());
  stream_.avail_in = payload.size();
  stream_.next_out = out.data();
  stream_.avail_out = out.size();
  lzma_ret ret = LZMA_OK;
  while (ret == LZMA_OK && stream_.avail_out > 0) ret = lzma_code(&stream_, LZMA_FINISH);
  if (ret != LZMA_STREAM_END) return false;
  out.resize(out.size() - stream_.avail_out);
  return true;
}

FloorDecoder::FloorDecoder() { set_properties(options_); }

bool FloorDecoder::decompress(std::string_view stream, std::size_t size,
                              std::vector<std::uint8_t>& out) {
  const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options_},
                                 {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_raw_decoder(&stream_, filters) != LZMA_OK) return false;
  out.resize(size);
  stream_.next_in = reinterpret_cast<const std::uint8_t*>(stream.data());
  stream_.avail_in = stream.size();
  stream_.next_out = out.data();
  stream_.avail_out = size;
  while (stream_.avail_out > 0) {
    const lzma_ret ret = lzma_code(&stream_, LZMA_RUN);
    if (ret == LZMA_STREAM_END) break;
    if (ret != LZMA_OK) return false;
    if (stream_.avail_in == 0 && stream_.avail_out > 0) return false;
  }
  return true;
}

std::string payload_of_xml(std::string_view xml) {
  DocumentPtr document;
  if (xml::document_from_xml(xml, &document) != 0 || !document) return {};
  code::FieldSequence sequence;
  if (code::write_document(sequence, document.get()) != 0) return {};
  const std::string text = code::join(sequence);
  const std::uint32_t crc = code::crc32(text);
  std::string payload;
  for (int i = 0; i < 4; ++i) payload.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
  payload.append(text);
  return payload;
}

std::string code_of_xml(std::string_view xml) {
  DocumentPtr document;
  std::string code;
  if (xml::document_from_xml(xml, &document) != 0 || !document ||
      code::encode_document(document.get(), &code) != 0) {
    return {};
  }
  return code;
}

bool stream_of_code(std::string_view code, std::size_t* size, std::string* stream) {
  std::string bytes;
  if (code::base32hex_decode(code, &bytes) != 0 || bytes.size() < kEnvelopeHeaderBytes)
    return false;
  *size = static_cast<unsigned char>(bytes[2]) +
          256u * static_cast<unsigned char>(bytes[3]);
  stream->assign(bytes, kEnvelopeHeaderBytes);
  return true;
}

}  // namespace zarnex::bench
