#include "browser/NodeKeys.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(NumericKey, WhatTheClassicRuntimeTookForANumber) {
    for (const wchar_t* number : {L"050101", L"0", L" 12 ", L"-3", L"+3", L"1.5", L".5", L"5.",
                                  L"1e5", L"1E-5", L"2d3", L"&H1F", L"&o17"})
        EXPECT_TRUE(IsNumericKey(number)) << number;
    for (const wchar_t* text : {L"050101_", L"", L" ", L"1e", L"e5", L"1.2.3", L"&H", L"&HG",
                                L"&O8", L"12a", L"旅行", L"-", L".", L"1 2"})
        EXPECT_FALSE(IsNumericKey(text)) << text;
}

TEST(NodeKeys, NewNodesGetTheirNameAndAnUnderscore_DuplicateAndNumericKeysAreRefused_RemovedFreed) {
    NodeKeys keys;
    ASSERT_EQ(keys.Add(1, NodeKeys::KeyFor(L"a")), KeyError::None);
    EXPECT_EQ(keys.Key(1), L"a_");
    ASSERT_EQ(keys.Add(2, L"b_"), KeyError::None);
    EXPECT_EQ(keys.Add(3, L"a_"), KeyError::NotUnique);
    EXPECT_EQ(keys.Add(3, L"050101"), KeyError::Invalid);
    EXPECT_EQ(keys.size(), 2u);

    EXPECT_EQ(keys.SetKey(2, L"a_"), KeyError::NotUnique);
    EXPECT_EQ(keys.SetKey(2, L"050101"), KeyError::Invalid);
    EXPECT_EQ(keys.Key(2), L"b_");

    // A renamed node's bare name blocks that name; the "_" key of another does not.
    EXPECT_EQ(keys.SetKey(2, L"travel"), KeyError::None);
    EXPECT_EQ(keys.SetKey(1, L"travel"), KeyError::NotUnique);
    EXPECT_EQ(keys.SetKey(1, L"b_"), KeyError::None);  // freed by the rename
    EXPECT_EQ(keys.SetKey(1, L"b_"), KeyError::None);  // its own key again

    keys.Remove(2);  // removed nodes free their keys
    EXPECT_EQ(keys.Key(2), L"");
    EXPECT_EQ(keys.Add(3, L"travel"), KeyError::None);
    keys.Clear();
    EXPECT_EQ(keys.size(), 0u);
    EXPECT_EQ(keys.Add(4, L"b_"), KeyError::None);
}
