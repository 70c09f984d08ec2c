// DoubleConvert reading a real file through TFileReadStream, with one read made to fail:
// a conversion that met a failed read never succeeds (a truncated message must not replace
// the whole one), and one that met none ends as before: a well-formed GSM 6.10 file or a
// clear failure.
//   Input: byte 0 = which read fails (0: none), byte 1 = how much of it still arrives,
//   then the file's bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "ConversionCheck.h"
#include "convert/ByteStream.h"
#include "util/FileIO.h"

namespace {

class TFailingRead : public vocalet::TStream {
 public:
  TFailingRead(vocalet::TStream& inner, unsigned failAt, unsigned part)
      : inner_(inner), failAt_(failAt), part_(part) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (++reads_ != failAt_) return inner_.Read(buffer, count);
    error_ = 5;  // what a failing disk reports
    return inner_.Read(buffer, count * part_ / 256);
  }
  std::size_t Write(const void*, std::size_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, vocalet::SeekOrigin origin) override {
    return inner_.Seek(offset, origin);
  }
  std::uint32_t ReadError() const override { return error_ != 0 ? error_ : inner_.ReadError(); }
  bool Failed() const { return error_ != 0; }

 private:
  vocalet::TStream& inner_;
  unsigned reads_ = 0, failAt_, part_;
  std::uint32_t error_ = 0;
};

const std::string& FilePath() {
  static const std::string path = "/tmp/fuzz_DoubleConvertReadError." + std::to_string(getpid()) + ".wav";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  {
    vocalet::TFile f = vocalet::TFile::Create(FilePath());
    if (!f.Write(data + 2, size - 2)) std::abort();
  }
  vocalet::TFileReadStream file(FilePath());
  if (!file.IsOpen()) std::abort();
  TFailingRead source(file, data[0], data[1]);

  if (ConvertAndCheck(source) && source.Failed()) std::abort();
  return 0;
}
