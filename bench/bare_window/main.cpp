// The yardstick for Mirvane's start-up and memory: a bare Qt Widgets window with the same
// controls (a menu bar, a toolbar of 13 keys, 65 push buttons and a line) and nothing else.

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    for (const char* title : {"&File", "&Mouse Mode", "&Entry Mode", "&View", "&Options", "&Help"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(title));
        for (int item = 0; item < 4; ++item) {
            menu->addAction(QStringLiteral("Item %1").arg(item))->setCheckable(true);
        }
    }
    QToolBar* toolbar = window.addToolBar(QStringLiteral("Toolbar"));
    for (int key = 0; key < 13; ++key) {
        toolbar->addAction(QStringLiteral("K%1").arg(key))->setCheckable(true);
    }
    auto* client = new QWidget(&window);
    window.setCentralWidget(client);
    for (int number = 0; number < 65; ++number) {
        auto* button = new QPushButton(QStringLiteral("%1").arg(number), client);
        button->setGeometry(10 + (number % 15) * 40, 10 + (number / 15) * 40, 40, 40);
    }
    auto* line = new QLineEdit(client);
    line->setEchoMode(QLineEdit::Password);
    line->setGeometry(10, 220, 580, 30);
    window.resize(620, 320);
    window.show();
    return QApplication::exec();
}
