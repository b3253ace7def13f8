// The smallest Qt Widgets program that opens a window: the reference for the start-up time.
// Says "shown" once its window is on screen and ends. With --text the window shows a line of
// text, so that the fonts are read before it says so, as any window with captions needs.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(593, 476);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        (new QLabel(QStringLiteral("再生したいファイルを選択して下さい。"), &window))->move(10, 10);
    window.show();
    QTimer::singleShot(0, [] {
        std::puts("shown");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return app.exec();
}
