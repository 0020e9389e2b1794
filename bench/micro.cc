// Micro-benchmarks of each stage of encoding and decoding, and of the
// dependency work beside them, on generated documents. The argument picks
// the corpus: 0 mixed, 1 Pay, 2 invoices (the five sub-kinds in turn),
// 3 InvoiceItems. Each iteration handles one document of the corpus.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/number.h"
#include "bench/floor_work.h"
#include "bench/generator.h"
#include "code/envelope.h"
#include "code/field_sequence.h"
#include "error/error.h"
#include "validate/document_rules.h"
#include "xml/xml.h"

namespace zarnex::bench {
namespace {

constexpr int kCorpusSize = 1000;
constexpr std::uint64_t kSeed = 7;

struct Corpus {
  std::vector<std::string> xml;
  std::vector<DocumentPtr> documents;  // read from xml
  std::vector<std::string> codes;
  std::vector<DocumentPtr> decoded;    // validated and completed
  std::vector<std::string> payloads;   // CRC-32 and field sequence
  std::vector<std::string> streams;    // raw LZMA streams of the codes
  std::vector<std::size_t> sizes;      // payload sizes announced by the codes
};

void require(int status, const char* stage) {
  if (status != 0) throw std::runtime_error(std::string(stage) + ": " + error_text());
}

Corpus make_corpus(int which) {
  static constexpr std::array<Kind, 5> kInvoiceKinds = {
      Kind::kInvoice, Kind::kProformaInvoice, Kind::kCreditNote,
      Kind::kDebitNote, Kind::kAdvanceInvoice};
  Corpus corpus;
  DocumentGenerator generator(kSeed + static_cast<std::uint64_t>(which));
  for (int i = 0; i < kCorpusSize; ++i) {
    switch (which) {
      case 1: corpus.xml.push_back(generator.next(Kind::kPay)); break;
      case 2: corpus.xml.push_back(generator.next(kInvoiceKinds[i % 5])); break;
      case 3: corpus.xml.push_back(generator.next(Kind::kInvoiceItems)); break;
      default: corpus.xml.push_back(generator.next()); break;
    }
    const std::string& xml = corpus.xml.back();
    DocumentPtr document;
    require(xml::document_from_xml(xml, &document), "read XML");
    std::string code;
    require(code::encode_document(document.get(), &code), "encode");
    DocumentPtr decoded;
    require(code::decode_document(code, &decoded), "decode");
    std::size_t size = 0;
    std::string stream;
    if (!stream_of_code(code, &size, &stream)) throw std::runtime_error("no stream");
    corpus.documents.push_back(std::move(document));
    corpus.codes.push_back(std::move(code));
    corpus.decoded.push_back(std::move(decoded));
    corpus.payloads.push_back(payload_of_xml(xml));
    corpus.streams.push_back(std::move(stream));
    corpus.sizes.push_back(size);
  }
  return corpus;
}

const Corpus& corpus(int which) {
  static std::array<Corpus, 4> corpora;
  static std::array<bool, 4> made{};
  if (!made[which]) {
    corpora[which] = make_corpus(which);
    made[which] = true;
  }
  return corpora[which];
}

// Runs @a work on the corpus documents in turn; @a work returns the bytes
// it handled.
template <typename Work>
void run(benchmark::State& state, Work work) {
  const Corpus& c = corpus(static_cast<int>(state.range(0)));
  std::size_t i = 0;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    bytes += static_cast<std::int64_t>(work(c, i));
    if (++i == c.xml.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(bytes);
}

void BM_XmlRead(benchmark::State& state) {
  run(state, [](const Corpus& c, std::size_t i) {
    DocumentPtr document;
    require(xml::document_from_xml(c.xml[i], &document), "read XML");
    return c.xml[i].size();
  });
}

void BM_Validate(benchmark::State& state) {
  run(state, [](const Corpus& c, std::size_t i) {
    require(document_validate(c.documents[i].get()), "validate");
    return c.payloads[i].size() - 4;
  });
}

void BM_WriteSequence(benchmark::State& state) {
  run(state, [](const Corpus& c, std::size_t i) {
    code::FieldSequence sequence;
    require(code::write_document(sequence, c.documents[i].get()), "write");
    const std::string text = code::join(sequence);
    benchmark::DoNotOptimize(text.data());
    return text.size();
  });
}

void BM_Encode(benchmark::State& state) {
  std::string code;
  run(state, [&code](const Corpus& c, std::size_t i) {
    code.clear();
    require(code::encode_document(c.documents[i].get(), &code), "encode");
    return c.payloads[i].size();
  });
}

void BM_Decode(benchmark::State& state) {
  run(state, [](const Corpus& c, std::size_t i) {
    DocumentPtr document;
    require(code::decode_document(c.codes[i], &document), "decode");
    return c.codes[i].size();
  });
}

void BM_XmlWrite(benchmark::State& state) {
  std::string out;
  run(state, [&out](const Corpus& c, std::size_t i) {
    out.clear();
    require(xml::document_to_xml(*c.decoded[i], &out), "write XML");
    return out.size();
  });
}

// The whole per-document work of the two bulk modes, without the line I/O.
void BM_EncodeXmlToCode(benchmark::State& state) {
  std::string code;
  run(state, [&code](const Corpus& c, std::size_t i) {
    DocumentPtr document;
    require(xml::document_from_xml(c.xml[i], &document), "read XML");
    code.clear();
    require(code::encode_document(document.get(), &code), "encode");
    return c.xml[i].size();
  });
}

void BM_DecodeCodeToXml(benchmark::State& state) {
  std::string out;
  run(state, [&out](const Corpus& c, std::size_t i) {
    DocumentPtr document;
    require(code::decode_document(c.codes[i], &document), "decode");
    out.clear();
    require(xml::document_to_xml(*document, &out), "write XML");
    return c.codes[i].size();
  });
}

// The dependencies' share of the same documents.
void BM_FloorXmlParse(benchmark::State& state) {
  run(state, [](const Corpus& c, std::size_t i) {
    if (!parse_and_free_xml(c.xml[i])) throw std::runtime_error("libxml2");
    return c.xml[i].size();
  });
}

void BM_FloorLzmaEncode(benchmark::State& state) {
  FloorEncoder encoder;
  std::vector<std::uint8_t> out;
  run(state, [&](const Corpus& c, std::size_t i) {
    if (!encoder.compress(c.payloads[i], out)) throw std::runtime_error("liblzma");
    return c.payloads[i].size();
  });
}

void BM_FloorLzmaDecode(benchmark::State& state) {
  FloorDecoder decoder;
  std::vector<std::uint8_t> out;
  run(state, [&](const Corpus& c, std::size_t i) {
    if (!decoder.decompress(c.streams[i], c.sizes[i], out))
      throw std::runtime_error("liblzma");
    return c.sizes[i];
  });
}

// Decimal values as the documents hold them: amounts in cents, rates,
// quantities and currency rates.
std::vector<double> decimal_values() {
  std::vector<double> values;
  Random random(kSeed);
  for (int i = 0; i < 4096; ++i) {
    switch (i % 4) {
      case 0: values.push_back(static_cast<double>(random.below(10000000)) / 100); break;
      case 1: values.push_back(static_cast<double>(random.below(28)) / 100); break;
      case 2: values.push_back(static_cast<double>(random.below(100000)) / 1000); break;
      default: values.push_back(static_cast<double>(random.below(4000000)) / 10000); break;
    }
  }
  return values;
}

void BM_FormatDecimal(benchmark::State& state) {
  static const std::vector<double> values = decimal_values();
  std::size_t i = 0;
  for (auto _ : state) {
    std::string text = code::format_decimal(values[i]);
    benchmark::DoNotOptimize(text.data());
    if (++i == values.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

#define ZARNEX_CORPORA ArgName("corpus")->DenseRange(0, 3)
BENCHMARK(BM_XmlRead)->ZARNEX_CORPORA;
BENCHMARK(BM_Validate)->ZARNEX_CORPORA;
BENCHMARK(BM_WriteSequence)->ZARNEX_CORPORA;
BENCHMARK(BM_Encode)->ZARNEX_CORPORA;
BENCHMARK(BM_Decode)->ZARNEX_CORPORA;
BENCHMARK(BM_XmlWrite)->ZARNEX_CORPORA;
BENCHMARK(BM_EncodeXmlToCode)->ZARNEX_CORPORA;
BENCHMARK(BM_DecodeCodeToXml)->ZARNEX_CORPORA;
BENCHMARK(BM_FloorXmlParse)->ZARNEX_CORPORA;
BENCHMARK(BM_FloorLzmaEncode)->ZARNEX_CORPORA;
BENCHMARK(BM_FloorLzmaDecode)->ZARNEX_CORPORA;
BENCHMARK(BM_FormatDecimal);

}  // namespace
}  // namespace zarnex::bench

BENCHMARK_MAIN();
