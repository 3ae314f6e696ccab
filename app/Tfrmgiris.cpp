#include "Tfrmgiris.h"

#include "AdministratorRemoval.h"
#include "ConnectCommand.h"
#include "ConnectionView.h"
#include "FingerprintWipe.h"
#include "MainWindowAttendanceView.h"
#include "TerminalClock.h"
#include "app/transfer/CardConversion.h"
#include "app/transfer/LogDownload.h"

#include "common/CommandBoundary.h"
#include "common/DateFormats.h"
#include "common/OperatorInterface.h"
#include "common/ScopeGuard.h"
#include "data/Settings.h"
#include "data/TfrmDM.h"
#include "gui/WindowFont.h"
#include "registry/TerminalRegistry.h"
#include "registry/Tfrmyeni.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

#include <optional>

namespace selvenor {

namespace {

constexpr int kSecondAreaWidth = 320;

template <typename W> W* place(W* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QPushButton* button(QWidget* area, const char* name, const char* caption, QRect geometry) {
    auto* b = place(new QPushButton(QString::fromUtf8(caption), area), name, geometry.x(),
                    geometry.y(), geometry.width(), geometry.height());
    b->setAutoDefault(false);
    return b;
}

} // namespace

Tfrmgiris::Tfrmgiris(TfrmDM& dm, OperatorInterface& ui, const DataFolder& folder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , frmDM(dm)
    , ui(ui)
    , exeFolder(folder)
    , qrycihaz(dm.ADOConnection1())
    , FP_CLOCK1(new TFP_CLOCK(this))
    , session(*FP_CLOCK1) {
    setObjectName(QStringLiteral("frmgiris"));
    FP_CLOCK1->setObjectName(QStringLiteral("FP_CLOCK1"));
    // While a command holds the lock, the window's events run as the control waits; at any
    // other time nothing guards against a second command, so they wait for the command's end.
    FP_CLOCK1->setWaitingHook([this] {
        if (commandRunning())
            this->ui.letPendingEventsRun();
    });
    createControls();
    connectHandlers();
    runCommand(ui, [this] { FormCreate(); });
}

Tfrmgiris::~Tfrmgiris() = default;

void Tfrmgiris::setTerminalEditor(Tfrmyeni* editor) {
    m_frmyeni = editor;
}

void Tfrmgiris::setEnrolmentWindow(QDialog* window, QLabel* terminalNameLabel) {
    m_frmEnrol = window;
    m_enrolTerminalName = terminalNameLabel;
}

// --- controls ---

void Tfrmgiris::createControls() {
    setFixedSize(kClientWidth, kClientHeight);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(0, 0, kClientWidth, kClientHeight);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* area = new QWidget;
    area->setObjectName(QStringLiteral("ClientArea"));
    area->setFixedSize(kSecondAreaX + kSecondAreaWidth,
                       kClientHeight - ScrollBox1->horizontalScrollBar()->sizeHint().height());
    ScrollBox1->setWidget(area);

    createGrid(area);
    createButtons(area);
    createSecondArea(area);
    createPopupMenu();
}

void Tfrmgiris::createGrid(QWidget* area) {
    DBGrid1 = place(new QTableView(area), "DBGrid1", 8, 8, 376, 318);
    DBGrid1->setModel(&qrycihaz);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid1->verticalHeader()->setDefaultSectionSize(18);
    DBGrid1->verticalHeader()->setFixedWidth(12);
    DBGrid1->setColumnWidth(TerminalList::TerminalColumn, 150);
    DBGrid1->setColumnWidth(TerminalList::TipColumn, 70);
    DBGrid1->setColumnWidth(TerminalList::IpColumn, 130);
    connectGridToList();

    BitBtn1 = button(area, "BitBtn1", "Ekle", {8, 334, 90, 30});
    BitBtn2 = button(area, "BitBtn2", "Değiştir", {104, 334, 90, 30});
    BitBtn3 = button(area, "BitBtn3", "Sil", {200, 334, 90, 30});
}

void Tfrmgiris::createButtons(QWidget* area) {
    BitBtn4 = button(area, "BitBtn4", "BAGLAN", {400, 8, 200, 50});
    BitBtn4->setFont(BoldFont(13));
    BitBtn5 = button(area, "BitBtn5", "Verileri Aktar", {610, 8, 200, 50});
    BitBtn5->setFont(BoldFont());
    ProgressBar1 = place(new QProgressBar(area), "ProgressBar1", 400, 66, 410, 18);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    BitBtn6 = button(area, "BitBtn6", "Tarih-Saat Ayarla", {400, 94, 200, 34});
    BitBtn7 = button(area, "BitBtn7", "Tarih-Saat Oku", {610, 94, 200, 34});
    BitBtn8 = button(area, "BitBtn8", "Admin Sil", {400, 136, 200, 34});
    BitBtn9 = button(area, "BitBtn9", "Zil Saatleri(42)", {610, 136, 200, 34});
    BitBtn10 = button(area, "BitBtn10", "Parmakizi", {400, 178, 200, 34});
    Button1 = button(area, "Button1", "sdkart->text (veri.txt)", {610, 178, 200, 34});

    GroupBox1 = place(new QGroupBox(area), "GroupBox1", 400, 222, 410, 50);
    CheckBox1 = place(new QCheckBox(QStringLiteral("2. veri dosyası kaydet"), GroupBox1),
                      "CheckBox1", 10, 14, 250, 24);
    Button2 = button(GroupBox1, "Button2", "kaydet", {300, 12, 100, 28});

    BitBtn11 = button(area, "BitBtn11", "Kapat", {610, 300, 200, 50});
    BitBtn11->setFont(BoldFont(13));
}

void Tfrmgiris::createSecondArea(QWidget* area) {
    const int x = kSecondAreaX;
    Memo1 = place(new QPlainTextEdit(area), "Memo1", x, 8, kSecondAreaWidth - 8, 190);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Edit1 = place(new QLineEdit(area), "Edit1", x, 206, kSecondAreaWidth - 8, 22);
    Memo2 = place(new QPlainTextEdit(area), "Memo2", x, 236, kSecondAreaWidth - 8, 100);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SpeedButton1 = place(new QToolButton(area), "SpeedButton1", x, 344, 100, 26);
    SpeedButton1->setText(QStringLiteral("Time Zone"));
}

void Tfrmgiris::createPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    mnuParmakiziSil =
        PopupMenu1->addAction(QStringLiteral("Terminalde Tanımlı Tüm Parmakizlerini Sil"));
    PopupMenu1->addSeparator();
    mnuTumVerileriAl = PopupMenu1->addAction(QStringLiteral("Tüm Verileri Al (silmez)"));
    mnuTumVerileriAlSil =
        PopupMenu1->addAction(QStringLiteral("Tüm Verileri Al(aldıktan sonra cihazdan sil)"));
    mnuParmakiziSil->setObjectName(QStringLiteral("mnuParmakiziSil"));
    mnuTumVerileriAl->setObjectName(QStringLiteral("mnuTumVerileriAl"));
    mnuTumVerileriAlSil->setObjectName(QStringLiteral("mnuTumVerileriAlSil"));
}

// Every handler runs behind the default error reporting; a command that exchanges data with a
// terminal or works through a file also holds the command lock while it runs.
template <typename Sender, typename Signal>
void Tfrmgiris::handle(Sender* sender, Signal signal, void (Tfrmgiris::*handler)(), Lock lock) {
    connect(sender, signal, this, [this, handler, lock] {
        runCommand(ui, [&] {
            std::optional<CommandLock> held;
            if (lock == Lock::WhileRunning)
                held.emplace(*this);
            (this->*handler)();
        });
    });
}

void Tfrmgiris::connectHandlers() {
    handle(BitBtn1, &QPushButton::clicked, &Tfrmgiris::BitBtn1Click);
    handle(BitBtn2, &QPushButton::clicked, &Tfrmgiris::BitBtn2Click);
    handle(BitBtn3, &QPushButton::clicked, &Tfrmgiris::BitBtn3Click);
    handle(BitBtn4, &QPushButton::clicked, &Tfrmgiris::BitBtn4Click, Lock::WhileRunning);
    handle(BitBtn5, &QPushButton::clicked, &Tfrmgiris::BitBtn5Click, Lock::WhileRunning);
    handle(BitBtn6, &QPushButton::clicked, &Tfrmgiris::BitBtn6Click, Lock::WhileRunning);
    handle(BitBtn7, &QPushButton::clicked, &Tfrmgiris::BitBtn7Click, Lock::WhileRunning);
    handle(BitBtn8, &QPushButton::clicked, &Tfrmgiris::BitBtn8Click, Lock::WhileRunning);
    handle(BitBtn10, &QPushButton::clicked, &Tfrmgiris::BitBtn10Click);
    handle(BitBtn11, &QPushButton::clicked, &Tfrmgiris::BitBtn11Click);
    handle(Button1, &QPushButton::clicked, &Tfrmgiris::Button1Click, Lock::WhileRunning);
    handle(Button2, &QPushButton::clicked, &Tfrmgiris::Button2Click);
    handle(mnuParmakiziSil, &QAction::triggered, &Tfrmgiris::mnuParmakiziSilClick,
           Lock::WhileRunning);
    handle(mnuTumVerileriAl, &QAction::triggered, &Tfrmgiris::mnuTumVerileriAlClick,
           Lock::WhileRunning);
    handle(mnuTumVerileriAlSil, &QAction::triggered, &Tfrmgiris::mnuTumVerileriAlSilClick,
           Lock::WhileRunning);
    // "Zil Saatleri(42)" and "Time Zone" have no action.
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(pos));
    });
}

// The grid's current row and the list's current row are one.
void Tfrmgiris::connectGridToList() {
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    qrycihaz.setCurrentRow(current.row());
            });
    connect(&qrycihaz, &TerminalList::currentRowChanged, this, [this](int row) {
        if (row >= 0 && DBGrid1->currentIndex().row() != row)
            DBGrid1->selectRow(row);
    });
}

QList<QPushButton*> Tfrmgiris::terminalCommands() const {
    return {BitBtn5, BitBtn6, BitBtn7, BitBtn8, BitBtn9, BitBtn10};
}

// Under the command lock the buttons stay disabled; the lock gives them this state at its end.
void Tfrmgiris::setTerminalCommandsEnabled(bool enabled) {
    m_terminalCommandsEnabled = enabled;
    ++m_terminalCommandsSet;
    if (commandRunning())
        return;
    for (QPushButton* b : terminalCommands())
        b->setEnabled(enabled);
}

// --- the command lock ---

QList<QObject*> Tfrmgiris::lockedDuringCommands() const {
    QList<QObject*> locked = {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn11, Button1, PopupMenu1};
    for (QPushButton* b : terminalCommands())
        locked << b;
    return locked;
}

Tfrmgiris::CommandLock::CommandLock(Tfrmgiris& window)
    : m_window(window)
    , m_terminalCommandsSet(window.m_terminalCommandsSet) {
    ++m_window.m_locks;
    for (QObject* object : m_window.lockedDuringCommands()) {
        auto* widget = qobject_cast<QWidget*>(object);
        m_states.append({object, widget->isEnabled()});
        widget->setEnabled(false);
    }
}

Tfrmgiris::CommandLock::~CommandLock() {
    for (const auto& [object, enabled] : m_states) {
        if (auto* widget = qobject_cast<QWidget*>(object.data()))
            widget->setEnabled(enabled);
    }
    --m_window.m_locks;
    // The command connected or disconnected: the terminal commands follow the connection.
    if (!m_window.commandRunning() && m_window.m_terminalCommandsSet != m_terminalCommandsSet)
        m_window.setTerminalCommandsEnabled(m_window.m_terminalCommandsEnabled);
}

void Tfrmgiris::closeEvent(QCloseEvent* event) {
    // Closing in the middle of a command would end the program under it.
    if (commandRunning())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void Tfrmgiris::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

namespace {

// Runs the attendance download `kind` on the machine number of the connection state.
void downloadAttendance(Tfrmgiris& window, LogDownload::Kind kind) {
    MainWindowAttendanceView view(window);
    AttendanceContext context{*window.FP_CLOCK1, window.session.machineNumber(), window.exeFolder,
                              window.ui, view};
    if (window.session.isConnected())
        context.entry =
            ListEntry{window.frmDM.ADOConnection1(), window.session.connectedTerminalId(),
                      window.session.connectedTerminalName()};
    // The transfer decides about veri2.txt at its start, the full-log commands at their end.
    QCheckBox* checkBox = window.CheckBox1;
    LogDownload(context, kind).run(checkBox->isChecked(), [checkBox] {
        return checkBox->isChecked();
    });
}

} // namespace

// --- start-up ---

void Tfrmgiris::openStore(QSqlDatabase db, const QString& name, const QString& missingText) {
    if (!TfrmDM::openStore(db, exeFolder.file(name)))
        ui.messageBox(missingText, QStringLiteral("UYARI"), OperatorInterface::Icon::Information,
                      static_cast<int>(OperatorInterface::Button::Ok));
}

void Tfrmgiris::FormCreate() {
    setWindowTitle(QStringLiteral("M540 PARMAKİZİ AKTARIM v1.0 [Selvenor]"));
    // The executable folder was determined by program start (exeFolder).
    setTerminalCommandsEnabled(false);
    setProcessDateFormats();
    openStore(frmDM.ADOConnection1(), QStringLiteral("Data.mdb"),
              QStringLiteral("Data dosyası bulunamadı....."));
    openStore(frmDM.ADOConnection2(), QStringLiteral("Log.mdb"),
              QStringLiteral("Log dosyası bulunamadı....."));
    qrycihaz.open();
    CheckBox1->setChecked(Settings(exeFolder).secondFileWanted());
}

// --- terminal list ---

void Tfrmgiris::BitBtn1Click() {
    if (!m_frmyeni)
        return;
    // The fields keep what the editor showed last; only the connection type starts over.
    m_frmyeni->showGroupOf(ConnectionType::Com);
    m_frmyeni->ComboBox1->setCurrentIndex(static_cast<int>(ConnectionType::Com));
    m_frmyeni->mode = QString::fromLatin1(Tfrmyeni::kModeNew);
    m_frmyeni->exec();
}

void Tfrmgiris::BitBtn2Click() {
    if (!m_frmyeni)
        return;
    m_frmyeni->mode = QString::fromLatin1(Tfrmyeni::kModeChange);
    m_frmyeni->showGroupOf(ConnectionType::None);
    const TerminalRegistry registry(ui, frmDM.ADOConnection1(), qrycihaz);
    if (const auto row = registry.lookUpCurrent())
        m_frmyeni->fillFrom(*row);
    m_frmyeni->exec();
}

void Tfrmgiris::BitBtn3Click() {
    TerminalRegistry(ui, frmDM.ADOConnection1(), qrycihaz).deleteCurrent();
}

// --- terminal commands ---

namespace {

// The connect button's caption and the six terminal commands, as the connect command sees them.
class MainWindowConnection : public ConnectionView {
public:
    explicit MainWindowConnection(Tfrmgiris& window)
        : m_window(window) {}
    QString connectCaption() const override { return m_window.BitBtn4->text(); }
    void setConnectCaption(const QString& caption) override { m_window.BitBtn4->setText(caption); }
    void setTerminalCommandsEnabled(bool enabled) override {
        m_window.setTerminalCommandsEnabled(enabled);
    }

private:
    Tfrmgiris& m_window;
};

// A terminal command of one button: the button (and whatever could interfere) disabled and the
// hourglass shown while it runs; both restored on every way out.
template <typename Work> void runBusy(Tfrmgiris& window, Work&& work) {
    Tfrmgiris::CommandLock lock(window);
    BusyCursor busy(window.ui);
    work();
}

} // namespace

void Tfrmgiris::BitBtn4Click() {
    MainWindowConnection view(*this);
    ConnectCommand(session, view, ui)
        .click(qrycihaz.isEmpty() ? TerminalRecord() : qrycihaz.current());
}

void Tfrmgiris::BitBtn5Click() {
    downloadAttendance(*this, LogDownload::NewRecords);
}

void Tfrmgiris::BitBtn6Click() {
    runBusy(*this, [this] { TerminalClock::set(session, ui); });
}

void Tfrmgiris::BitBtn7Click() {
    runBusy(*this, [this] { TerminalClock::show(session, ui); });
}

void Tfrmgiris::BitBtn8Click() {
    runBusy(*this, [this] { AdministratorRemoval(session, frmDM.ADOConnection1(), ui).run(); });
}

void Tfrmgiris::BitBtn10Click() {
    if (!m_frmEnrol)
        return;
    hide();
    ScopeGuard showAgain([this] { show(); });
    if (m_enrolTerminalName)
        m_enrolTerminalName->setText(session.connectedTerminalName());
    m_frmEnrol->exec();
}

// Acts on the terminal of the session, not on the grid row under the mouse.
void Tfrmgiris::mnuParmakiziSilClick() {
    FingerprintWipe::run(session, ui);
}

void Tfrmgiris::mnuTumVerileriAlClick() {
    downloadAttendance(*this, LogDownload::AllRecords);
}

void Tfrmgiris::mnuTumVerileriAlSilClick() {
    downloadAttendance(*this, LogDownload::AllRecordsInOut);
}

void Tfrmgiris::Button1Click() {
    MainWindowAttendanceView view(*this);
    CardConversion(exeFolder, ui, view).run();
}

// --- window ---

void Tfrmgiris::BitBtn11Click() {
    close();
}

void Tfrmgiris::Button2Click() {
    Settings(exeFolder).setSecondFileWanted(CheckBox1->isChecked());
}

} // namespace selvenor
