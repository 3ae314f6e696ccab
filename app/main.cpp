#include "Program.h"
#include "Tfrmgiris.h"

#include "common/Version.h"
#include "data/DataFolder.h"
#include "gui/QtOperator.h"
#include "gui/WindowFont.h"
#include "timezone/TfrmTimeZone.h"

#include <QApplication>

#include <cstdio>

using namespace selvenor;

// selvenor [--data-dir DIR]   the main window on the data folder (DataFolder::defaultFolder())
// selvenor --time-zones       the time-zone window on its own
// selvenor --help | -h | --version  print and exit, without a display
int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    switch (infoRequestOf(arguments)) {
    case InfoRequest::Version:
        std::puts(VersionLine(QStringLiteral("selvenor")).toUtf8().constData());
        return 0;
    case InfoRequest::Help:
        std::puts(QStringLiteral("Kullanım: selvenor [--data-dir KLASÖR]   ana pencere (veriler "
                                 "KLASÖR'de; varsayılan: paketle kurulan programda %1, değilse "
                                 "programın klasörü)\n"
                                 "         selvenor --time-zones          yalnız Time Zone "
                                 "penceresi\n"
                                 "         selvenor --help | -h | --version")
                      .arg(DataFolder::siteFolder())
                      .toUtf8()
                      .constData());
        return 0;
    case InfoRequest::None:
        break;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Selvenor"));

    if (app.arguments().contains(QStringLiteral("--time-zones"))) {
        installWindowFont();
        TfrmTimeZone frmTimeZone;
        frmTimeZone.show();
        return app.exec();
    }

    QtOperator ui;
    const DataFolder folder = DataFolder::fromArguments(app.arguments());
    folder.keepNewFilesGroupWritable();
    Program program(ui, folder);
    program.frmgiris->show();
    return app.exec();
}
