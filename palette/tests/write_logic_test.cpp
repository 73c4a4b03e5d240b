// The style choice for new text, the name match it uses and the pick loop's decisions.
#include <gtest/gtest.h>

#include "palette/write_logic.h"

using namespace kelva::palette;

TEST(StyleChoice, NewStyleExistingTrueTypeAndShapeFont) {
    // No style of that name: made with the font name as its typeface.
    StyleChoice c = chooseTextStyle(L"Arial", std::nullopt);
    EXPECT_EQ(c.styleName, L"Arial");
    EXPECT_EQ(c.create, std::optional<std::wstring>(L"Arial"));
    // A TrueType style whose typeface is its name: used as it is.
    c = chooseTextStyle(L"Arial", ExistingStyle{L"Arial.TTF", L"Arial"});
    EXPECT_EQ(c.styleName, L"Arial");
    EXPECT_FALSE(c.create);
    // A TrueType style showing another face: a "-" style with the wanted face.
    c = chooseTextStyle(L"Arial", ExistingStyle{L"gulim.ttf", L"굴림"});
    EXPECT_EQ(c.styleName, L"Arial-");
    EXPECT_EQ(c.create, std::optional<std::wstring>(L"Arial-"));
    // No typeface reported: the font file is compared instead.
    c = chooseTextStyle(L"arial.ttf", ExistingStyle{L"arial.ttf", L""});
    EXPECT_FALSE(c.create);
    c = chooseTextStyle(L"Arial", ExistingStyle{L"arial.ttf", L""});
    EXPECT_EQ(c.styleName, L"Arial-");
    // The comparison is case-sensitive.
    c = chooseTextStyle(L"arial", ExistingStyle{L"Arial.ttf", L"Arial"});
    EXPECT_EQ(c.styleName, L"arial-");
    // A shape-font style is used unchanged whatever it shows.
    c = chooseTextStyle(L"Standard", ExistingStyle{L"txt", L""});
    EXPECT_EQ(c.styleName, L"Standard");
    EXPECT_FALSE(c.create);
    c = chooseTextStyle(L"Romans", ExistingStyle{L"romans.shx", L""});
    EXPECT_FALSE(c.create);
}

TEST(StyleChoice, LikePatterns) {
    EXPECT_TRUE(likeMatch(L"Arial", L"Arial"));
    EXPECT_FALSE(likeMatch(L"Arial", L"arial"));
    EXPECT_TRUE(likeMatch(L"Arial Black", L"Arial*"));
    EXPECT_TRUE(likeMatch(L"A1", L"A#"));
    EXPECT_FALSE(likeMatch(L"AB", L"A#"));
    EXPECT_TRUE(likeMatch(L"Ab", L"A[a-c]"));
    EXPECT_FALSE(likeMatch(L"Ab", L"A[!a-c]"));
    EXPECT_TRUE(likeMatch(L"A?", L"A?"));
    EXPECT_TRUE(likeMatch(L"A[", L"A["));  // an unclosed list stands for itself
    EXPECT_FALSE(likeMatch(L"", L"?"));
    EXPECT_TRUE(likeMatch(L"", L"*"));
    EXPECT_FALSE(likeMatch(L"Arial", L""));
}

TEST(PickLoop, DecisionsAfterAPick) {
    EXPECT_EQ(afterPick(true, L"AcDbText", std::nullopt), PickStep::Take);
    EXPECT_EQ(afterPick(true, L"AcDbMText", std::nullopt), PickStep::Take);
    EXPECT_EQ(afterPick(true, L"AcDbLine", std::nullopt), PickStep::NotAText);
    EXPECT_EQ(afterPick(false, L"", 7), PickStep::AskAgain);
    EXPECT_EQ(afterPick(false, L"", 0), PickStep::End);
    EXPECT_EQ(afterPick(false, L"", 52), PickStep::End);
    EXPECT_EQ(afterPick(false, L"", std::nullopt), PickStep::End);  // errno unreadable
    EXPECT_TRUE(isTrueTypeFile(L"ARIAL.TTF"));
    EXPECT_FALSE(isTrueTypeFile(L"tf"));
    EXPECT_FALSE(isTrueTypeFile(L"romans.shx"));
}
