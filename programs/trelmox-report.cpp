// trelmox-report: the PDF side of `trelmox-cli report`, with the same
// arguments. It paints offscreen, so it needs no display.
#include <QGuiApplication>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "paint/report_pages.h"

namespace {

// Qt's own notes (a missing runtime folder, a platform plugin's remarks)
// are not the tool's output; its failures are.
void keepFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepFailures);
    QGuiApplication application(argc, argv);
    return trelmox::cli::runReportBatch(args, std::cout, std::cerr, trelmox::paint::writeReportPdf);
}
