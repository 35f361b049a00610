#include <gtest/gtest.h>

#include "app/GetComma.h"

namespace {
int Field(const char* text, int n)
{
    CGetComma list;
    list.SetString(text);
    return list.GetValue(n);
}
}  // namespace

TEST(GetComma, ReadsEachFieldOfAList)
{
    EXPECT_EQ(Field("100,100", 0), 100);
    EXPECT_EQ(Field("100,100", 1), 100);
    EXPECT_EQ(Field("100,100", 2), 0);

    const int expected[] = {1011, 1012, 0, 1001, 1004, 1005, 1007, 1013, 1014, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Field("1011,1012,0,1001,1004,1005,1007,1013,1014", i), expected[i]) << i;
}

TEST(GetComma, OddFieldsReadAsAtoiDoes)
{
    EXPECT_EQ(Field("1,,3", 1), 0);          // empty field
    EXPECT_EQ(Field("1,2,", 2), 0);          // trailing comma
    EXPECT_EQ(Field("1, 42", 1), 42);        // leading blank
    EXPECT_EQ(Field("12abc,7", 0), 12);      // digits then letters
    EXPECT_EQ(Field("abc,7", 0), 0);         // no digits
    EXPECT_EQ(Field("-20,300", 0), -20);     // negative position written by %d
    EXPECT_EQ(Field("250", 0), 250);         // a lone field is the whole text
    EXPECT_EQ(Field("250", 1), 0);
    EXPECT_EQ(Field("", 0), 0);
    EXPECT_EQ(Field("", 3), 0);
    EXPECT_EQ(Field("5,6", -1), 0);
}

TEST(GetComma, FindCommaCountsFromOne)
{
    CGetComma list;
    list.SetString("a,b,c");
    EXPECT_EQ(list.FindComma(1), 1);
    EXPECT_EQ(list.FindComma(2), 3);
    EXPECT_EQ(list.FindComma(3), -1);
    EXPECT_EQ(list.FindComma(0), -1);
    EXPECT_EQ(list.FindComma(-2), -1);
}

TEST(GetComma, IsDynamicallyCreatable)
{
    CObject* object = RUNTIME_CLASS(CGetComma)->CreateObject();
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->GetRuntimeClass()->m_lpszClassName, "CGetComma");
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CObject)));
    delete object;
}
