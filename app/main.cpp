#include "Program.h"
#include "Tfrmgiris.h"
#include "gui/QtOperator.h"

#include "data/DataFolder.h"
#include "timezone/TfrmTimeZone.h"

#include <QApplication>

using namespace selvenor;

// selvenor [--data-dir DIR]   the main window on the data folder (default: beside the program)
// selvenor --time-zones       the time-zone window on its own
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Selvenor"));

    if (app.arguments().contains(QStringLiteral("--time-zones"))) {
        TfrmTimeZone frmTimeZone;
        frmTimeZone.show();
        return app.exec();
    }

    QtOperator ui;
    Program program(ui, DataFolder::fromArguments(app.arguments()));
    program.frmgiris->show();
    return app.exec();
}
