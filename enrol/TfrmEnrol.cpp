#include "TfrmEnrol.h"

#include "data/Settings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace selvenor {

TfrmEnrol::TfrmEnrol(TfrmDM& dm, TFP_CLOCK& clock, std::function<int()> machineNumber,
                     const DataFolder& folder, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_clock(clock)
    , m_readMachineNumber(std::move(machineNumber))
    , m_folder(folder) {
    setWindowTitle(QStringLiteral("Parmakizi Datası Kopyalama / Yükleme / Personel İsimlendirme"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    top->addWidget(new QLabel(QStringLiteral("Bağlantı Kurulan Terminal:"), this));
    top->addWidget(Label3);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("Data : "), this));
    top->addWidget(Label5);
    layout->addLayout(top);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    for (const char* title :
         {"tüm data", "tek data(parmak)", "Seçili Kayıt Yükleme(Parmak/Kart/Şifre)",
          "Kullanıcı / Admin (Yönetici) Şifre Değiştirme", "Kullanıcı / Admin Aktif/Pasif Yapma",
          "Yetkilendir"})
        PageControl1->addTab(new QWidget(PageControl1), QString::fromUtf8(title));
    layout->addWidget(PageControl1, 1);

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblMessage);

    BitBtn3 = new QPushButton(QStringLiteral("Kapat"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);
    connect(BitBtn3, &QPushButton::clicked, this, &TfrmEnrol::BitBtn3Click);
    layout->addWidget(BitBtn3, 0, Qt::AlignRight);

    FormCreate();
}

TfrmEnrol::~TfrmEnrol() = default;

void TfrmEnrol::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmEnrol::FormCreate() {
    PageControl1->setCurrentIndex(0);
}

void TfrmEnrol::FormShow() {
    Label5->setText(Settings(m_folder).mySql().database);
    m_machineNumber = m_readMachineNumber ? m_readMachineNumber() : 0;
    lblMessage->clear();
}

void TfrmEnrol::BitBtn3Click() {
    close();
}

} // namespace selvenor
