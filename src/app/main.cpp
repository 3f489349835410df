#include <QApplication>
#include <QMainWindow>

#include "resources/init_resources.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    talmenoInitResources();
    QMainWindow w;
    w.setWindowTitle("Talmeno");
    w.show();
    return app.exec();
}
