// The installer's reader on an archive of about 100 MB (text, random bytes and long runs, deflated by
// zip at its default level): DEFLATE decoding alone into no file, the whole unpacking into a folder
// with CRC checks and times, beside unzip testing the same archive (-t, no files) and unpacking it.
// Arguments: [MEGABYTES] [WORK_FOLDER]
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
#include "install/inflate.h"
#include "install/unzip.h"
#include "platform/tell/recorder.h"

namespace {

using bench::Clock;
using bench::Seconds;

struct Discard final : install::MemberOutput {
  void Write(const std::uint8_t*, std::size_t) override {}
};

// Files of three kinds, one per megabyte in turn, in four members.
void MakeFiles(long megabytes) {
  std::mt19937_64 gen(42);
  const char* words[] = {"=B 1 0 0 10 10\r\n", "box ", "path ", "NAND2 ", "metal ", "=P 3 40 2\r\n"};
  std::string block(1 << 20, '\0');
  for (int file = 0; file < 4; ++file) {
    std::ofstream out("src/part" + std::to_string(file) + ".bin", std::ios::binary);
    for (long m = file; m < megabytes; m += 4) {
      if (m % 3 == 0) {
        for (std::size_t i = 0; i < block.size(); i += 8) {
          const std::uint64_t v = gen();
          std::memcpy(&block[i], &v, 8);
        }
      } else if (m % 3 == 1) {
        std::string text;
        while (text.size() < block.size()) text += words[gen() % 6];
        block.assign(text, 0, 1 << 20);
      } else {
        block.assign(1 << 20, static_cast<char>(m));
      }
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::atol(argv[1]) : 100;
  std::string dir;
  if (argc > 2) {
    dir = argv[2];
    std::filesystem::create_directories(dir);
  } else {
    char pattern[] = "/tmp/mero-install-bench-XXXXXX";
    dir = mkdtemp(pattern);
  }
  std::filesystem::current_path(dir);
  std::filesystem::create_directories("src");
  std::filesystem::create_directories("ours");
  MakeFiles(megabytes);
  if (std::system("cd src && zip -q -6 ../bench.zip part0.bin part1.bin part2.bin part3.bin") != 0) {
    std::printf("install_bench: zip is needed to make the archive\n");
    return 1;
  }
  // The files just written would otherwise be flushed to disk during the first measurement.
  std::system("sync");
  const double mb = static_cast<double>(megabytes);
  const double archiveMb = static_cast<double>(std::filesystem::file_size("bench.zip")) / (1 << 20);

  // Decoding alone: the members' streams inflated into no file, every byte through the CRC.
  install::ArchiveStream in;
  in.Open(dir + "/bench.zip");
  install::Decoder decoder;
  Discard discard;
  std::uint64_t decoded = 0;
  bool decodedOk = true;
  auto start = Clock::now();
  for (std::uint64_t at = 0;;) {
    std::uint8_t h[30];
    in.SetLimit(install::ArchiveStream::kNoLimit);
    in.Seek(at);
    if (in.Read(h, 30) != 30 || std::memcmp(h, "PK\3\4", 4) != 0) break;
    const std::uint32_t csize = h[18] | h[19] << 8 | h[20] << 16 | static_cast<std::uint32_t>(h[21]) << 24;
    const std::uint64_t data = at + 30 + (h[26] | h[27] << 8) + (h[28] | h[29] << 8);
    in.Seek(data);
    in.SetLimit(data + csize);
    decoder.StartMember(&discard);
    decodedOk = decodedOk && decoder.Inflate(in, ~std::uint64_t{0}) == install::kInflateOk;
    decoder.FinishMember();
    decoded += decoder.BytesWritten();
    at = data + csize;
  }
  const double decodeSeconds = Seconds(start);

  tell::Recorder ui;  // a few lines: one per member
  utilib::Job job("SETUP", ui);
  install::ProgressList lines(job);
  start = Clock::now();
  const int severity = install::UnzipArchive(dir + "/bench.zip", dir + "/ours/", lines);
  const double unpackSeconds = Seconds(start);
  const bool same = std::system("cmp -s src/part0.bin ours/Part0.bin && cmp -s src/part3.bin ours/Part3.bin") == 0;

  const double theirTest = bench::TimeShell("unzip -t -qq bench.zip");
  const double theirUnpack = bench::TimeShell("unzip -o -qq bench.zip -d theirs");
  std::printf("install_bench: %ld MB in 4 members, %.1f MB deflated\n", megabytes, archiveMb);
  std::printf("  our decoder, no files       %7.2f s  %7.1f MB/s  (%s)\n", decodeSeconds, mb / decodeSeconds,
              decodedOk && decoded == static_cast<std::uint64_t>(megabytes) << 20 ? "ok" : "FAILED");
  std::printf("  UnzipArchive into a folder  %7.2f s  %7.1f MB/s  (%s)\n", unpackSeconds, mb / unpackSeconds,
              severity == 0 && same ? "ok" : "FAILED");
  std::printf("  unzip -t                    %7.2f s  %7.1f MB/s\n", theirTest, mb / theirTest);
  std::printf("  unzip into a folder         %7.2f s  %7.1f MB/s\n", theirUnpack, mb / theirUnpack);
  std::printf("  ratio decode/test %.2f, unpack/unpack %.2f (ours / theirs, time)\n", decodeSeconds / theirTest,
              unpackSeconds / theirUnpack);
  std::filesystem::current_path("/");
  if (argc <= 2) std::filesystem::remove_all(dir);
  return decodedOk && severity == 0 && same ? 0 : 1;
}
