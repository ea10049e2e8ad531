#include <windows.h>

#include <gtest/gtest.h>

#include <wincrypt.h>

#include <cstdio>
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

// SHA-256 of the bytes through the platform's crypto provider, in lower-case hex; empty on failure.
std::string Sha256(const void* bytes, DWORD size) {
  std::string hex;
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
    return hex;
  }
  HCRYPTHASH hash = 0;
  BYTE digest[32];
  DWORD digestSize = sizeof digest;
  if (CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash) &&
      CryptHashData(hash, static_cast<const BYTE*>(bytes), size, 0) &&
      CryptGetHashParam(hash, HP_HASHVAL, digest, &digestSize, 0) && digestSize == 32) {
    for (BYTE b : digest) {
      char pair[3];
      std::snprintf(pair, sizeof pair, "%02x", b);
      hex += pair;
    }
  }
  if (hash) CryptDestroyHash(hash);
  CryptReleaseContext(provider, 0);
  return hex;
}
}  // namespace

// The lengths and the line rules leave the words free; the digest pins every byte: the sample's
// wording laid out with the indent and single spaces, CR LF between lines and none at the end.
TEST(StockHostsText, HoldsExactlyTheLaidOutSampleBytes) {
  EXPECT_EQ(Sha256("abc", 3), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad")
      << "the hash itself, on a known input";
  EXPECT_EQ(Sha256(StockHostsText, sizeof StockHostsText - 1),
            "fcb4089ed59ddb2875b4ae1a169d6af704a66ef44f988ca7bd85bab2ce31274e");
}

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
