#include "ProgramFixture.h"

#include "data/Sql.h"
#include "data/StoreSchema.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

ModalScript::ModalScript(QDialog* dialog, std::function<void()> work)
    : m_dialog(dialog)
    , m_work(std::move(work)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        result.opened = m_dialog->isVisible();
        if (!result.opened)
            return;
        m_work();
        result.stayedOpen = m_dialog->isVisible();
        if (result.stayedOpen)
            m_dialog->reject();
    });
    m_timer.start();
}

void ProgramFixture::prepareStores() {
    selvenor::createMissingStores(folder);
}

void ProgramFixture::writeSettings(const QByteArray& bytes) {
    QFile file(folder.file("Settings.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ProgramFixture::settingsBytes() const {
    QFile file(folder.file("Settings.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ProgramFixture::start() {
    program = std::make_unique<selvenor::Program>(ui, folder);
}

void ProgramFixture::restart() {
    program.reset();
    ui.shown.clear();
    start();
}

QStringList ProgramFixture::gridNames() const {
    QStringList names;
    const QAbstractItemModel* model = program->frmgiris->DBGrid1->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    return names;
}

qint64 ProgramFixture::addRow(const QString& name, const QString& tip, const QString& terminalNo) {
    const qint64 id =
        selvenor::execSql(program->frmDM.ADOConnection1(),
                          "insert into Terminal (Terminal, Tip, TerminalNo, ComPort, ComBaud, Ip, "
                          "NetPort, Sifre) values (?, ?, ?, '2', '19200', '10.1.1.1', 4370, 77)",
                          {name, tip, terminalNo.toInt()})
            .lastInsertId()
            .toLongLong();
    main().qrycihaz.open();
    return id;
}

ModalResult ProgramFixture::clickWithEditor(QAbstractButton* button, std::function<void()> work) {
    ModalScript script(&editor(), std::move(work));
    button->click();
    return script.result;
}

void ProgramFixture::typeAndSave(const QString& name, const QString& terminalNo) {
    editor().Edit1->setText(name);
    editor().Edit2->setText(terminalNo);
    editor().BitBtn1->click();
}
