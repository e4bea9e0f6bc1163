#include "kv_json.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

std::string ParseError(const std::string& Text) {
  try {
    ParseJson(Text);
  } catch (const std::runtime_error& E) {
    return E.what();
  }
  return "";
}

std::string RoundTrip(const std::string& Text) { return WriteJson(ParseJson(Text)); }

}  // namespace

TEST(JsonText, WritesTheDocumentExample) {
  TJson Doc = TJson::Object();
  Doc.Add("month", 3);
  Doc.Add("ended", false);
  TJson Queue = TJson::Array();
  Queue.Push(4);
  Queue.Push(-2);
  Doc.Add("queue", std::move(Queue));
  Doc.Add("beastNotices", TJson::Array());
  EXPECT_EQ(WriteJson(Doc), R"({ "month" : 3, "ended" : false, "queue" : [4, -2], "beastNotices" : [] })");
}

TEST(JsonText, WritesEveryPieceExactly) {
  struct {
    std::string In, Out;
  } Cases[] = {
      {"{}", "{}"},
      {"[]", "[]"},
      {R"({"a":{},"b":[[],{"c":null}]})", R"({ "a" : {}, "b" : [[], { "c" : null }] })"},
      {"[true,false,null,0,-0,-17]", "[true, false, null, 0, 0, -17]"},
      {"[9223372036854775807,-9223372036854775808]", "[9223372036854775807, -9223372036854775808]"},
      {R"(["a\tb/c"])", R"(["a\tb/c"])"},
      {R"(["\/"])", R"(["/"])"},
      {R"(["\u0001\u000b\u001f\b\f\n\r"])", R"(["\u0001\u000B\u001F\b\f\n\r"])"},
      {R"(["q\"b\\"])", R"(["q\"b\\"])"},
      {"[\"\\u00e9 \xC3\xA9 \\u20ac\"]", "[\"\xC3\xA9 \xC3\xA9 \xE2\x82\xAC\"]"},
      {R"({"\n":1})", R"({ "\n" : 1 })"},
      {"  {\n \"x\" :\t[ 1 , 2 ] }  ", R"({ "x" : [1, 2] })"},
  };
  for (const auto& C : Cases) EXPECT_EQ(RoundTrip(C.In), C.Out) << C.In;
}

TEST(JsonText, NulAndDeleteSurviveARoundTrip) {
  std::string S("a\0b\x7F", 4);
  TJson V(S);
  std::string Text = WriteJson(V);
  EXPECT_EQ(Text, "\"a\\u0000b\x7F\"");
  EXPECT_EQ(ParseJson(Text).Text(), S);
}

TEST(JsonText, HashTextIsFnv1a) {
  EXPECT_EQ(HashText(""), "811C9DC5");
  EXPECT_EQ(HashText("abc"), "1A47E90B");
  EXPECT_EQ(HashText("a"), "E40C292C");
}

TEST(JsonParse, KeepsMemberOrder) {
  TJson V = ParseJson(R"({"zeta":1,"alpha":2,"mid":{"b":1,"a":2}})");
  ASSERT_EQ(V.Size(), 3u);
  EXPECT_EQ(V.KeyAt(0), "zeta");
  EXPECT_EQ(V.KeyAt(1), "alpha");
  EXPECT_EQ(V.Find("mid")->KeyAt(0), "b");
  EXPECT_EQ(V.Find("alpha")->Int(), 2);
  EXPECT_EQ(V.Find("absent"), nullptr);
}

TEST(JsonParse, RefusesWhatTheGameCannotHold) {
  struct {
    std::string Text, Message;
  } Cases[] = {
      {"[1.5]", "Number 1.5 is not a whole number."},
      {"[1e3]", "Number 1e3 is not a whole number."},
      {"[2E-1]", "Number 2E-1 is not a whole number."},
      {"[9223372036854775808]", "Number 9223372036854775808 does not fit in 64 bits."},
      {"[-9223372036854775809]", "Number -9223372036854775809 does not fit in 64 bits."},
      {"[123456789012345678901234567890]", "Number 123456789012345678901234567890 does not fit in 64 bits."},
      {R"({"gold":1,"food":2,"gold":3})", "Duplicate member \"gold\"."},
      {R"({"a":{"b":1,"b":1}})", "Duplicate member \"b\"."},
      {"", "Malformed JSON: the text is empty."},
      {" \n", "Malformed JSON: the text is empty."},
  };
  for (const auto& C : Cases) EXPECT_EQ(ParseError(C.Text), C.Message) << C.Text;
}

TEST(JsonParse, ReportsMalformedTextWithItsPosition) {
  for (std::string Text : {"{", R"({"a":)", R"({"a" 1})", "[1,]", "tru", R"(["\x"])", "{} {}", "\xFF"}) {
    std::string Msg = ParseError(Text);
    EXPECT_EQ(Msg.rfind("Malformed JSON at line 1, column ", 0), 0u) << Text << " gave " << Msg;
  }
  EXPECT_EQ(ParseError("{\n\"a\":[1,2"),
            "Malformed JSON at line 2, column 9: syntax error while parsing array - unexpected end of input; expected ']'");
}

TEST(JsonParse, BoundsNestingDepth) {
  EXPECT_NO_THROW(ParseJson(std::string(200, '[') + std::string(200, ']')));
  EXPECT_EQ(ParseError(std::string(201, '[') + std::string(201, ']')), "JSON text nests deeper than 200 levels.");
  EXPECT_EQ(ParseError(std::string(1000000, '[')), "JSON text nests deeper than 200 levels.");
  std::string Objects;
  for (int I = 0; I < 300; ++I) Objects += "{\"a\":";
  EXPECT_EQ(ParseError(Objects), "JSON text nests deeper than 200 levels.");
}

TEST(JsonTree, PutMovesTheMemberToTheEnd) {
  TJson O = ParseJson(R"({"gold":1,"food":2})");
  O.Put("gold", 7);
  EXPECT_EQ(WriteJson(O), R"({ "food" : 2, "gold" : 7 })");
  O.Put("metal", 3);
  EXPECT_EQ(WriteJson(O), R"({ "food" : 2, "gold" : 7, "metal" : 3 })");
}

TEST(JsonTree, AddOfAnExistingMemberIsTheDuplicateError) {
  TJson O = ParseJson(R"({"rng":5})");
  try {
    O.Add("rng", 6);
    FAIL();
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "Duplicate member \"rng\".");
  }
  EXPECT_EQ(WriteJson(O), R"({ "rng" : 5 })");
}

TEST(JsonTree, ElementsBeyondTheEndRaise) {
  TJson A = ParseJson("[1,2]");
  EXPECT_THROW(A.At(2), std::out_of_range);
  A.Erase(0);
  EXPECT_EQ(WriteJson(A), "[2]");
}
