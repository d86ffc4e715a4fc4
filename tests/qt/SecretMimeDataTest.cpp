#include "qt/SecretMimeData.h"

#include <gtest/gtest.h>

using namespace mirvane;

// A target may ask for the dropped text in any format offered: each gives the same text.
TEST(SecretMimeData, ANonAsciiPasswordComesOutTheSameInEveryTextFormat) {
    SecretMimeData data(SecretText(u"p\u00e4ssw\u00f6rd\u20ac"), [] { return true; });
    const QByteArray utf8("p\xc3\xa4ssw\xc3\xb6rd\xe2\x82\xac");
    for (const char* format : {"text/plain;charset=utf-8", "text/plain"}) {
        EXPECT_TRUE(data.hasFormat(QString::fromLatin1(format))) << format;
        EXPECT_EQ(data.data(QString::fromLatin1(format)), utf8) << format;
    }
    EXPECT_EQ(data.text(), QString::fromUtf8(utf8));
}
