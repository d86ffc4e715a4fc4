#include "win32/SecretDataObject.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstring>
#include <string>
#include <utility>

namespace mirvane {
namespace {

FORMATETC Format(CLIPFORMAT format) { return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// The copy another process would get: the object marshaled, as a drag does for each window it
// enters and for the one it is dropped on, and unmarshaled again.
IDataObject* HandedTo(SecretDataObject& data) {
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    EXPECT_EQ(CoMarshalInterface(stream, IID_IDataObject, static_cast<IDataObject*>(&data), MSHCTX_LOCAL,
                                 nullptr, MSHLFLAGS_NORMAL),
              S_OK);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    IDataObject* copy = nullptr;
    EXPECT_EQ(CoUnmarshalInterface(stream, IID_IDataObject, reinterpret_cast<void**>(&copy)), S_OK);
    stream->Release();
    return copy;
}

using Answer = std::pair<HRESULT, std::u16string>;
const Answer kRefused{E_ACCESSDENIED, u""};

Answer Read(IDataObject& data, CLIPFORMAT format) {
    FORMATETC wanted = Format(format);
    STGMEDIUM medium{};
    const HRESULT result = data.GetData(&wanted, &medium);
    if (result != S_OK) {
        EXPECT_EQ(medium.hGlobal, nullptr); // a refusal hands over no memory
        return {result, u""};
    }
    const void* bytes = GlobalLock(medium.hGlobal);
    const auto* narrow = static_cast<const unsigned char*>(bytes);
    std::u16string text = format == CF_UNICODETEXT
                              ? std::u16string(static_cast<const char16_t*>(bytes))
                              : std::u16string(narrow, narrow + std::strlen(static_cast<const char*>(bytes)));
    GlobalUnlock(medium.hGlobal);
    EXPECT_NE(medium.pUnkForRelease, nullptr); // its release wipes the memory, not only frees it
    ReleaseStgMedium(&medium);
    return {S_OK, text};
}

// Announced to every window, the text goes only to the copy handed out with the drop, once, in
// the format asked for: a window the drag passed over keeps its copy and asks first, in vain.
TEST(SecretDataObject, OnlyTheCopyGivenWithTheDropReadsTheTextOnceInTheFormatAskedFor) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    int answers = 2;
    auto* data = new SecretDataObject(SecretText(u"p\u00e9\u20ac1"), [&] { return answers-- > 0; });
    FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    FORMATETC unicode = Format(CF_UNICODETEXT);
    EXPECT_EQ(data->QueryGetData(&unicode), S_OK);
    EXPECT_EQ(data->QueryGetData(&bitmap), DV_E_FORMATETC);

    IDataObject* passedOver = HandedTo(*data);
    EXPECT_EQ(Read(*passedOver, CF_UNICODETEXT), kRefused); // before the drop
    data->Dropped();
    IDataObject* target = HandedTo(*data);
    EXPECT_EQ(Read(*passedOver, CF_UNICODETEXT), kRefused); // asks first after the drop
    EXPECT_EQ(Read(*data, CF_UNICODETEXT), kRefused);       // this process has no window that takes drops
    EXPECT_EQ(Read(*target, CF_TEXT), Answer(S_OK, u"p\xe9\x80\x31")); // Windows-1252
    EXPECT_EQ(Read(*target, CF_UNICODETEXT), Answer(S_OK, u"p\u00e9\u20ac1"));
    EXPECT_EQ(Read(*target, CF_UNICODETEXT), kRefused); // the gate says no more

    data->Wipe();
    passedOver->Release();
    target->Release();
    data->Release();
    OleUninitialize();
}

} // namespace
} // namespace mirvane
