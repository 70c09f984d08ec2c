// Wrapping the options dialog's hints.
#include "shell/HintText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(WrapHintText, LinesOfFiftyAtMostKeepingQuotesApostrophesAndStoredBreaks) {
  const std::pair<std::string, std::string> cases[] = {
      {"When selected, Vocalet will compress your recording, so it becomes up to 10 times "
       "smaller in size and will be sent over the Internet much faster.",
       "When selected, Vocalet will compress your\r\nrecording, so it becomes up to 10 times "
       "smaller in\r\nsize and will be sent over the Internet much\r\nfaster."},
      {std::string(50, 'x'), std::string(50, 'x')},
      {"", ""},
      // Quotes and apostrophes count double while the lines are cut.
      {"Click \"Record\" or \"Play\" to hear what you've said so far, then send.",
       "Click \"Record\" or \"Play\" to hear what you've\r\nsaid so far, then send."},
      {"What??s this? Really???", "What's this? Really'?"},
      {"A ``quoted`` word", "A \"quoted\" word"},
      {"First line.\\nSecond line that is long enough to need a break somewhere inside.",
       "First line.\r\nSecond line that is long enough to need a break\r\nsomewhere inside."}};
  for (const auto& [in, out] : cases) EXPECT_EQ(WrapHintText(in), out) << in;
}

TEST(WrapText, BreaksAtSpacesTabsAndAfterHyphensNeverInsideAWord) {
  const std::string mail = "Vocalet closes when the recording has been attached to an e-mail.";
  const std::string word(60, 'w');
  const std::tuple<std::string, std::string, int> cases[] = {
      {mail, "Vocalet closes when the recording has been attached to an\r\ne-mail.", 58},
      {mail, "Vocalet closes when the recording has been attached to an e-\r\nmail.", 61},
      {"ab " + word + " cd", "ab\r\n" + word + "\r\ncd", 50},
      {word, word, 50},
      {"aaaa bbbb\t   cccc", "aaaa bbbb\r\ncccc", 9}};
  for (const auto& [in, out, width] : cases) EXPECT_EQ(WrapText(in, width), out) << in;
}

}  // namespace
