#include "code/lzma.h"

#include <lzma.h>

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zarnex::code {
namespace {

constexpr std::uint32_t kLiteralContextBits = 3;
constexpr std::uint32_t kLiteralPositionBits = 0;
constexpr std::uint32_t kPositionBits = 2;
constexpr std::uint32_t kDictionarySize = 131072;
constexpr std::uint32_t kPreset = 9;
constexpr std::uint32_t kNiceLength = 32;
constexpr std::uint32_t kMatchFinderDepth = 32;
// The range coder starts with 5 bytes; no stream can be shorter.
constexpr std::size_t kMinStreamLength = 5;

// One lzma_stream, ended when the owner goes away. Re-initialising it with
// lzma_raw_encoder/lzma_raw_decoder reuses the memory of the previous run,
// also after a failed or aborted one.
class LzmaStream {
 public:
  LzmaStream() = default;
  ~LzmaStream() { lzma_end(&stream_); }
  LzmaStream(const LzmaStream&) = delete;
  LzmaStream& operator=(const LzmaStream&) = delete;

  lzma_stream* get() { return &stream_; }

 private:
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

// The encoder options: the level-9 preset with the fixed properties and
// settings of the code format written over it (the preset itself has a
// 64 MiB dictionary, 64 fast bytes and an automatic match-finder depth).
lzma_options_lzma encoder_options() {
  lzma_options_lzma options{};
  lzma_lzma_preset(&options, kPreset);
  options.dict_size = kDictionarySize;
  options.lc = kLiteralContextBits;
  options.lp = kLiteralPositionBits;
  options.pb = kPositionBits;
  options.mode = LZMA_MODE_NORMAL;
  options.nice_len = kNiceLength;
  options.mf = LZMA_MF_BT4;
  options.depth = kMatchFinderDepth;
  // LZMA1EXT without LZMA_LZMA1EXT_ALLOW_EOPM writes no end marker; the
  // uncompressed size is ignored by the encoder.
  options.ext_flags = 0;
  lzma_set_ext_size(options, 0);
  return options;
}

lzma_options_lzma decoder_options() {
  lzma_options_lzma options{};
  options.dict_size = kDictionarySize;
  options.lc = kLiteralContextBits;
  options.lp = kLiteralPositionBits;
  options.pb = kPositionBits;
  return options;
}

// Memory for one thread's encoder. Its match finder takes about 2.5 MB in a
// few blocks, most of it a hash table of 528 KiB that is cleared for every
// document. Taken from one region that may be backed by huge pages, the
// first document costs one page fault instead of about 140 (a large share
// of a one-document run), and clearing the table touches a single page.
// Blocks that do not fit, and systems without such pages, fall back to the
// heap; everything is returned when the thread ends.
class EncoderArena {
 public:
  EncoderArena() {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    void* p = ::mmap(nullptr, kSize + kAlignment, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return;
    mapping_ = p;
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    base_ = reinterpret_cast<char*>((address + kAlignment - 1) &
                                    ~std::uintptr_t{kAlignment - 1});
    ::madvise(base_, kSize, MADV_HUGEPAGE);  // a hint; ignored where unknown
#endif
  }
  ~EncoderArena() {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (mapping_ != nullptr) ::munmap(mapping_, kSize + kAlignment);
#endif
  }
  EncoderArena(const EncoderArena&) = delete;
  EncoderArena& operator=(const EncoderArena&) = delete;

  lzma_allocator* allocator() { return &allocator_; }

 private:
  static constexpr std::size_t kSize = std::size_t{4} << 20;
  static constexpr std::size_t kAlignment = std::size_t{2} << 20;
  static constexpr std::size_t kBlockAlignment = 64;

  static void* allocate(void* opaque, std::size_t count, std::size_t size) {
    auto* arena = static_cast<EncoderArena*>(opaque);
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    const std::size_t n = count * size;
    if (arena->base_ != nullptr && n != 0 && n <= kSize) {
      const std::size_t bytes =
          (n + kBlockAlignment - 1) & ~(kBlockAlignment - 1);
      if (kSize - arena->used_ >= bytes) {
        void* block = arena->base_ + arena->used_;
        arena->used_ += bytes;
        return block;
      }
    }
    return std::malloc(n == 0 ? 1 : n);
  }
  // Blocks of the region are not reused: the encoder's settings never
  // change, so it allocates once per thread.
  static void release(void* opaque, void* block) {
    const auto* arena = static_cast<const EncoderArena*>(opaque);
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    const auto base = reinterpret_cast<std::uintptr_t>(arena->base_);
    if (arena->base_ != nullptr && address - base < kSize) return;
    std::free(block);
  }

  void* mapping_ = nullptr;
  char* base_ = nullptr;
  std::size_t used_ = 0;
  lzma_allocator allocator_{&EncoderArena::allocate, &EncoderArena::release,
                            this};
};

// The encoder stream with its arena, which must outlive it.
struct EncoderStream {
  EncoderArena arena;
  LzmaStream stream;
  EncoderStream() { stream.get()->allocator = arena.allocator(); }
};

LzmaStream& thread_encoder() {
  thread_local EncoderStream encoder;
  return encoder.stream;
}

LzmaStream& thread_decoder() {
  thread_local LzmaStream stream;
  return stream;
}

}  // namespace

bool lzma_compress(std::string_view input, std::size_t room, std::string* out) {
  static const lzma_options_lzma kOptions = encoder_options();
  // The encoder only reads the options, but the filter array is not const.
  lzma_options_lzma options = kOptions;
  const lzma_filter filters[] = {
      {LZMA_FILTER_LZMA1EXT, &options},
      {LZMA_VLI_UNKNOWN, nullptr},
  };
  lzma_stream* stream = thread_encoder().get();
  if (lzma_raw_encoder(stream, filters) != LZMA_OK) return false;

  const std::size_t start = out->size();
  out->resize(start + room);
  stream->next_in = reinterpret_cast<const std::uint8_t*>(input.data());
  stream->avail_in = input.size();
  stream->next_out = reinterpret_cast<std::uint8_t*>(out->data() + start);
  stream->avail_out = room;
  lzma_ret ret = LZMA_OK;
  // Runs until the stream is finished; a full output buffer before that
  // means the stream does not fit the room.
  while (ret == LZMA_OK && stream->avail_out > 0)
    ret = lzma_code(stream, LZMA_FINISH);
  if (ret != LZMA_STREAM_END) {
    out->resize(start);
    return false;
  }
  out->resize(start + (room - stream->avail_out));
  return true;
}

bool lzma_decompress(std::string_view stream_bytes, std::size_t expected,
                     std::string* out) {
  if (stream_bytes.size() < kMinStreamLength) return false;
  lzma_options_lzma options = decoder_options();
  const lzma_filter filters[] = {
      {LZMA_FILTER_LZMA1, &options},
      {LZMA_VLI_UNKNOWN, nullptr},
  };
  lzma_stream* stream = thread_decoder().get();
  if (lzma_raw_decoder(stream, filters) != LZMA_OK) return false;

  // An empty @a out is decompressed into directly and emptied again on
  // failure; otherwise a new buffer replaces it only on success.
  std::string other;
  std::string& data = out->empty() ? *out : other;
  data.resize(expected);
  stream->next_in = reinterpret_cast<const std::uint8_t*>(stream_bytes.data());
  stream->avail_in = stream_bytes.size();
  stream->next_out = reinterpret_cast<std::uint8_t*>(data.data());
  stream->avail_out = expected;
  bool ok = true;
  while (ok && stream->avail_out > 0) {
    lzma_ret ret = lzma_code(stream, LZMA_RUN);
    if (ret == LZMA_STREAM_END) break;  // end marker: the output ends early
    // Corrupt data; or all input used and the output not yet full: the
    // stream is too short.
    ok = ret == LZMA_OK && (stream->avail_out == 0 || stream->avail_in > 0);
  }
  if (!ok) {
    data.clear();
    return false;
  }
  data.resize(expected - stream->avail_out);
  if (&data == &other) *out = std::move(other);
  return true;
}

}  // namespace zarnex::code
