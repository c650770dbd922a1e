// The baseline of the start-up benchmark: the least a Qt Widgets program
// does to show a maximised main window.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Sonvela"), &window));
    window.showMaximized();
    return QApplication::exec();
}
