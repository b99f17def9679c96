#include "http/content_type.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(ContentTypeOf, IsTheFirstContentTypeLineInAnyLetterCase) {
  struct Case { const char* name; std::string_view headers; const char* type; };
  const Case cases[] = {
      {"usual", "HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: 2\r\n\r\n",
       "application/json; charset=utf-8"},
      {"lower case, no space", "HTTP/1.1 200 OK\r\ncontent-type:text/plain\r\n", "text/plain"},
      {"first of two", "HTTP/1.1 200 OK\r\nContent-Type: a/b\r\nContent-Type: c/d\r\n", "a/b"},
      {"none", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n", ""},
      {"a longer name", "HTTP/1.1 200 OK\r\nX-Content-Type: a/b\r\n", ""},
      {"no headers", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ContentTypeOf(c.headers), c.type) << c.name;
}

TEST(CharsetOf, IsTheUnquotedLowerCaseCharsetParameter) {
  struct Case { std::string_view type; const char* charset; };
  const Case cases[] = {
      {"application/json; charset=utf-8", "utf-8"},
      {"application/json;charset=UTF-8", "utf-8"},
      {"text/plain; format=flowed; Charset = \"GBK\" ", "gbk"},
      {"application/json", ""},
      {"charset=utf-8", ""},  // a media type, not a parameter
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CharsetOf(c.type), c.charset) << c.type;
}

}  // namespace
}  // namespace lumen
