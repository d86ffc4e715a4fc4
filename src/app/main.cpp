#include "app/modMain.h"
#include "platform/ProcessHardening.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    mirvane::platform::HardenProcess(); // before the first secret exists
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mirvane"));
    mirvane::modMain::Main();
    const int result = QApplication::exec();
    mirvane::modMain::End();
    return result;
}
