// Every input kept under tests/fuzz/ (the seeds each fuzz target starts from, and every input
// that once broke a target) run once more through that target's checks, so that a fault fixed
// after fuzzing stays fixed without a fuzzer in the loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;

struct Target {
  const char* name;  // the folder of its inputs under corpus/ and regressions/
  int (*run)(const uint8_t*, size_t);
};

const Target kTargets[] = {
    {"registry_read", kb_fuzz::RegistryReadTarget},
    {"registry_walk", kb_fuzz::RegistryWalkTarget},
    {"os_identification", kb_fuzz::OsIdentificationTarget},
    {"checksum", kb_fuzz::ChecksumTarget},
    {"sendto_text", kb_fuzz::SendToTextTarget},
    {"sendto_folder", kb_fuzz::SendToFolderTarget},
    {"dir_util", kb_fuzz::DirUtilTarget},
};

void PrintTo(const Target& t, std::ostream* os) { *os << t.name; }

fs::path FuzzFolder() { return fs::path(__FILE__).parent_path().parent_path() / "fuzz"; }

std::vector<fs::path> InputsOf(const std::string& kind, const std::string& target) {
  std::vector<fs::path> files;
  const fs::path folder = FuzzFolder() / kind / target;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string Replay(const Target& target, const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  try {
    target.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  } catch (const kb_fuzz::InvariantBroken& e) {
    return e.what;
  } catch (const std::exception& e) {
    return std::string("escaped exception: ") + e.what();
  } catch (...) {
    return "escaped exception of an unknown type";
  }
  return std::string();
}

class FuzzInputs : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzInputs, SeedsAndPastCrashesPass) {
  const Target& target = GetParam();
  const std::vector<fs::path> seeds = InputsOf("corpus", target.name);
  EXPECT_FALSE(seeds.empty()) << "no seeds under " << (FuzzFolder() / "corpus" / target.name);
  for (const char* kind : {"corpus", "regressions"})
    for (const fs::path& file : InputsOf(kind, target.name)) {
      const std::string failure = Replay(target, file);
      EXPECT_EQ(failure, "") << file;
    }
}

INSTANTIATE_TEST_SUITE_P(AllTargets, FuzzInputs, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

}  // namespace
