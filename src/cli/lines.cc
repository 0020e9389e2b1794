#include "cli/lines.h"

#include <poll.h>
#include <sched.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "cli/input.h"
#include "cli/output.h"
#include "cli/progress.h"
#include "cli/report.h"
#include "cli/symbol_file.h"
#include "zarnex/text_buffer.hpp"

namespace zarnex::cli {
namespace {

bool is_blank_byte(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// Results are gathered into blocks of about this size before they are written.
constexpr std::size_t kBlockSize = 1 << 16;

// Standard output of a bulk run. Every result is written into one block,
// which goes out with write() when it is full and whenever the reader is
// about to read more input: a long run writes in large blocks, while a pipe
// partner that waits for each result still gets it before the tool waits.
// Once a block cannot be written, nothing more is written and error() tells
// why: the run ends, since no later result could reach its reader either.
class BlockWriter {
 public:
  explicit BlockWriter(int fd) : fd_(fd), block_(2 * kBlockSize) {}
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  TextBuffer& block() { return block_; }
  void flush_when_full() {
    if (block_.size() >= kBlockSize) flush();
  }
  // Writes the whole block, waiting for a reader that is slow or a
  // descriptor that is non-blocking; returns the errno of a failed write.
  int flush() {
    if (error_ == 0) error_ = write_fully(fd_, block_.data(), block_.size());
    block_.clear();
    return error_;
  }
  int error() const { return error_; }

 private:
  int fd_;
  TextBuffer block_;
  int error_ = 0;
};

// One line of the input on its way through a run.
struct LineJob {
  enum class Kind { kBlank, kTooLong, kDocument };
  Kind kind = Kind::kBlank;
  std::size_t number = 0;  // 1 for the first line of the input
  std::string text;
  int status = 0;          // the operation's status
  int symbol_status = 0;   // the QR symbol's status once the operation succeeded
  Outcome outcome;
  TextBuffer out;          // the result and its newline (threaded runs)
  bool done = false;       // threaded runs: the line may be written out
};

// A folder's symbol file names: the folder and a slash, then each file's
// name in turn.
class SymbolNames {
 public:
  explicit SymbolNames(const SymbolFolder* symbols) {
    if (symbols == nullptr) return;
    path_ = symbols->folder;
    if (!path_.empty() && path_.back() != '/') path_ += '/';
    folder_length_ = path_.size();
  }
  const std::string& name(std::size_t line_number,
                          std::optional<std::string_view> invoice_id,
                          QrFormat format) {
    path_.resize(folder_length_);
    path_ += symbol_file_name(line_number, invoice_id, format);
    return path_;
  }

 private:
  std::string path_;
  std::size_t folder_length_ = 0;
};

// Runs the operation on a document line and writes its QR symbol; the
// result and its newline are appended to @a out.
void convert(const BulkRun& run, SymbolNames& names, LineJob& job,
             TextBuffer& out) {
  const std::size_t start = out.size();
  job.status = run.operation(job.text, out, job.outcome);
  job.symbol_status = 0;
  if (job.status != 0) return;
  if (const SymbolFolder* symbols = run.symbols; symbols != nullptr) {
    CodeWithId parts = split_code(out.view().substr(start));
    const std::string& path = names.name(
        job.number, symbols->named_by_id ? parts.invoice_id : std::nullopt,
        symbols->settings.format);
    job.symbol_status = write_symbol_file(parts.code, path, symbols->settings,
                                          job.outcome.failure.error);
  }
  out.append('\n');
}

// Writes what a finished line gives besides its result, in input order:
// its error line (and the note before it) to standard error, its report
// entry, the counts and the progress line.
class LineEnd {
 public:
  LineEnd(const BulkRun& run, Progress* progress, LineCounts& counts)
      : run_(run), progress_(progress), counts_(counts) {}

  void finish(LineJob& job, std::uint64_t bytes_read) {
    ++counts_.read;
    switch (job.kind) {
      case LineJob::Kind::kBlank:
        ++counts_.skipped;
        break;
      case LineJob::Kind::kTooLong: {
        // One document that is refused; the run goes on with the next line.
        StreamFailure refused = line_too_long();
        failed(refused.status);
        if (run_.report != nullptr)
          run_.report->failed(job.number, refused.status, refused.text, nullptr);
        error_line(std::string(), std::move(refused.text), nullptr);
        break;
      }
      case LineJob::Kind::kDocument:
        document(job);
        break;
    }
    if (progress_ != nullptr) progress_->update(counts_.read, bytes_read);
  }

 private:
  void document(LineJob& job) {
    Outcome& outcome = job.outcome;
    const DocumentId* id = outcome.want_id ? &outcome.id : nullptr;
    const int status = job.status != 0 ? job.status : job.symbol_status;
    if (status == 0) {
      ++counts_.succeeded;
      if (run_.report != nullptr) run_.report->succeeded(job.number, id);
      return;
    }
    failed(status);
    if (run_.report != nullptr)
      run_.report->failed(job.number, status, outcome.failure.error, id);
    error_line(job.text, std::move(outcome.failure.error), &outcome.note);
  }

  void failed(int status) {
    ++counts_.failed;
    if (counts_.first_failure == 0) counts_.first_failure = status;
  }

  void error_line(const std::string& input, std::string text, std::string* note) {
    if (progress_ != nullptr) progress_->hide();
    if (note != nullptr && !note->empty()) {
      std::fwrite(note->data(), 1, note->size(), stderr);
      note->clear();
    }
    write_error_line(run_.format_stderr, input, std::move(text));
    if (progress_ != nullptr) progress_->show();
  }

  const BulkRun& run_;
  Progress* progress_;
  LineCounts& counts_;
};

// Reads the next line into @a job: its kind and number, and for a document
// its text. Returns false at the end of the input, when reading failed or
// when the output can no longer be written.
bool read_job(LineReader& reader, const BlockWriter& output,
              std::size_t& line_number, std::string& line, LineJob& job) {
  const ReadEnd end = reader.next_line(line, kMaxInput);
  if (output.error() != 0) return false;
  if (end == ReadEnd::kEnd || end == ReadEnd::kFailed) return false;
  job.number = ++line_number;
  if (end == ReadEnd::kTooLong) {
    job.kind = LineJob::Kind::kTooLong;
  } else if (!prepare_line(line)) {
    job.kind = LineJob::Kind::kBlank;
  } else {
    job.kind = LineJob::Kind::kDocument;
  }
  return true;
}

// The end of a run: the results of every line read go out before a failure
// of the streams is reported.
int end_run(BlockWriter& output, const LineReader& reader,
            const Streams& streams, Progress* progress) {
  StreamFailure stream;
  const int written = output.flush();
  if (progress != nullptr) progress->finish();
  if (written != 0) {
    stream = write_failed(streams.out_name, error_reason(output.error()));
  } else if (reader.error() != 0) {
    stream = read_failed(streams.in_name, error_reason(reader.error()));
  } else {
    return 0;
  }
  write_error_line(false, std::string(), std::move(stream.text));
  return stream.status;
}

// Whether a read of @a fd would wait: nothing is ready on a pipe, socket
// or terminal. A regular file is always ready; so is a descriptor that
// poll() cannot look at (the read will tell).
bool read_would_wait(int fd) {
  pollfd ready{fd, POLLIN, 0};
  return ::poll(&ready, 1, 0) == 0;
}

// The lines held at once per thread: enough that no thread waits for
// another's slow document, few enough that memory stays flat.
constexpr std::size_t kLinesPerThread = 16;

// A threaded run. The calling thread reads lines into a window of slots,
// converts lines itself when the window is full, and writes out finished
// lines in input order; the other threads convert lines as they come.
// Each thread has its own encoder and decoder state (the library keeps it
// per thread) and its own symbol names.
class Pipeline {
 public:
  Pipeline(const BulkRun& run, int threads)
      : run_(run), jobs_(kLinesPerThread * static_cast<std::size_t>(threads)),
        names_(run.symbols) {
    for (LineJob& job : jobs_) job.outcome.want_id = run.report != nullptr;
    for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { work(); });
  }
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;
  ~Pipeline() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  bool full() const { return published_ - retired_ == jobs_.size(); }
  // The slot of the next line; only while the window is not full.
  LineJob& next() { return jobs_[published_ % jobs_.size()]; }

  // Hands the line in next() on to the threads.
  void publish() {
    LineJob& job = next();
    job.out.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    job.done = job.kind != LineJob::Kind::kDocument;
    ++published_;
    if (job.kind == LineJob::Kind::kDocument && idle_ > 0) work_ready_.notify_one();
  }

  // Writes out the lines that are done, in order, without waiting.
  void write_done(BlockWriter& output, LineEnd& end, const LineReader& reader) {
    for (;;) {
      std::size_t ready = 0;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        while (retired_ + ready < published_ &&
               jobs_[(retired_ + ready) % jobs_.size()].done)
          ++ready;
        // Lines without a document are done without being taken; none may
        // be taken once its slot can hold a later line.
        if (claimed_ < retired_ + ready) claimed_ = retired_ + ready;
      }
      if (ready == 0) return;
      for (std::size_t i = 0; i < ready; ++i) {
        LineJob& job = jobs_[retired_ % jobs_.size()];
        if (job.kind == LineJob::Kind::kDocument) {
          if (job.status == 0) output.block().append(job.out.view());
          // A huge line's text is not kept for the lines after it.
          if (job.text.capacity() > kMaxKeptLine) std::string().swap(job.text);
        }
        end.finish(job, reader.consumed());
        output.flush_when_full();
        ++retired_;
      }
    }
  }

  // Converts one line that no thread has taken, or else waits until the
  // oldest line is done.
  void help() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (claim_one(lock)) return;
    LineJob& oldest = jobs_[retired_ % jobs_.size()];
    while (!oldest.done) {
      ++waiting_;
      line_done_.wait(lock);
      --waiting_;
    }
  }

  // Converts and writes out every line read.
  void drain(BlockWriter& output, LineEnd& end, const LineReader& reader) {
    for (;;) {
      write_done(output, end, reader);
      if (retired_ == published_) return;
      help();
    }
  }

 private:
  static constexpr std::size_t kMaxKeptLine = std::size_t{1} << 20;

  // Takes the next line no thread has taken and converts it, the lock
  // released meanwhile; false when there is none.
  bool claim_one(std::unique_lock<std::mutex>& lock, SymbolNames* names = nullptr) {
    while (claimed_ < published_ &&
           jobs_[claimed_ % jobs_.size()].kind != LineJob::Kind::kDocument)
      ++claimed_;
    if (claimed_ == published_) return false;
    LineJob& job = jobs_[claimed_++ % jobs_.size()];
    lock.unlock();
    convert(run_, names != nullptr ? *names : names_, job, job.out);
    lock.lock();
    job.done = true;
    if (waiting_ > 0) line_done_.notify_one();
    return true;
  }

  void work() {
    SymbolNames names(run_.symbols);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (claim_one(lock, &names)) continue;
      if (stop_) return;
      ++idle_;
      work_ready_.wait(lock);
      --idle_;
    }
  }

  const BulkRun& run_;
  std::vector<LineJob> jobs_;
  SymbolNames names_;  // the calling thread's
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable line_done_;
  // Lines counted from the start of the run: read into the window,
  // taken by a thread, written out. Only the calling thread changes
  // published_ and retired_.
  std::size_t published_ = 0;
  std::size_t claimed_ = 0;
  std::size_t retired_ = 0;
  int idle_ = 0;
  int waiting_ = 0;
  bool stop_ = false;
};

int run_lines_threaded(const BulkRun& run, int threads, const Streams& streams,
                       LineCounts& counts, Progress* progress) {
  BlockWriter output(streams.out);
  LineEnd end(run, progress, counts);
  Pipeline pipeline(run, threads);
  // Before a read that would wait, every line read so far is converted and
  // written out; a read that finds input ready goes on. (The hook runs only
  // from the reader's own reads, so the reader it names is whole by then.)
  LineReader reader(streams.in, [&] {
    if (!read_would_wait(streams.in)) return;
    pipeline.drain(output, end, reader);
    output.flush();
  });
  std::size_t line_number = 0;
  std::string line;
  for (;;) {
    if (pipeline.full()) {
      pipeline.help();
      pipeline.write_done(output, end, reader);
      continue;
    }
    LineJob& job = pipeline.next();
    if (!read_job(reader, output, line_number, line, job)) break;
    if (job.kind == LineJob::Kind::kDocument) job.text.swap(line);
    pipeline.publish();
    pipeline.write_done(output, end, reader);
  }
  pipeline.drain(output, end, reader);
  return end_run(output, reader, streams, progress);
}

// The number of processors this process may run on.
int processors() {
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return count;
  }
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<int>(online) : 1;
}

}  // namespace

bool prepare_line(std::string& line) {
  bool content = false;
  for (char c : line) {
    if (!is_blank_byte(c)) {
      content = true;
      break;
    }
  }
  if (!content) return false;
  for (int i = 0; i < 2 && !line.empty() && is_blank_byte(line.back()); ++i)
    line.pop_back();
  return true;
}

void write_error_line(bool format_stderr, const std::string& input,
                      std::string text) {
  if (!format_stderr) {
    text.push_back('\n');
    std::fwrite(text.data(), 1, text.size(), stderr);
    return;
  }
  char stamp[128];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S.000", &local);
  std::string line;
  line.reserve(n + input.size() + text.size() + 3);
  line.append(stamp, n).append(1, '\t').append(input).append(1, '\t');
  line.append(text).append(1, '\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
}

CodeWithId split_code(std::string_view output) {
  std::size_t tab = output.rfind('\t');
  if (tab == std::string_view::npos) return {std::nullopt, output};
  return {output.substr(0, tab), output.substr(tab + 1)};
}

int take_input(const std::optional<std::string>& value, const Streams& streams,
               std::string& input) {
  if (value) {
    input = *value;
    return 0;
  }
  Input read = read_all_input(streams.in);
  if (read.end == ReadEnd::kDone) {
    input = std::move(read.text);
    return 0;
  }
  return report(read.end == ReadEnd::kTooLong
                    ? input_too_long()
                    : read_failed(streams.in_name, error_reason(read.error)));
}

int run_lines(const BulkRun& run, const Streams& streams, LineCounts* counts) {
  // Whatever went to standard output through the C stream before (nothing,
  // in the tool) goes out first.
  std::fflush(stdout);
  LineCounts own_counts;
  LineCounts& line_counts = counts != nullptr ? *counts : own_counts;
  std::optional<Progress> progress;
  if (run.progress) {
    progress.emplace(streams.in);
    if (!progress->active()) progress.reset();
  }
  Progress* shown = progress ? &*progress : nullptr;
  const int threads = run.threads == 0 ? processors() : run.threads;
  if (threads > 1)
    return run_lines_threaded(run, threads, streams, line_counts, shown);

  BlockWriter output(streams.out);
  LineReader reader(streams.in, [&output] { output.flush(); });
  LineEnd end(run, shown, line_counts);
  SymbolNames names(run.symbols);
  LineJob job;  // one for every line: its buffers are kept
  job.outcome.want_id = run.report != nullptr;
  std::string& line = job.text;
  std::size_t line_number = 0;
  while (read_job(reader, output, line_number, line, job)) {
    if (job.kind == LineJob::Kind::kDocument) convert(run, names, job, output.block());
    end.finish(job, reader.consumed());
    output.flush_when_full();
  }
  return end_run(output, reader, streams, shown);
}

}  // namespace zarnex::cli
