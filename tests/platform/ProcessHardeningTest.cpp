#include "platform/ProcessHardening.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr wchar_t kPlanted[] = L"mirvane_planted.dll";

bool Loads(const wchar_t* name) {
    HMODULE library = LoadLibraryW(name);
    if (library != nullptr) {
        FreeLibrary(library);
    }
    return library != nullptr;
}

TEST(ProcessHardening, ALibraryBesideTheProgramNoLongerLoadsByItsBareName) {
    ASSERT_TRUE(Loads(kPlanted)) << "not found beside the test before hardening";
    ASSERT_EQ(GetModuleHandleW(kPlanted), nullptr) << "still loaded, so found without a search";
    mirvane::platform::HardenProcess();
    EXPECT_FALSE(Loads(kPlanted));
}

} // namespace
