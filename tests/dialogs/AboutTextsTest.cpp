#include "dialogs/AboutTexts.h"
#include "platform/ProductInfo.h"
#include "platform/VersionInfoSource.h"

#include <gtest/gtest.h>

TEST(VersionText, CutsAtMostTwoTrailingZeroParts) {
    EXPECT_EQ(VersionText("2.5.0.0"), "Version 2.5");
    EXPECT_EQ(VersionText("2.5.1.0"), "Version 2.5.1");
    EXPECT_EQ(VersionText("2.5.0.7"), "Version 2.5.0.7");
    EXPECT_EQ(VersionText("1.0.0.0"), "Version 1.0");
    EXPECT_EQ(VersionText("3.0"), "Version 3");
    EXPECT_EQ(VersionText("3.0.0.0.0"), "Version 3.0.0");
}

TEST(VersionText, OnlyAPartThatIsExactlyZeroIsCut) {
    EXPECT_EQ(VersionText("2.5.00"), "Version 2.5.00");
    EXPECT_EQ(VersionText("2.5.10"), "Version 2.5.10");
    EXPECT_EQ(VersionText("2.5."), "Version 2.5.");
    EXPECT_EQ(VersionText("0"), "Version 0");
    EXPECT_EQ(VersionText(""), "Version ");
}

TEST(AboutTexts, NoVersionInformationKeepsTheDesignTexts) {
    const AboutTexts texts = AboutTextsFrom(std::nullopt);
    EXPECT_EQ(texts.version, "Version 0.0.0");
    EXPECT_EQ(texts.copyright, ProductInfo::CopyrightLine);
}

TEST(AboutTexts, MissingFileVersionEmptiesTheVersionLine) {
    const AboutTexts texts = AboutTextsFrom(VersionInfo{});
    EXPECT_EQ(texts.version, "");
    EXPECT_EQ(texts.copyright, ProductInfo::CopyrightLine);
}

TEST(AboutTexts, VersionInformationFillsBothLines) {
    const AboutTexts texts = AboutTextsFrom(VersionInfo{"4.2.0.0", "(C) Somebody Else"});
    EXPECT_EQ(texts.version, "Version 4.2");
    EXPECT_EQ(texts.copyright, "(C) Somebody Else");
}

TEST(AboutTexts, TheProgramCarriesItsProjectVersion) {
    const std::optional<VersionInfo> info = ProgramVersionInfo().Read();
    ASSERT_TRUE(info.has_value());
    ASSERT_TRUE(info->fileVersion.has_value());
    // Four numbers, as a Windows file version has.
    EXPECT_EQ(info->fileVersion->count(QLatin1Char('.')), 3);
    EXPECT_EQ(info->copyright, QString::fromLatin1(ProductInfo::CopyrightLine));
}
