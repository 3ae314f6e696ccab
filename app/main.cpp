#include "Program.h"
#include "Tfrmgiris.h"

#include "common/Version.h"
#include "data/DataFolder.h"
#include "gui/QtOperator.h"
#include "gui/WindowFont.h"
#include "timezone/TfrmTimeZone.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

using namespace selvenor;

// selvenor [--data-dir DIR]   the main window on the data folder (DataFolder::defaultFolder())
// selvenor --time-zones       the time-zone window on its own
// selvenor --help | --version  print and exit, without a display
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts(VersionLine(QStringLiteral("selvenor")).toUtf8().constData());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            const QString usage =
                QStringLiteral("Kullanım: selvenor [--data-dir KLASÖR]   ana pencere (veriler "
                               "KLASÖR'de; varsayılan: paketle kurulan programda %1, değilse "
                               "programın klasörü)\n"
                               "         selvenor --time-zones          yalnız Time Zone "
                               "penceresi\n"
                               "         selvenor --help | --version")
                    .arg(DataFolder::siteFolder());
            std::puts(usage.toUtf8().constData());
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Selvenor"));

    if (app.arguments().contains(QStringLiteral("--time-zones"))) {
        TfrmTimeZone frmTimeZone;
        frmTimeZone.setFont(WindowFont());
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
