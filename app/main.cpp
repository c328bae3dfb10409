// Quillorn: harvests the public reviews of firms in the 2GIS city directory.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quillorn"));
    window.resize(937, 534);
    window.show();
    return app.exec();
}
