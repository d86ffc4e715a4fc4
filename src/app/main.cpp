#include "app/modMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mirvane"));
    mirvane::modMain::Main();
    const int result = QApplication::exec();
    mirvane::modMain::End();
    return result;
}
