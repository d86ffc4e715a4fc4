#include "WindowHarness.h"

#include "qt/modMain.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

TEST(ErrorReport, ShowsTheProcedureThenNumberAndDescriptionAndReturnsOnClose) {
    WindowHarness h;
    h.application.LogError("mnuHelpAbout_Click", 5, "Invalid procedure call or argument", h.Window());
    h.application.LogError("Keyboard Resize", -2147024809, "second", h.Window());
    ASSERT_EQ(h.errorWindows.reports.size(), 2);
    EXPECT_EQ(h.errorWindows.reports[0],
              "Unexpected System Error|mnuHelpAbout_Click\n5: Invalid procedure call or argument");
    EXPECT_EQ(h.errorWindows.reports[1], "Unexpected System Error|Keyboard Resize\n-2147024809: second");
    EXPECT_EQ(Application::ReportText("p", 7, "d"), QStringLiteral("p\r\n7: d"));
    h.errorWindows.reports.clear();
}

TEST(ErrorReport, AWindowThatCannotBeLayeredIsReportedInAMessageBox) {
    ErrorWindowWatcher boxes;
    modMain::MakeWindowLayered(0x7fffffff, 254); // no such window
    EXPECT_EQ(boxes.reports, QStringList{"Invalid procedure call or argument Source : mirvane"});
}
