// The hand-off file as a property: whatever the texts and paths, what Vocalet writes
// (EscapeMailText, the file's text) SendMail.exe reads back (its reader, RestoreLineBreaks)
// exactly; equal paths give one attachment.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "MailFile.h"
#include "delivery/SMapiUtils.h"

namespace {

// A path or name as the system can have one: no line breaks, no NUL.
std::string Name(FuzzedDataProvider& in) {
  std::string s = in.ConsumeRandomLengthString(300);
  std::string out;
  for (char c : s)
    if (c != '\r' && c != '\n' && c != '\0') out += c;
  return out;
}

bool Same(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::vector<std::string> Distinct(const std::vector<std::string>& list) {
  std::vector<std::string> out;
  for (const std::string& s : list) {
    if (s.empty()) continue;
    bool seen = false;
    for (const std::string& o : out) seen = seen || Same(o, s);
    if (!seen) out.push_back(s);
  }
  return out;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  TSMapiMessage m;
  m.ToName = in.ConsumeRandomLengthString(200);
  m.ToAddr = in.ConsumeRandomLengthString(200);
  m.Subject = in.ConsumeRandomLengthString(400);
  m.Text = in.ConsumeRandomLengthString(2000);
  const int files = in.ConsumeIntegralInRange(0, 5), names = in.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < files; ++i) m.Files.push_back(Name(in));
  for (int i = 0; i < names; ++i) m.FileNames.push_back(Name(in));

  for (const std::string* t : {&m.ToName, &m.ToAddr, &m.Subject, &m.Text}) {
    const std::string escaped = EscapeMailText(*t);
    Check(escaped.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    Check(RestoreLineBreaks(escaped, "\r\n") == *t);
  }

  TMailDescription d;
  ParseMailFile(m.FileText(), d);
  Check(d.ToName == m.ToName);
  Check(d.ToAddr == m.ToAddr);
  Check(d.Subject == m.Subject);
  Check(d.Text == m.Text);
  Check(d.Files == Distinct(m.Files));
  Check(d.FileNames == Distinct(m.FileNames));
  return 0;
}
