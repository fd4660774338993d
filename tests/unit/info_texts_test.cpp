#include <gtest/gtest.h>

#include "infowin/info_texts.h"

TEST(JoinLines, CarriageReturnLineFeedBetweenLinesOnly) {
    EXPECT_EQ(JoinLines({"a", "b ", "c"}), "a\r\nb \r\nc");
    EXPECT_EQ(JoinLines({"one"}), "one");
    EXPECT_EQ(JoinLines({"", "x", ""}), "\r\nx\r\n");
    EXPECT_EQ(JoinLines({}), "");
}

TEST(HelpTexts, BothBeginWithTheSameLineAndKeepTheirBlanks) {
    const std::string instruction = HelpInstructionText();
    const std::string recommendation = HelpRecommendationText();
    const std::string first = "Run the KESTO video converter as Administrator !\r\n";
    EXPECT_EQ(instruction.rfind(first, 0), 0u);
    EXPECT_EQ(recommendation.rfind(first, 0), 0u);
    EXPECT_NE(recommendation.find("for output video \r\nThe better"), std::string::npos);
    EXPECT_NE(instruction.back(), '\n');
    EXPECT_NE(recommendation.back(), '\n');
}

TEST(LinkRequests, WebAddressTakesTheDefaultVerbAndMailOpensMailto) {
    const ShellRequest web = WebAddressRequest("http://tarvelle.test");
    EXPECT_EQ(web.verb, "");
    EXPECT_EQ(web.file, "http://tarvelle.test");
    const ShellRequest mail = EmailRequest("support@tarvelle.test");
    EXPECT_EQ(mail.verb, "Open");
    EXPECT_EQ(mail.file, "mailto:support@tarvelle.test");
    EXPECT_TRUE(IsLinkClick(0));
    EXPECT_FALSE(IsLinkClick(1)); // a double-click notification
}
