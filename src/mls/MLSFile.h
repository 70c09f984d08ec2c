// The MLS string-module format: the reader shared by the compiled-in English tables and the
// translation files, and the subsystem's one error exit. Platform-neutral, so that it is
// fuzzed and sanitised on the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

class EMLSException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raises EMLSException. A non-empty code is appended as "\n(Error Code <code>)"; the text
// then has its "\n" sequences turned into line breaks.
[[noreturn]] void RaiseMLSError(const std::string& code, const std::string& message);

// A forward-only source of bytes: a resource in memory or a file.
class TMLSStream {
 public:
  virtual ~TMLSStream() = default;
  // Returns the number of bytes delivered; fewer than asked only at the end.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Moves the position forward; past the end it stays at the end.
  virtual void Skip(std::size_t count) = 0;
};

class TMLSMemoryStream : public TMLSStream {
 public:
  // The stream only looks at the bytes; they must outlive it.
  explicit TMLSMemoryStream(std::span<const std::uint8_t> data) : Data(data) {}
  explicit TMLSMemoryStream(std::vector<std::uint8_t>&&) = delete;
  TMLSMemoryStream(const void* data, std::size_t size)
      : Data(static_cast<const std::uint8_t*>(data), size) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  void Skip(std::size_t count) override;
  std::size_t Position() const { return Pos; }

 private:
  std::span<const std::uint8_t> Data;
  std::size_t Pos = 0;
};

class TMLSFile {
 public:
  // Reads one module from the stream's position into strings[0..highIndex]. The caller
  // states the language it asked for and the number of strings its module has
  // (highIndex = count - 1, so -1 for none). Raises codes MLS250 to MLS255; strings read
  // before an error stay in the array, the rest keep their previous text.
  // A module that grew keeps reading the files of its older versions: with `oldestCount`
  // (the count of its first version) a file holding from oldestCount to highIndex + 1
  // strings is read, and the strings it lacks keep their text. Returns the count read.
  std::size_t ReadModule(TMLSStream& stream, int languageIndex, int highIndex,
                         std::span<std::string> strings, int oldestCount = -1);
};

// The message of every format error; the code says which check failed.
inline constexpr const char* MLSFormatErrorText = "Invalid MLS Module format.";
