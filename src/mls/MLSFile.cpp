#include "mls/MLSFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "util/StrUtils.h"

void RaiseMLSError(const std::string& code, const std::string& message) {
  std::string text = message;
  if (!code.empty()) text += "\\n(Error Code " + code + ")";
  throw EMLSException(ConvertLineBreaks(text));
}

std::size_t TMLSMemoryStream::Read(void* buffer, std::size_t count) {
  const std::size_t n = std::min(count, Data.size() - Pos);
  if (n > 0) std::memcpy(buffer, Data.data() + Pos, n);
  Pos += n;
  return n;
}

void TMLSMemoryStream::Skip(std::size_t count) {
  Pos += std::min(count, Data.size() - Pos);
}

namespace {

const std::uint8_t Signature[3] = {'M', 'L', 'S'};

void Fail(const char* code) { RaiseMLSError(code, MLSFormatErrorText); }

// The fields are little-endian whatever the machine; a short read fails with the code of
// the field, so a file that ends inside the header never passes a check by accident.
bool ReadUInt(TMLSStream& stream, std::size_t size, std::uint32_t& value) {
  std::uint8_t bytes[4] = {};
  if (stream.Read(bytes, size) != size) return false;
  value = 0;
  for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes[i];
  return true;
}

bool ReadSignature(TMLSStream& stream) {
  std::uint8_t bytes[3];
  return stream.Read(bytes, 3) == 3 && std::memcmp(bytes, Signature, 3) == 0;
}

}  // namespace

std::size_t TMLSFile::ReadModule(TMLSStream& stream, int languageIndex, int highIndex,
                                 std::span<std::string> strings, int oldestCount) {
  if (highIndex < -1 || static_cast<std::size_t>(highIndex + 1) > strings.size())
    throw std::invalid_argument("ReadModule: highIndex does not fit the string array");
  if (oldestCount < 0 || oldestCount > highIndex + 1) oldestCount = highIndex + 1;

  if (!ReadSignature(stream)) Fail("MLS250");
  std::uint32_t value = 0;
  if (!ReadUInt(stream, 1, value) || value != 1) Fail("MLS251");
  if (!ReadUInt(stream, 2, value) || value != static_cast<std::uint32_t>(languageIndex))
    Fail("MLS252");
  std::uint32_t descriptionLength = 0;
  if (!ReadUInt(stream, 2, descriptionLength)) Fail("MLS253");
  stream.Skip(descriptionLength);
  // The count is checked against what the module class expects before anything is
  // allocated, so a hostile count cannot make us reserve memory.
  std::uint32_t count = 0;
  if (!ReadUInt(stream, 4, count) || count > static_cast<std::uint32_t>(highIndex + 1) ||
      count < static_cast<std::uint32_t>(oldestCount))
    Fail("MLS253");

  std::vector<std::uint8_t> lengthTable(2 * static_cast<std::size_t>(count));
  if (stream.Read(lengthTable.data(), lengthTable.size()) != lengthTable.size()) Fail("MLS254");

  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t length = lengthTable[2 * i] | (lengthTable[2 * i + 1] << 8);
    std::string text(length, '\0');
    if (stream.Read(text.data(), length) != length) Fail("MLS254");
    strings[i] = std::move(text);
  }
  if (!ReadSignature(stream)) Fail("MLS255");
  return count;
}
