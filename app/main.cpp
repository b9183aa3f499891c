// The windowed program: the main window and four hidden windows; the
// program's files live beside the executable.
#include <QApplication>

#include "app/program.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TRELMOX"));
    trelmox::app::Program program(QCoreApplication::applicationDirPath().toStdString());
    program.Form1.show();
    return QApplication::exec();
}
