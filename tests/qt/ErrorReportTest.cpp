#include "WindowHarness.h"

#include "qt/modMain.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

// An error report, closed to go on, and a window that cannot be layered, told in a message box.
TEST(ErrorReport, ShowsTheProcedureThenNumberAndDescriptionAndALayeringFailureInAMessageBox) {
    WindowHarness h;
    h.application.LogError("mnuHelpAbout_Click", 5, "Invalid procedure call or argument", h.Window());
    h.application.LogError("Keyboard Resize", -2147024809, "second", h.Window());
    modMain::MakeWindowLayered(0x7fffffff, 254); // no such window
    EXPECT_EQ(
        h.errorWindows.reports,
        (QStringList{"Unexpected System Error|mnuHelpAbout_Click\n5: Invalid procedure call or argument",
                     "Unexpected System Error|Keyboard Resize\n-2147024809: second",
                     "Invalid procedure call or argument Source : mirvane"}));
    EXPECT_EQ(Application::ReportText("p", 7, "d"), QStringLiteral("p\r\n7: d"));
    h.errorWindows.reports.clear();
}
