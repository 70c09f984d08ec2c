// vocalet-compress FILE: compresses the wave file FILE in place to GSM 6.10, exactly as the
// program does with a message. Silent on success; the reason and a non-zero exit on failure.
#include <cstdio>
#include <string>

#include "convert/WaveConvert.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vocalet-compress FILE\n");
    return 2;
  }
  std::string error;
  if (!vocalet::CompressWaveFile(argv[1], vocalet::acm::DefaultAcmLayer(), &error)) {
    std::fprintf(stderr, "vocalet-compress: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  return 0;
}
