// The hand-off file's text as Vocalet writes it and as SendMail.exe reads it back.
#include <gtest/gtest.h>

#include "MailFile.h"
#include "delivery/SMapiUtils.h"

namespace {

// One attachment per file, whatever its case; an empty list writes no section.
TEST(MailText, TheLayoutSendWrites) {
  TSMapiMessage m;
  m.Subject = "Voice message";
  m.Text = "\r\nHi,\r\nplease listen.";
  m.Files = {"C:\\temp\\vocalet.wav", "c:\\TEMP\\Vocalet.wav"};
  EXPECT_EQ(m.FileText(),
            "[Header]\r\nToName=\r\nToAddr=\r\nSubject=Voice message\r\n"
            "Text=\\nHi,\\nplease listen.\r\n[Files]\r\nC:\\temp\\vocalet.wav=1\r\n");
}

TEST(MailText, EscapesKeepEveryValueOnOneLine) {
  const struct {
    std::string text, escaped;
  } cases[] = {
      {"one\r\ntwo", "one\\ntwo"},
      {"lone\rcr and lone\nlf", "lone\\rcr and lone\\llf"},
      {"hello\n[Files]\nC:\\secret.txt=1", "hello\\l[Files]\\lC:\\secret.txt=1"},
      {"C:\\dir\\file", "C:\\dir\\file"},  // a backslash alone stays as it is
      {"C:\\new\\road", "C:\\\\new\\\\road"},
      {"ends in \\", "ends in \\"},
      {"back\\\r\nslash", "back\\\\\\nslash"},
      {std::string("nul\0here", 8), "nul\\0here"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(EscapeMailText(c.text), c.escaped);
    EXPECT_EQ(RestoreLineBreaks(c.escaped, "\r\n"), c.text);
  }
}

TEST(MailText, EveryTextAndPathComesBackExactly) {
  TSMapiMessage m;
  m.ToName = " Ann = \"Example\" ";
  m.ToAddr = "ann@example.org";
  m.Subject = "Voice\r\nmessage\r[Files]\nC:\\x=1";
  m.Text = "\r\nbody \\n with \\\\ escapes\r\n";
  m.Files = {"C:\\a=b\\msg.wav", ";C:\\comment.wav", "[C:\\bracket].wav", "C:\\ends in=",
             " C:\\space .wav "};
  m.FileNames = {"a=b.wav", "[x]"};
  TMailDescription d;
  ParseMailFile(m.FileText(), d);
  EXPECT_EQ(d.ToName, m.ToName);
  EXPECT_EQ(d.ToAddr, m.ToAddr);
  EXPECT_EQ(d.Subject, m.Subject);
  EXPECT_EQ(d.Text, m.Text);
  EXPECT_EQ(d.Files, m.Files);
  EXPECT_EQ(d.FileNames, m.FileNames);
}

}  // namespace
