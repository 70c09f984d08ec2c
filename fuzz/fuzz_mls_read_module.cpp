// libFuzzer target for the MLS module reader: ./build.sh fuzz fuzz_mls_read_module 600
// Input: one byte expected language index, one byte expected string count, then the module.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mls/MLSFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int language = data[0];
  const int count = data[1];
  std::vector<std::string> strings(count, "previous");
  TMLSMemoryStream stream(data + 2, size - 2);
  try {
    TMLSFile().ReadModule(stream, language, count - 1, strings);
  } catch (const EMLSException& e) {
    // Every failure must be one of the reader's own codes.
    const std::string text = e.what();
    if (text.find("(Error Code MLS25") == std::string::npos) __builtin_trap();
  }
  if (stream.Position() > size - 2) __builtin_trap();
  return 0;
}
