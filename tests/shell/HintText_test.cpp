// Wrapping the options dialog's hints (host and Wine).
#include "shell/HintText.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += (s.empty() ? "" : " ") + l;
  return s;
}

const std::string GsmHint =
    "When selected, Vocalet will compress your recording, so it becomes up to 10 times smaller "
    "in size and will be sent over the Internet much faster.";

TEST(WrapHintText, ALongHintBecomesLinesOfAtMostFiftyBrokenAtSpaces) {
  const auto lines = Lines(WrapHintText(GsmHint));
  ASSERT_GT(lines.size(), 2u);
  for (const auto& l : lines) {
    EXPECT_LE(l.size(), 50u) << l;
    EXPECT_FALSE(l.empty());
    EXPECT_NE(l.front(), ' ') << l;
    EXPECT_NE(l.back(), ' ') << l;
  }
  EXPECT_EQ(Joined(lines), GsmHint) << "nothing lost but the spaces at the breaks";
  // Greedy: each line takes as many words as fit.
  EXPECT_EQ(lines[0], "When selected, Vocalet will compress your");
  EXPECT_EQ(lines[1], "recording, so it becomes up to 10 times smaller in");
}

TEST(WrapHintText, AShortHintIsLeftAlone) {
  EXPECT_EQ(WrapHintText("Click this button to save changes and exit."),
            "Click this button to save changes and exit.");
  EXPECT_EQ(WrapHintText(std::string(50, 'x')), std::string(50, 'x'));
  EXPECT_EQ(WrapHintText(""), "");
}

TEST(WrapHintText, QuotesAndApostrophesAreKeptAndStillWrap) {
  const std::string hint =
      "Press \"Record\" and speak; you'll see the level move while it's recording your voice.";
  const std::string wrapped = WrapHintText(hint);
  const auto lines = Lines(wrapped);
  ASSERT_GT(lines.size(), 1u) << "quoted text does not stop the wrap";
  for (const auto& l : lines) EXPECT_LE(l.size(), 50u) << l;
  EXPECT_EQ(Joined(lines), hint);
  EXPECT_EQ(wrapped.find("??"), std::string::npos);
  EXPECT_EQ(wrapped.find("``"), std::string::npos);
}

TEST(WrapHintText, TwoQuestionMarksInARowBecomeAnApostrophe) {
  EXPECT_EQ(WrapHintText("What??s this?"), "What's this?");
  EXPECT_EQ(WrapHintText("Really???"), "Really'?");
  EXPECT_EQ(WrapHintText("A ``quoted`` word"), "A \"quoted\" word");
}

TEST(WrapHintText, StoredLineBreaksStartNewLinesAndResetTheColumn) {
  const std::string wrapped = WrapHintText(
      "First line.\\nSecond line that is long enough to need a break somewhere inside.");
  const auto lines = Lines(wrapped);
  ASSERT_EQ(lines.size(), 3u) << wrapped;
  EXPECT_EQ(lines[0], "First line.");
  EXPECT_EQ(lines[1], "Second line that is long enough to need a break");
  EXPECT_EQ(lines[2], "somewhere inside.");
}

TEST(WrapText, HyphensAreBreakPointsAndStayOnTheFirstLine) {
  const std::string text = "Vocalet closes when the recording has been attached to an e-mail.";
  EXPECT_EQ(Lines(WrapText(text, 58)),
            (std::vector<std::string>{"Vocalet closes when the recording has been attached to an",
                                      "e-mail."}));
  EXPECT_EQ(Lines(WrapText(text, 61)),
            (std::vector<std::string>{
                "Vocalet closes when the recording has been attached to an e-", "mail."}));
}

TEST(WrapText, AWordLongerThanALineStaysWhole) {
  const std::string word(60, 'w');
  EXPECT_EQ(Lines(WrapText("ab " + word + " cd", 50)),
            (std::vector<std::string>{"ab", word, "cd"}));
  EXPECT_EQ(WrapText(word, 50), word);
}

TEST(WrapText, TabsAndRunsOfSpacesAtABreakGo) {
  EXPECT_EQ(Lines(WrapText("aaaa bbbb\t   cccc", 9)),
            (std::vector<std::string>{"aaaa bbbb", "cccc"}));
}

}  // namespace
