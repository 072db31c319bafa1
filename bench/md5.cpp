// BENCH md5: the file digest's throughput against OpenSSL's own command on the
// same 1 GiB file, side by side (warm page cache, best of three runs each).
// ratio = our throughput / openssl md5's; the goal is 0.9 or more.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "archive/MD5Api.h"
#include "platform/posix/prefix_files.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kFileSize = 1ull << 30;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The digest printed by "openssl md5 -r FILE", and the time it took.
std::string OpensslDigest(const std::string& path, double& seconds) {
  const auto start = Clock::now();
  FILE* pipe = ::popen(("openssl md5 -r '" + path + "'").c_str(), "r");
  if (!pipe) return "";
  char line[256] = {};
  const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
  ::pclose(pipe);
  seconds = Seconds(start);
  return read ? std::string(line, 32) : "";
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "remedor-bench-XXXXXX");
  if (!::mkdtemp(pattern.data())) return 1;
  const std::filesystem::path prefix = pattern;
  std::filesystem::create_directories(prefix / "drive_c");
  const std::filesystem::path host = prefix / "drive_c/big.bin";
  {
    std::string block(1 << 20, '\0');
    std::mt19937_64 random(42);
    for (char& c : block) c = static_cast<char>(random());
    std::ofstream out(host, std::ios::binary);
    for (std::uint64_t done = 0; done < kFileSize; done += block.size()) out << block;
  }

  platform::posix::PrefixFileSystem files(prefix);
  double ours = 1e9, theirs = 1e9;
  std::string our_digest, their_digest;
  for (int run = 0; run < 3; ++run) {
    double seconds = 0;
    their_digest = OpensslDigest(host.string(), seconds);
    theirs = std::min(theirs, seconds);
    const auto start = Clock::now();
    our_digest = archive::FileDigest(files, "C:\\big.bin");
    ours = std::min(ours, Seconds(start));
  }
  std::filesystem::remove_all(prefix);

  const double mib = static_cast<double>(kFileSize) / (1 << 20);
  std::printf("BENCH md5 ratio=%.3f ours_mib_s=%.0f openssl_mib_s=%.0f same_digest=%s\n",
              theirs / ours, mib / ours, mib / theirs, our_digest == their_digest ? "yes" : "no");
  return our_digest == their_digest ? 0 : 1;
}
