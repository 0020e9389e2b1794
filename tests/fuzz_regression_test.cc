// Replays the fuzzers' seed corpora and every input that ever made a fuzz
// target fail through the same entry points the targets use, so that the
// ordinary test run (and its sanitizer build) guards against each old finding.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "error/error.h"
#include "fuzz/entry_points.h"

namespace zarnex::fuzzing {
namespace {

namespace fs = std::filesystem;

// The files under fuzz/<kind>/<target>/ in name order; none when the
// directory does not exist.
std::vector<fs::path> inputs(const std::string& kind, const std::string& target) {
  std::vector<fs::path> files;
  fs::path dir = fs::path(ZARNEX_SOURCE_DIR) / "fuzz" / kind / target;
  if (!fs::is_directory(dir)) return files;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs every seed and regression input of a target; returns how many ran.
std::size_t replay(const std::string& target) {
  EntryPoint run = entry_point(target);
  EXPECT_NE(run, nullptr) << target;
  if (run == nullptr) return 0;
  std::size_t count = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    for (const fs::path& file : inputs(kind, target)) {
      SCOPED_TRACE(file.string());
      EXPECT_EQ(run(read_bytes(file)), "");
      ++count;
    }
  }
  return count;
}

class FuzzInputs : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }
};

TEST_F(FuzzInputs, EveryTargetHasSeeds) {
  for (const char* target : kTargets) {
    EXPECT_FALSE(inputs("corpus", target).empty()) << target;
    EXPECT_NE(entry_point(target), nullptr) << target;
  }
  EXPECT_EQ(entry_point("unknown"), nullptr);
}

TEST_F(FuzzInputs, DecodeReplays) { EXPECT_GT(replay("decode"), 0u); }

TEST_F(FuzzInputs, EncodeReplays) { EXPECT_GT(replay("encode"), 0u); }

TEST_F(FuzzInputs, SequenceReplays) { EXPECT_GT(replay("sequence"), 0u); }

TEST_F(FuzzInputs, RoundTripReplays) { EXPECT_GT(replay("round_trip"), 0u); }

// A failure that was not recorded, or recorded under another name, is a
// finding: replaying could not fail without this check.
TEST_F(FuzzInputs, UnrecordedFailureIsReported) {
  EXPECT_EQ(detail::check_recorded("decode_document", 3),
            "decode_document returned 3 but recorded 0");
  set_error(ErrorCode::kChecksum, "Checksum mismatch. ");
  EXPECT_EQ(detail::check_recorded("decode_document", 2), "");
  set_error(ErrorCode::kChecksum, "Checksum mismatch. ");
  EXPECT_EQ(detail::check_recorded("decode_document", 3),
            "decode_document returned 3 but recorded 2");
}

// The examples pass every entry point, in both round-trip directions.
TEST_F(FuzzInputs, EntryPointsAcceptTheExamples) {
  std::string xml = read_bytes(fs::path(ZARNEX_SOURCE_DIR) / "examples" /
                               "pay-one-off.xml");
  ASSERT_FALSE(xml.empty());
  EXPECT_EQ(encode_input(xml), "");
  EXPECT_EQ(xml_round_trip(xml), "");
  DocumentPtr document;
  ASSERT_EQ(xml::document_from_xml(xml, &document), 0);
  std::string code;
  ASSERT_EQ(code::encode_document(document.get(), &code), 0);
  EXPECT_EQ(decode_input(code), "");
  EXPECT_EQ(code_round_trip(code), "");
}

TEST_F(FuzzInputs, HostileInputsAreRefusedCleanly) {
  for (const std::string& input :
       {std::string(), std::string("\x04"), std::string("\0\0\0\0", 4),
        std::string("<Pay"), std::string("0000"), std::string("zz\t0\t")}) {
    SCOPED_TRACE(input);
    EXPECT_EQ(decode_input(input), "");
    EXPECT_EQ(encode_input(input), "");
    EXPECT_EQ(sequence_input(input), "");
    EXPECT_EQ(round_trip_input(input), "");
  }
}

}  // namespace
}  // namespace zarnex::fuzzing
