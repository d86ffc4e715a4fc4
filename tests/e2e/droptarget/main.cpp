// A stand-in for another program's login form: one password field that accepts drops and
// prints every text it holds, one line each, so that a test can read what it received.

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget form;
    form.setWindowTitle(QStringLiteral("Drop target login"));
    auto* layout = new QFormLayout(&form);
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("passwordField"));
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(QStringLiteral("Password field"));
    field->setMinimumWidth(260);
    layout->addRow(QStringLiteral("Password:"), field);
    QObject::connect(field, &QLineEdit::textChanged, [](const QString& text) {
        std::printf("RECEIVED:%s\n", text.toUtf8().constData());
        std::fflush(stdout);
    });
    // Says when a drag hovers over the field, so that a test can wait for it before dropping.
    struct DragWatcher : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::DragMove) {
                std::printf("DRAGOVER\n");
                std::fflush(stdout);
            }
            return false;
        }
    } watcher;
    field->installEventFilter(&watcher);
    form.move(60, 60);
    form.show();
    return QApplication::exec();
}
