// The INI text rules the settings file relies on, checked on code page 932 bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/profile_text.h"

using profile::findValue;
using profile::withValue;

namespace {

TEST(ProfileLookup, NamesIgnoreAsciiCaseAndSurroundingBlanks) {
    const std::string file = "[  pd ]\r\n  UPGAIN   =   32  \r\n";
    EXPECT_EQ(findValue(file, "PD", "UpGain"), "32");
    EXPECT_EQ(findValue(file, "PD", "DnGain"), std::nullopt);
    EXPECT_EQ(findValue(file, "SD", "UpGain"), std::nullopt);
}

TEST(ProfileLookup, KeysBelongOnlyToTheirOwnSection) {
    const std::string file = "UpGain=1\r\n[SD]\r\nUpGain=2\r\n[PD]\r\nDnGain=3\r\n";
    EXPECT_EQ(findValue(file, "PD", "UpGain"), std::nullopt);
    EXPECT_EQ(findValue(file, "SD", "UpGain"), "2");
}

TEST(ProfileLookup, FirstOfRepeatedSectionsAndKeysWins) {
    const std::string file = "[PD]\r\nUpGain=1\r\nupgain=2\r\n[PD]\r\nUpGain=3\r\nDnGain=4\r\n";
    EXPECT_EQ(findValue(file, "PD", "UpGain"), "1");
    EXPECT_EQ(findValue(file, "PD", "DnGain"), std::nullopt);
}

TEST(ProfileLookup, OnePairOfMatchingQuotesIsStripped) {
    const std::string file = "[F]\r\na=\"12 \"\r\nb='x'\r\nc=\"x'\r\nd=\"\r\ne=''\r\nf=\"\"q\"\"\r\ng=\r\n";
    EXPECT_EQ(findValue(file, "F", "a"), "12 ");
    EXPECT_EQ(findValue(file, "F", "b"), "x");
    EXPECT_EQ(findValue(file, "F", "c"), "\"x'");
    EXPECT_EQ(findValue(file, "F", "d"), "\"");
    EXPECT_EQ(findValue(file, "F", "e"), "");
    EXPECT_EQ(findValue(file, "F", "f"), "\"q\"");
    EXPECT_EQ(findValue(file, "F", "g"), "");
}

TEST(ProfileLookup, LfOnlyAndUnterminatedLastLineAreRead) {
    EXPECT_EQ(findValue("[F]\nstd=10\nRDIV=2", "f", "rdiv"), "2");
    EXPECT_EQ(findValue("[F]\nstd=10\nRDIV=2", "F", "STD"), "10");
}

TEST(ProfileLookup, LinesWithoutEqualsOrBracketAreNotKeys) {
    const std::string file = "[F\r\nx=1\r\n[G]\r\nLocalOutput\r\n; LocalOutput=5\r\n";
    EXPECT_EQ(findValue(file, "F", "x"), std::nullopt);
    EXPECT_EQ(findValue(file, "G", "LocalOutput"), std::nullopt);
}

TEST(ProfileLookup, LongValuesAreCutWithoutSplittingADoubleByteCharacter) {
    const std::string longValue(3000, '7');
    EXPECT_EQ(findValue("[F]\r\nk=" + longValue + "\r\n", "F", "k"), std::string(2047, '7'));

    const std::string hiragana = "\x82\xA0";  // one double-byte character
    const std::string edge = std::string(2046, 'a') + hiragana;
    EXPECT_EQ(findValue("[F]\r\nk=" + edge + "\r\n", "F", "k"), std::string(2046, 'a'));
    const std::string fits = std::string(2045, 'a') + hiragana;
    EXPECT_EQ(findValue("[F]\r\nk=" + fits + "\r\n", "F", "k"), fits);
}

TEST(ProfileLookup, TrailBytesAreNeitherCaseFoldedNorTakenForBrackets) {
    // 83 58 and 83 78 are two different katakana whose trail bytes look like 'X' and 'x'.
    const std::string file = "[\x83\x5D]\r\n\x83\x58=1\r\n";
    EXPECT_EQ(findValue(file, "\x83\x5D", "\x83\x58"), "1");
    EXPECT_EQ(findValue(file, "\x83\x5D", "\x83\x78"), std::nullopt);
    EXPECT_EQ(findValue(file, "\x83", "\x83\x58"), std::nullopt);
}

TEST(ProfileWrite, NewFileGetsSectionAndKeyWithCrLf) {
    EXPECT_EQ(withValue("", "Frequency", "std", "10"), "[Frequency]\r\nstd=10\r\n");
}

TEST(ProfileWrite, ExistingKeyIsReplacedInPlaceKeepingItsSpelling) {
    const std::string before = "; note\r\n[pd]\r\n  upgain = 5 \r\nOther=x\r\n[SD]\r\nseed=1\r\n";
    EXPECT_EQ(withValue(before, "PD", "UpGain", "127"),
              "; note\r\n[pd]\r\nupgain=127\r\nOther=x\r\n[SD]\r\nseed=1\r\n");
}

TEST(ProfileWrite, NewKeyGoesAfterTheLastNonBlankLineOfItsSection) {
    const std::string before = "[PD]\r\nUpGain=1\r\n; end of PD\r\n\r\n[SD]\r\nseed=1\r\n";
    EXPECT_EQ(withValue(before, "pd", "DnGain", "2"),
              "[PD]\r\nUpGain=1\r\n; end of PD\r\nDnGain=2\r\n\r\n[SD]\r\nseed=1\r\n");
    EXPECT_EQ(withValue("[PD]\r\n\r\n", "PD", "Offset", "0"), "[PD]\r\nOffset=0\r\n\r\n");
}

TEST(ProfileWrite, NewSectionGoesToTheEndAndLfLinesComeOutAsCrLf) {
    EXPECT_EQ(withValue("[PD]\nUpGain=1", "SD", "seed", "2"), "[PD]\r\nUpGain=1\r\n[SD]\r\nseed=2\r\n");
    EXPECT_EQ(withValue("[PD]\r\nUpGain=1\r", "SD", "seed", "2"), "[PD]\r\nUpGain=1\r\n[SD]\r\nseed=2\r\n");
}

TEST(ProfileWrite, LineBreaksInAValueCannotAddLines) {
    const std::string after = withValue("", "Frequency", "std", "10\r\n[PD]\nUpGain=0");
    EXPECT_EQ(after, "[Frequency]\r\nstd=10  [PD] UpGain=0\r\n");
    EXPECT_EQ(findValue(after, "PD", "UpGain"), std::nullopt);
}

TEST(ProfileWrite, WrittenValueReadsBack) {
    std::string file;
    file = withValue(file, "F", "a", "1");
    file = withValue(file, "G", "b", "\x83\x5C\x81\x5B");
    file = withValue(file, "f", "A", "3");
    EXPECT_EQ(findValue(file, "F", "a"), "3");
    EXPECT_EQ(findValue(file, "G", "b"), "\x83\x5C\x81\x5B");
    EXPECT_EQ(file, "[F]\r\na=3\r\n[G]\r\nb=\x83\x5C\x81\x5B\r\n");
}

// Files assembled from the characters that carry INI structure, double-byte pieces included.
std::string scrambledFile(std::mt19937& rng) {
    static const char* const pieces[] = {"[",    "]", "=",  "S", "s",  "K", "k",    "K2",   "\r",       "\n",
                                         "\r\n", " ", "\t", ";", "\"", "'", "\x83", "\x5D", "\x83\x5D", "x"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 60);
    std::string file;
    for (int n = length(rng); n > 0; --n) file += pieces[pick(rng)];
    return file;
}

const std::string kWritten =
    "v\x83\x5D"
    "1";

TEST(ProfileWrite, AnyFileReadsBackTheWrittenValueAndKeepsOtherKeys) {
    std::mt19937 rng(2011);
    for (int round = 0; round < 5000; ++round) {
        const std::string before = scrambledFile(rng);
        const std::string after = withValue(before, "s", "k", kWritten);
        ASSERT_EQ(findValue(after, "S", "K"), kWritten) << ::testing::PrintToString(before);
        ASSERT_EQ(findValue(after, "S", "K2"), findValue(before, "S", "K2")) << ::testing::PrintToString(before);
        ASSERT_EQ(findValue(after, "x", "K"), findValue(before, "x", "K")) << ::testing::PrintToString(before);
        ASSERT_EQ(withValue(after, "S", "K", kWritten), after) << ::testing::PrintToString(before);
    }
}

}  // namespace
