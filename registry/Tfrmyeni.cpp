#include "Tfrmyeni.h"

#include "TerminalList.h"
#include "TerminalRegistry.h"

#include "common/CommandBoundary.h"
#include "data/TfrmDM.h"

#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace selvenor {

namespace {

QLineEdit* field(QWidget* parent, const char* name, const char* text) {
    auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QGroupBox* group(QWidget* parent, const char* name, const char* title) {
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

Tfrmyeni::Tfrmyeni(TfrmDM& dm, TerminalList& qrycihaz, OperatorInterface& ui, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_qrycihaz(qrycihaz)
    , m_ui(ui) {
    setObjectName(QStringLiteral("frmyeni"));
    setWindowTitle(QStringLiteral("Terminal Ekle-Değiştir"));
    createControls();
    connect(ComboBox1, &QComboBox::activated, this, [this](int item) { ComboBox1Change(item); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

void Tfrmyeni::createControls() {
    Edit1 = field(this, "Edit1", "Terminal");
    Edit2 = field(this, "Edit2", "1");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(
        {QStringLiteral("comport"), QStringLiteral("tcp/ip"), QStringLiteral("usb")});
    ComboBox1->setCurrentIndex(-1);

    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("Cihaz"), Edit1);
    top->addRow(QStringLiteral("Cihaz No"), Edit2);
    top->addRow(QStringLiteral("Bağlantı Tipi"), ComboBox1);

    GroupBox1 = group(this, "GroupBox1", "com port");
    Edit3 = field(GroupBox1, "Edit3", "1");
    Edit4 = field(GroupBox1, "Edit4", "9600");
    auto* com = new QFormLayout(GroupBox1);
    com->addRow(QStringLiteral("Com Port"), Edit3);
    com->addRow(QStringLiteral("Baud"), Edit4);
    com->addRow(QString(), new QLabel(QStringLiteral("9600-19200-38400-57600-115200"), GroupBox1));

    GroupBox2 = group(this, "GroupBox2", "tcp/ip");
    Edit5 = field(GroupBox2, "Edit5", "192.168.0.100");
    Edit6 = field(GroupBox2, "Edit6", "5005");
    Edit7 = field(GroupBox2, "Edit7", "583927");
    auto* tcp = new QFormLayout(GroupBox2);
    tcp->addRow(QStringLiteral("ip adres"), Edit5);
    tcp->addRow(QStringLiteral("tcp port"), Edit6);
    tcp->addRow(QStringLiteral("passsword"), Edit7);

    // The two groups share one place on the window.
    auto* groups = new QWidget(this);
    auto* stack = new QGridLayout(groups);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(GroupBox1, 0, 0);
    stack->addWidget(GroupBox2, 0, 0);
    groups->setMinimumHeight(130);
    GroupBox1->hide();
    GroupBox2->hide();

    BitBtn1 = new QPushButton(QStringLiteral("Kaydet"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("Kapat"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton* b : {BitBtn1, BitBtn2})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(groups);
    layout->addLayout(buttons);
    setFixedSize(340, 300);
}

void Tfrmyeni::showGroupOf(ConnectionType type) {
    GroupBox1->setVisible(type == ConnectionType::Com);
    GroupBox2->setVisible(type == ConnectionType::Ethernet);
}

void Tfrmyeni::fillFrom(const TerminalRecord& row) {
    Edit1->setText(row.Terminal);
    Edit2->setText(row.TerminalNo);
    Edit3->setText(row.ComPort);
    Edit4->setText(row.ComBaud);
    Edit5->setText(row.Ip);
    Edit6->setText(row.NetPort);
    Edit7->setText(row.Sifre);
    const ConnectionType type = connectionTypeForTip(row.Tip);
    if (type != ConnectionType::None)
        ComboBox1->setCurrentIndex(static_cast<int>(type));
    showGroupOf(type);
}

TerminalEntry Tfrmyeni::entry() const {
    TerminalEntry e;
    e.Terminal = Edit1->text();
    e.TerminalNo = Edit2->text();
    e.Tip = tipForConnectionType(static_cast<ConnectionType>(ComboBox1->currentIndex()));
    e.ComPort = Edit3->text();
    e.ComBaud = Edit4->text();
    e.Ip = Edit5->text();
    e.NetPort = Edit6->text();
    e.Sifre = Edit7->text();
    return e;
}

void Tfrmyeni::BitBtn1Click() {
    runCommand(m_ui, [this] {
        TerminalRegistry registry(m_ui, m_dm.ADOConnection1(), m_qrycihaz);
        const bool saved = mode == QLatin1String(kModeChange) ? registry.saveChanged(entry())
                                                              : registry.saveNew(entry());
        if (!saved) {
            Edit1->setFocus();
            return;
        }
        accept();
    });
}

void Tfrmyeni::BitBtn2Click() {
    reject();
}

void Tfrmyeni::ComboBox1Change(int item) {
    const auto type = static_cast<ConnectionType>(item);
    showGroupOf(type);
    Edit7->setText(passwordAfterChoosing(type, Edit7->text()));
}

void Tfrmyeni::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void Tfrmyeni::FormShow() {
    // A type can only be chosen from the list.
    ComboBox1->setEditable(false);
}

} // namespace selvenor
