#include "win32/SecretDataObject.h"

#include <gtest/gtest.h>

#include <string>

namespace mirvane {
namespace {

// Announced to every window, the text goes only to the reader the gate lets through, in the
// format it asked for; a refusal hands over no memory.
TEST(SecretDataObject, TheTextGoesOnlyWhereTheGateLetsItInTheFormatAskedFor) {
    int answers = 1;
    auto* data = new SecretDataObject(SecretText(u"p\u00e9\u20ac1"), [&] { return answers-- > 0; });
    FORMATETC unicode{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC ansi{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    EXPECT_EQ(data->QueryGetData(&unicode), S_OK);
    EXPECT_EQ(data->QueryGetData(&ansi), S_OK);
    EXPECT_EQ(data->QueryGetData(&bitmap), DV_E_FORMATETC);

    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&unicode, &medium), S_OK);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(medium.hGlobal))), u"p\u00e9\u20ac1");
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    STGMEDIUM refused{};
    EXPECT_EQ(data->GetData(&unicode, &refused), E_ACCESSDENIED);
    EXPECT_EQ(refused.hGlobal, nullptr);

    answers = 1;
    ASSERT_EQ(data->GetData(&ansi, &medium), S_OK);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(medium.hGlobal)), "p\xe9\x80"
                                                                       "1"); // Windows-1252
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    data->Release();
}

} // namespace
} // namespace mirvane
