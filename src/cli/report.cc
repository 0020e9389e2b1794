#include "cli/report.h"

#include <cstdio>

namespace zarnex::cli {
namespace {

constexpr std::size_t kFlushSize = 1 << 16;

// The length of the well-formed UTF-8 sequence at the start of @a text, or
// 0 when its first byte does not start one.
std::size_t utf8_length(std::string_view text) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  const unsigned char first = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (first < 0x80) return 1;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    if (first == 0xE0) low = 0xA0;
    if (first == 0xED) high = 0x9F;  // no surrogates
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    if (first == 0xF0) low = 0x90;
    if (first == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char c = byte(i);
    if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

}  // namespace

void append_json_text(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const unsigned char c = static_cast<unsigned char>(text[0]);
    std::size_t take = 1;
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == '\n') {
      out.append("\\n");
    } else if (c == '\t') {
      out.append("\\t");
    } else if (c == '\r') {
      out.append("\\r");
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out.append(escaped);
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (std::size_t length = utf8_length(text); length != 0) {
      out.append(text.substr(0, length));
      take = length;
    } else {
      out.append("\\ufffd");
    }
    text.remove_prefix(take);
  }
}

bool Report::open(const std::string& path) {
  buffer_.reserve(2 * kFlushSize);
  return file_.open(path);
}

void Report::start(std::size_t line, int status) {
  buffer_.append("{\"line\":").append(std::to_string(line));
  buffer_.append(",\"status\":").append(std::to_string(status));
}

void Report::end(const DocumentId* id) {
  if (id != nullptr && id->found) {
    buffer_.append(",\"invoice_id\":\"");
    append_json_text(buffer_, id->invoice_id);
    buffer_.push_back('"');
  }
  buffer_.append("}\n");
  if (buffer_.size() >= kFlushSize) flush();
}

void Report::succeeded(std::size_t line, const DocumentId* id) {
  start(line, 0);
  end(id);
}

void Report::failed(std::size_t line, int status, std::string_view error_text,
                    const DocumentId* id) {
  start(line, status);
  const std::string_view name = error_name(status);
  std::string_view message = error_text;
  if (message.substr(0, name.size()) == name) {
    message.remove_prefix(name.size());
    if (message.substr(0, 2) == ": ") message.remove_prefix(2);
  }
  buffer_.append(",\"error\":\"");
  append_json_text(buffer_, name);
  buffer_.append("\",\"message\":\"");
  append_json_text(buffer_, message);
  buffer_.push_back('"');
  end(id);
}

bool Report::flush() {
  if (ok_ && !buffer_.empty()) ok_ = file_.write(buffer_);
  buffer_.clear();
  return ok_;
}

bool Report::finish(const LineCounts& counts) {
  buffer_.append("{\"summary\":{\"lines\":").append(std::to_string(counts.read));
  buffer_.append(",\"succeeded\":").append(std::to_string(counts.succeeded));
  buffer_.append(",\"failed\":").append(std::to_string(counts.failed));
  buffer_.append(",\"skipped\":").append(std::to_string(counts.skipped));
  buffer_.append("}}\n");
  return flush() && file_.commit();
}

}  // namespace zarnex::cli
