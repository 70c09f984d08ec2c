// Builds MLS module bytes for tests, field by field, so that a test can break any one of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MLSModuleBuilder {
  std::string signature = "MLS";
  std::uint8_t version = 1;
  std::uint16_t language = 4;
  std::string description = "Test English (United States) MLS module.\r\n";
  std::vector<std::string> strings;
  bool countOverride = false;
  std::uint32_t count = 0;
  std::string endSignature = "MLS";

  std::vector<std::uint8_t> Bytes() const {
    std::vector<std::uint8_t> out(signature.begin(), signature.end());
    out.push_back(version);
    Put(out, language, 2);
    Put(out, description.size(), 2);
    out.insert(out.end(), description.begin(), description.end());
    Put(out, countOverride ? count : strings.size(), 4);
    for (const auto& s : strings) Put(out, s.size(), 2);
    for (const auto& s : strings) out.insert(out.end(), s.begin(), s.end());
    out.insert(out.end(), endSignature.begin(), endSignature.end());
    return out;
  }

  static void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
};
