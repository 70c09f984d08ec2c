#include <gtest/gtest.h>

#include "delivery/SMapiUtils.h"

TEST(MailText, LineBreaksBecomeBackslashN) {
  EXPECT_EQ(EscapeMailText("one\r\ntwo"), "one\\ntwo");
  EXPECT_EQ(EscapeMailText("\r\nstarts with a break"), "\\nstarts with a break");
  EXPECT_EQ(EscapeMailText("a\r\n\r\nb"), "a\\n\\nb");
  EXPECT_EQ(EscapeMailText(""), "");
}

TEST(MailText, LoneBreaksCannotEndTheValue) {
  std::string attack = "hello\n[Files]\nC:\\secret.txt=1\rmore";
  std::string escaped = EscapeMailText(attack);
  EXPECT_EQ(escaped.find('\n'), std::string::npos);
  EXPECT_EQ(escaped.find('\r'), std::string::npos);
  EXPECT_EQ(escaped, "hello\\n[Files]\\nC:\\secret.txt=1\\nmore");
  EXPECT_EQ(EscapeMailText("ends\r"), "ends\\n");
}
