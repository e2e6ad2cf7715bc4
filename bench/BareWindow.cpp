// zarivok_bench_bare_window: a Qt Widgets program showing one empty window titled "Bare window",
// the baseline of the desktop program's start-up and memory.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(700, 490);
    window.show();
    return QApplication::exec();
}
