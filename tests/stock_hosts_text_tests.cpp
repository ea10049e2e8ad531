#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "repair/stock_hosts_text.h"

namespace {
const std::string kIndent = "\xA1\xA1\xA1\xA1";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}
}  // namespace

TEST(StockHostsText, HasTwentyCommentLinesOfTheirExactLengths) {
  const std::string text(StockHostsText);
  ASSERT_EQ(text.size(), 831u);
  EXPECT_EQ(text.front(), '#');
  EXPECT_EQ(text.substr(text.size() - 9), "localhost") << "no final line break";

  const size_t lengths[] = {41, 5,  71, 5,  73, 71, 76, 74, 12, 5,
                            74, 66, 5,  18, 5,  49, 44, 57, 24, 18};
  std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 20u);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(line.size(), lengths[i]);
    bool indented = i != 0 && i != 17;
    EXPECT_EQ(line.compare(0, 4, kIndent) == 0, indented);
    std::string content = indented ? line.substr(4) : line;
    ASSERT_FALSE(content.empty());
    EXPECT_EQ(content[0], '#') << "every line is a comment";
    EXPECT_EQ(content.find("  "), std::string::npos) << "single spaces only";
    for (unsigned char c : content) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "printable ASCII";
  }
  EXPECT_EQ(lines[18].substr(4), "#127.0.0.1 localhost");
  EXPECT_EQ(lines[19].substr(4), "#::1 localhost");
}

TEST(StockHostsText, IndentReadsAsTwoIdeographicSpacesInCodePage936) {
  wchar_t wide[1024] = {};
  ASSERT_GT(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, StockHostsText, -1, wide, 1024), 0);
  std::wstring text(wide);
  EXPECT_EQ(text.compare(0, 1, L"#"), 0);
  size_t indented = 0;
  for (size_t at = 0; (at = text.find(L"\r\n", at)) != std::wstring::npos; at += 2) {
    if (text.compare(at + 2, 3, L"\u3000\u3000#") == 0) ++indented;
  }
  EXPECT_EQ(indented, 18u);
}
