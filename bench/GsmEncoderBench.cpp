// bench_gsm_encoder RAW: encodes 8000 Hz mono 16-bit raw samples to WAV49 blocks with our
// encoder and with libgsm, several rounds each, and prints the best time of each and whether
// the outputs agree.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <gsm.h>
}

#include "convert/Gsm610Wav49.h"

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_gsm_encoder RAW\n");
    return 2;
  }
  std::FILE* f = std::fopen(argv[1], "rb");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  std::vector<std::int16_t> s;
  std::int16_t buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 2, 4096, f)) > 0) s.insert(s.end(), buf, buf + n);
  std::fclose(f);
  s.resize(s.size() / 320 * 320);
  const std::size_t blocks = s.size() / 320;
  std::vector<std::uint8_t> ours(blocks * 65), theirs(blocks * 65);

  double bestOurs = 1e9, bestTheirs = 1e9;
  for (int round = 0; round < 5; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    vocalet::Gsm610Encoder encoder;
    for (std::size_t b = 0; b < blocks; ++b) vocalet::EncodeWav49Block(encoder, &s[b * 320], &ours[b * 65]);
    auto t1 = std::chrono::steady_clock::now();
    gsm g = gsm_create();
    int one = 1;
    gsm_option(g, GSM_OPT_WAV49, &one);
    for (std::size_t b = 0; b < blocks; ++b) {
      gsm_encode(g, &s[b * 320], &theirs[b * 65]);
      gsm_encode(g, &s[b * 320 + 160], &theirs[b * 65 + 32]);
    }
    gsm_destroy(g);
    auto t2 = std::chrono::steady_clock::now();
    bestOurs = std::min(bestOurs, Seconds(t1 - t0));
    bestTheirs = std::min(bestTheirs, Seconds(t2 - t1));
  }
  const bool same = ours == theirs;
  std::printf("encoder, %.1f s of 8000 Hz audio: ours %.3f s, libgsm %.3f s, ours/libgsm %.2f, output %s\n",
              s.size() / 8000.0, bestOurs, bestTheirs, bestOurs / bestTheirs, same ? "identical" : "DIFFERENT");
  return same ? 0 : 1;
}
