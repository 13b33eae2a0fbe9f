// The file encoder on 100 MB of random bytes, encoding (with the check sum of the UUE text) and
// decoding, pauses off and no display, beside sharutils' uuencode and uudecode on the same file.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench/common/measure.h"
#include "utilib/job.h"
#include "utilib/quiet_ui.h"
#include "uuencode/uue_job.h"

using bench::Clock;
using bench::Seconds;

namespace {
// Processor time (user and system) used so far by this process or by its finished children; on a
// busy machine it shows the work itself where wall time also counts the waiting.
double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::atol(argv[1]) : 100;
  char pattern[] = "/tmp/mero-uue-bench-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  std::filesystem::current_path(dir);
  std::filesystem::create_directory("back");
  {
    std::mt19937_64 gen(42);
    std::ofstream out("data.bin", std::ios::binary);
    std::string block(1 << 20, '\0');
    for (long m = 0; m < megabytes; ++m) {
      for (std::size_t i = 0; i < block.size(); i += 8) {
        const std::uint64_t v = gen();
        std::memcpy(&block[i], &v, 8);
      }
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  utilib::QuietUi ui;
  utilib::Job job("MEROUUE", ui);
  uue::UueOutcome out;
  uue::UueSettings s;
  s.source() = "data.bin";
  uue::NormaliseUueSettings(s);
  auto start = Clock::now();
  double cpu = CpuSeconds(RUSAGE_SELF);
  const int encoded = uue::ConvertUue(job, s, out);
  const double encodeSeconds = Seconds(start);
  const double encodeCpu = CpuSeconds(RUSAGE_SELF) - cpu;
  s.source() = "Data.uue";
  s.destination() = "back";
  uue::NormaliseUueSettings(s);
  start = Clock::now();
  cpu = CpuSeconds(RUSAGE_SELF);
  const int decoded = uue::ConvertUue(job, s, out);
  const double decodeSeconds = Seconds(start);
  const double decodeCpu = CpuSeconds(RUSAGE_SELF) - cpu;
  const bool same = std::system("cmp -s data.bin back/data.bin") == 0;

  cpu = CpuSeconds(RUSAGE_CHILDREN);
  const double theirEncode = bench::TimeShell("uuencode data.bin data.bin > gnu.uue");
  const double theirEncodeCpu = CpuSeconds(RUSAGE_CHILDREN) - cpu;
  cpu = CpuSeconds(RUSAGE_CHILDREN);
  const double theirDecode = bench::TimeShell("uudecode -o gnu.bin gnu.uue");
  const double theirDecodeCpu = CpuSeconds(RUSAGE_CHILDREN) - cpu;
  const double mb = static_cast<double>(megabytes);
  std::printf("uue_bench: %ld MB of random bytes\n", megabytes);
  std::printf("  wmerouue encode + check sum  %7.2f s  %7.1f MB/s  (%s)\n", encodeSeconds, mb / encodeSeconds,
              encoded == uue::kEncoded ? "ok" : "FAILED");
  std::printf("  wmerouue decode              %7.2f s  %7.1f MB/s  (%s)\n", decodeSeconds, mb / decodeSeconds,
              decoded == uue::kDecoded && same ? "ok" : "FAILED");
  std::printf("  uuencode                     %7.2f s  %7.1f MB/s\n", theirEncode, mb / theirEncode);
  std::printf("  uudecode                     %7.2f s  %7.1f MB/s\n", theirDecode, mb / theirDecode);
  std::printf("  ratio encode %.2f, decode %.2f (ours / theirs)\n", encodeSeconds / theirEncode,
              decodeSeconds / theirDecode);
  std::printf("  processor time: encode %.2f s against %.2f s, decode %.2f s against %.2f s; ratio encode %.2f, "
              "decode %.2f\n",
              encodeCpu, theirEncodeCpu, decodeCpu, theirDecodeCpu, encodeCpu / theirEncodeCpu,
              decodeCpu / theirDecodeCpu);
  std::filesystem::current_path("/");
  std::filesystem::remove_all(dir);
  return encoded == uue::kEncoded && decoded == uue::kDecoded && same ? 0 : 1;
}
