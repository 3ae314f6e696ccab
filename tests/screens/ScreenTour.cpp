// selvenor-screen-tour --data-dir DIR [--members] OUT
//
// Opens the program's windows on DIR exactly as program start does and operates them as the
// operator would: the main window (both areas), the terminal editor in its three link kinds,
// the enrolment window sheet by sheet after a download from the terminal "Demo" (which must be
// registered in DIR and running), the time-zone window and a message box. Each window is
// photographed by its own X window id with `xwd -id` into OUT/NAME.xwd. scripts/screenshots.sh
// runs it under Xvfb and turns the pictures into PNG files. With --members the MySQL settings of
// DIR name a database whose personnel table holds members: the membership sheet, disabled as it
// always is, is photographed with the list its "Bağlan" fills.

#include "app/Program.h"
#include "app/Tfrmgiris.h"
#include "enrol/TfrmEnrol.h"
#include "gui/QtOperator.h"
#include "registry/Tfrmyeni.h"
#include "timezone/TfrmTimeZone.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace selvenor;

namespace {

QString g_out;
int g_failures = 0;

void fail(const QString& text) {
    std::fprintf(stderr, "selvenor-screen-tour: %s\n", qPrintable(text));
    ++g_failures;
}

void photograph(QWidget* window, const QString& name) {
    if (!window || !window->isVisible()) {
        fail(name + QStringLiteral(": the window is not shown"));
        return;
    }
    QCoreApplication::processEvents();
    // A window that another one covers comes out with a black hole where the other stands.
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box && box != window)
        fail(name + QStringLiteral(": a message box covers it: ") + box->text());
    const QString file = QDir(g_out).filePath(name + QStringLiteral(".xwd"));
    const int status = QProcess::execute(
        QStringLiteral("xwd"), {QStringLiteral("-silent"), QStringLiteral("-id"),
                                QString::number(window->winId()), QStringLiteral("-out"), file});
    if (status != 0)
        fail(name + QStringLiteral(": xwd ended with %1").arg(status));
    else
        std::printf("%s\n", qPrintable(file));
}

// Steps run one after the other with a pause for painting. The next step is scheduled before a
// step runs, so a step that opens a modal window is followed by steps that run inside it.
class Tour {
public:
    void add(std::function<void()> step) { m_steps.push_back(std::move(step)); }
    void start() {
        QTimer::singleShot(kPauseMs, [this] { run(0); });
    }

private:
    static constexpr int kPauseMs = 400;
    void run(size_t i) {
        if (i >= m_steps.size()) {
            QCoreApplication::exit(g_failures == 0 ? 0 : 1);
            return;
        }
        QTimer::singleShot(kPauseMs, [this, i] { run(i + 1); });
        m_steps[i]();
    }
    std::vector<std::function<void()>> m_steps;
};

int rowOf(TerminalList& list, const QString& name) {
    for (int row = 0; row < list.count(); ++row) {
        list.setCurrentRow(row);
        if (list.current().Terminal == name)
            return row;
    }
    return -1;
}

// What "Bağlan" of the membership sheet does, on a sheet that takes no input: enabled for the
// click only, so the picture shows it as the operator does.
void listMembers(TfrmEnrol& enrol) {
    enrol.TabSheet6->setEnabled(true);
    enrol.btnBaglan->click();
    enrol.TabSheet6->setEnabled(false);
    if (enrol.Label36->text().isEmpty() || enrol.Label36->text() == QLatin1String("0"))
        fail(QStringLiteral("the membership sheet lists no members"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Selvenor"));
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: selvenor-screen-tour --data-dir DIR [--members] OUT\n");
        return 2;
    }
    g_out = args.last();
    const bool members = args.contains(QStringLiteral("--members"));

    QtOperator ui;
    Program program(ui, DataFolder::fromArguments(args.mid(0, args.size() - 1)));
    Tfrmgiris& main = *program.frmgiris;
    Tfrmyeni& editor = *program.frmyeni;
    TfrmEnrol& enrol = *program.frmEnrol;
    main.show();

    Tour tour;
    tour.add([&] { photograph(&main, QStringLiteral("main-window")); });
    tour.add([&] {
        QScrollBar* bar = main.ScrollBox1->horizontalScrollBar();
        bar->setValue(bar->maximum());
    });
    tour.add([&] {
        photograph(&main, QStringLiteral("main-window-second-area"));
        main.ScrollBox1->horizontalScrollBar()->setValue(0);
    });
    tour.add([&] { main.BitBtn1->click(); }); // "Ekle": the editor, modal
    const char* const kinds[] = {"com", "tcp", "usb"};
    for (int kind = 0; kind < 3; ++kind) {
        tour.add([&editor, kind] {
            editor.ComboBox1->setCurrentIndex(kind);
            emit editor.ComboBox1->activated(kind); // as the operator's choice in the list
        });
        tour.add([&editor, &kinds, kind] {
            photograph(&editor, QStringLiteral("terminal-editor-%1").arg(kinds[kind]));
        });
    }
    tour.add([&] { editor.reject(); });
    tour.add([&] {
        if (rowOf(main.qrycihaz, QStringLiteral("Demo")) < 0)
            fail(QStringLiteral("no terminal named Demo in the data folder"));
        main.BitBtn4->click(); // "BAGLAN"
    });
    tour.add([&] {
        if (main.BitBtn4->text() != QLatin1String("BAGLANTI_KES"))
            fail(QStringLiteral("could not connect to Demo"));
        main.BitBtn10->click(); // "Parmakizi": the enrolment window, modal
    });
    tour.add([&] { enrol.BitBtn1->click(); }); // the download from the terminal
    for (int sheet = 0; sheet < 6; ++sheet) {
        tour.add([&enrol, sheet, members] {
            enrol.PageControl1->setCurrentIndex(sheet);
            if (sheet == 5 && members)
                listMembers(enrol);
        });
        tour.add([&enrol, sheet] {
            photograph(&enrol, QStringLiteral("enrolment-sheet-%1").arg(sheet + 1));
        });
    }
    tour.add([&] {
        enrol.PageControl1->setCurrentIndex(0);
        enrol.close();
    });
    tour.add([&] { program.frmTimeZone->show(); });
    tour.add([&] {
        photograph(program.frmTimeZone.get(), QStringLiteral("time-zone"));
        program.frmTimeZone->close();
    });
    tour.add([&] { main.BitBtn7->click(); }); // "Tarih-Saat Oku": a message box, modal
    tour.add([&] {
        QWidget* box = QApplication::activeModalWidget();
        photograph(box, QStringLiteral("message-box"));
        if (box)
            box->close();
    });
    tour.add([&] { main.BitBtn4->click(); }); // disconnect
    tour.start();
    const int status = app.exec();
    // A step that failed inside a window's own event loop may leave the exit code at 0.
    return g_failures ? 1 : status;
}
