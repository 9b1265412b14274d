// The agreement carried by the wizard: assets/licence.txt, code page 1251,
// CR LF line ends. The licence page appends it line by line and the install
// saves it unchanged, so its shape and bytes are checked here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ReadLicence() {
    std::ifstream in(std::string(QV_SOURCE_DIR) + "/assets/licence.txt", std::ios::binary);
    EXPECT_TRUE(in) << "assets/licence.txt cannot be opened";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines without their CR LF; a text that ends with CR LF has no empty tail line.
std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Bytes a Russian text in code page 1251 may hold besides printable ASCII:
// the Cyrillic letters, Ё and ё, and the punctuation of Russian typography.
bool IsRussianCp1251(unsigned char c) {
    if (c >= 0x20 && c < 0x7F) return true;
    if (c >= 0xC0) return true;  // А..я
    switch (c) {
        case 0xA8: case 0xB8:  // Ё ё
        case 0xAB: case 0xBB:  // « »
        case 0x96: case 0x97:  // – —
        case 0x85:             // …
        case 0xA9: case 0xB9:  // © №
            return true;
        default:
            return false;
    }
}

class LicenceText : public ::testing::Test {
protected:
    void SetUp() override {
        text_ = ReadLicence();
        ASSERT_FALSE(text_.empty());
        lines_ = SplitCrLf(text_);
    }
    std::string text_;
    std::vector<std::string> lines_;
};

TEST_F(LicenceText, HasItsLinesEmptyLinesAndWidth) {
    EXPECT_EQ(lines_.size(), 125u);
    const auto empty = std::count_if(lines_.begin(), lines_.end(),
                                     [](const std::string& l) { return l.empty(); });
    EXPECT_EQ(empty, 16);
    std::size_t longest = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        EXPECT_LE(lines_[i].size(), 68u) << "line " << i + 1;
        longest = std::max(longest, lines_[i].size());
    }
    EXPECT_EQ(longest, 68u);
    EXPECT_FALSE(lines_.front().empty()) << "the box shows the text from its first line";
}

TEST_F(LicenceText, EveryLineEndsWithCrLfTheLastIncluded) {
    ASSERT_GE(text_.size(), 2u);
    EXPECT_EQ(text_.substr(text_.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] == '\r') {
            ASSERT_TRUE(i + 1 < text_.size() && text_[i + 1] == '\n') << "lone CR at byte " << i;
        } else if (text_[i] == '\n') {
            ASSERT_TRUE(i > 0 && text_[i - 1] == '\r') << "lone LF at byte " << i;
        }
    }
}

TEST_F(LicenceText, IsPrintableRussianCp1251WithoutBomOrTabs) {
    EXPECT_NE(text_.compare(0, 3, "\xEF\xBB\xBF"), 0) << "a UTF-8 byte order mark";
    std::size_t cyrillic = 0;
    for (std::size_t n = 0; n < lines_.size(); ++n) {
        const std::string& line = lines_[n];
        for (std::size_t i = 0; i < line.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(line[i]);
            ASSERT_TRUE(IsRussianCp1251(c))
                << "line " << n + 1 << ", column " << i + 1 << ": byte 0x" << std::hex << int(c);
            if (c >= 0xC0) ++cyrillic;
        }
        EXPECT_TRUE(line.empty() || line.back() != ' ') << "trailing space on line " << n + 1;
    }
    // Mostly Cyrillic letters, and the product named as the program shows it
    // («Кворвель 2.0» in code page 1251, like the file).
    EXPECT_GT(cyrillic, text_.size() / 2);
    EXPECT_NE(text_.find("\xCA\xE2\xEE\xF0\xE2\xE5\xEB\xFC 2.0"), std::string::npos);
}

}  // namespace
