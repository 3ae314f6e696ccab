#include "TfrmEnrol.h"

#include "EnrolContext.h"
#include "EnrollDownload.h"
#include "EnrollUpload.h"
#include "SingleDelete.h"
#include "UserCommands.h"

#include "common/CommandBoundary.h"
#include "common/Errors.h"
#include "common/ScopeGuard.h"
#include "common/TextFunctions.h"
#include "data/TfrmDM.h"
#include "gui/QtOperator.h"
#include "gui/WindowFont.h"
#include "terminal/ScopedWaitingHook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace selvenor {

namespace {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}

QComboBox* choices(QWidget* parent, const char* name, const QStringList& items,
                   const QString& initial) {
    auto* c = named(new QComboBox(parent), name);
    c->setEditable(true);
    c->addItems(items);
    c->setEditText(initial);
    return c;
}

const char kLaidDownWidths[] = "laidDownWidths";

// Gives each column of the grid the width laid down for it, or the width its title needs in the
// grid's font where that is more, so every title reads in full.
void fitColumnTitles(QTableView* view) {
    const QList<int> widths = view->property(kLaidDownWidths).value<QList<int>>();
    const QHeaderView* header = view->horizontalHeader();
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < widths.size(); ++c) {
        const QString title = view->model()->headerData(c, Qt::Horizontal).toString();
        // Glyphs may reach past the rounded advance; the whole fractional width is needed.
        const int titleWidth =
            int(std::ceil(QFontMetricsF(header->font()).horizontalAdvance(title)));
        view->setColumnWidth(c, qMax(widths[c], titleWidth + margins));
    }
}

// A grid bound to a list: whole rows selected, its current row the list's current row.
QTableView* grid(QWidget* parent, const char* name, QueryRowsModel* model,
                 const QList<int>& widths) {
    auto* view = named(new QTableView(parent), name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setDefaultSectionSize(20);
    // Titles keep their font when a row is selected (a highlighted title turns bold and wider).
    view->horizontalHeader()->setHighlightSections(false);
    view->setProperty(kLaidDownWidths, QVariant::fromValue(widths));
    fitColumnTitles(view);
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, model,
                     [model](const QModelIndex& current) {
                         if (current.isValid())
                             model->setCurrentRow(current.row());
                     });
    QObject::connect(model, &QueryRowsModel::currentRowChanged, view, [view, model](int row) {
        if (row >= 0 && view->currentIndex().row() != row)
            view->setCurrentIndex(model->index(row, 0));
        for (int c = 0; c < model->columnCount(); ++c)
            if (view->columnWidth(c) == 0)
                view->setColumnWidth(c, 80);
    });
    return view;
}

QGroupBox* choiceGroup(QWidget* parent, const QString& title, QRadioButton*& first,
                       const char* firstName, QRadioButton*& second, const char* secondName) {
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QHBoxLayout(group);
    first = named(new QRadioButton(QStringLiteral("kullanıcı"), group), firstName);
    second = named(new QRadioButton(QStringLiteral("admin(yönetici)"), group), secondName);
    second->setChecked(true);
    layout->addWidget(first);
    layout->addWidget(second);
    return group;
}

// The read-only card-number column of the name grid, shaded money green.
class MoneyGreenColumn : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = QColor(0xC0, 0xDC, 0xC0);
    }
};

const QString kTitle =
    QStringLiteral("Parmakizi Datası Kopyalama / Yükleme / Personel İsimlendirme");

} // namespace

TfrmEnrol::TfrmEnrol(TfrmDM& dm, TFP_CLOCK& clock, std::function<int()> machineNumber,
                     const DataFolder& folder, QWidget* parent, OperatorInterface* ui)
    : QDialog(parent)
    , m_dm(dm)
    , m_clock(clock)
    , m_readMachineNumber(std::move(machineNumber))
    , m_folder(folder)
    , m_ownUi(ui ? nullptr : std::make_unique<QtOperator>())
    , m_ui(ui ? ui : m_ownUi.get()) {
    setObjectName(QStringLiteral("frmEnrol"));
    setWindowTitle(kTitle);
    resize(900, 640);
    createFrame();
    connectHandlers();
    FormCreate();
}

TfrmEnrol::~TfrmEnrol() = default;

// --- controls ---

void TfrmEnrol::createFrame() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    Label3 = named(new QLabel(this), "Label3");
    Label5 = named(new QLabel(this), "Label5");
    Label3->setFont(BoldFont());
    top->addWidget(new QLabel(QStringLiteral("Bağlantı Kurulan Terminal:"), this));
    top->addWidget(Label3);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("Data : "), this));
    top->addWidget(Label5);
    layout->addLayout(top);

    PageControl1 = named(new QTabWidget(this), "PageControl1");
    // Every sheet title shows in full: the window is as wide as the titles need, with no
    // scroll arrows hiding the last sheets.
    PageControl1->setUsesScrollButtons(false);
    PageControl1->setElideMode(Qt::ElideNone);
    PageControl1->addTab(createAllDataSheet(), QStringLiteral("tüm data"));
    PageControl1->addTab(createSingleItemSheet(), QStringLiteral("tek data(parmak)"));
    PageControl1->addTab(createRecordSheet(),
                         QStringLiteral("Seçili Kayıt Yükleme(Parmak/Kart/Şifre)"));
    PageControl1->addTab(createPasswordSheet(),
                         QStringLiteral("Kullanıcı / Admin (Yönetici) Şifre Değiştirme"));
    PageControl1->addTab(createActivationSheet(),
                         QStringLiteral("Kullanıcı / Admin Aktif/Pasif Yapma"));
    PageControl1->addTab(createMembershipSheet(), QStringLiteral("Yetkilendir"));
    layout->addWidget(PageControl1, 1);

    lblMessage = named(new QLabel(this), "lblMessage");
    lblMessage->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblMessage);
    BitBtn3 = button(this, "BitBtn3", QStringLiteral("Kapat"));
    layout->addWidget(BitBtn3, 0, Qt::AlignRight);
}

QWidget* TfrmEnrol::createAllDataSheet() {
    auto* sheet = named(new QWidget, "TabSheet1");
    auto* layout = new QHBoxLayout(sheet);

    auto* transfer = new QVBoxLayout;
    BitBtn1 = button(sheet, "BitBtn1", QStringLiteral("Terminalden Parmakizi Datası Al"));
    BitBtn2 = button(sheet, "BitBtn2",
                     QStringLiteral("Terminale Parmakizi Datası Yükle(var olanı silerek yeniden "
                                    "yükler)"));
    BitBtn6 = button(sheet, "BitBtn6", QString());
    BitBtn6->setMinimumHeight(56);
    Label2 = named(new QLabel(sheet), "Label2");
    txtName = named(new QLineEdit(sheet), "txtName");
    Memo1 = named(new QPlainTextEdit(sheet), "Memo1");
    Memo1->setReadOnly(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{BitBtn1, BitBtn2, BitBtn6, Label2, txtName, Memo1})
        transfer->addWidget(w);
    auto* hidden = new QHBoxLayout;
    auto* programLabel = new QLabel(QStringLiteral("Program Tipi:"), sheet);
    lblProgramTipi = named(new QLabel(sheet), "lblProgramTipi");
    auto* programHint =
        new QLabel(QStringLiteral("program tipi--> Tevro yada Tevro Soft olmalıdır"), sheet);
    for (QLabel* l : {programLabel, lblProgramTipi, programHint}) {
        hidden->addWidget(l);
        l->hide();
    }
    transfer->addLayout(hidden);
    layout->addLayout(transfer, 1);

    auto* names = new QVBoxLayout;
    auto* search = new QHBoxLayout;
    Edit8 = named(new QLineEdit(sheet), "Edit8");
    search->addWidget(new QLabel(QStringLiteral("Personel isim"), sheet));
    search->addWidget(Edit8);
    search->addWidget(new QLabel(QStringLiteral("(Arama)"), sheet));
    names->addLayout(search);
    DBGrid1 = grid(sheet, "DBGrid1", &qryisim, {55, 200});
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    DBGrid1->setItemDelegateForColumn(0, new MoneyGreenColumn(DBGrid1));
    DBGrid1->horizontalHeader()->setFont(BoldFont());
    names->addWidget(DBGrid1, 1);
    auto* count = new QHBoxLayout;
    Label7 = named(new QLabel(sheet), "Label7");
    count->addWidget(new QLabel(QStringLiteral("Alınan Parmakizi Kayıt Sayısı:"), sheet));
    count->addWidget(Label7);
    count->addStretch();
    names->addLayout(count);
    btnIsimAl = button(sheet, "btnIsimAl", QStringLiteral("PDKS Programından İsimleri Al (mysql)"));
    btnSeciliIsimYukle = button(sheet, "btnSeciliIsimYukle",
                                QStringLiteral("Seçili Personel Adını Terminale Yükle"));
    btnTumIsimYukle =
        button(sheet, "btnTumIsimYukle", QStringLiteral("Tüm Personel Adlarını Terminale Yükle"));
    names->addWidget(btnIsimAl);
    names->addWidget(btnSeciliIsimYukle);
    names->addWidget(btnTumIsimYukle);
    names->addWidget(new QLabel(QStringLiteral("Terminal max. 12 karakterlik isim alır"), sheet));
    layout->addLayout(names, 1);
    return sheet;
}

QWidget* TfrmEnrol::createSingleItemSheet() {
    auto* sheet = named(new QWidget, "TabSheet2");
    auto* layout = new QHBoxLayout(sheet);
    auto* form = new QFormLayout;
    txtEnrollNumber = named(new QLineEdit(QStringLiteral("1"), sheet), "txtEnrollNumber");
    cmbEMachineNumber = choices(sheet, "cmbEMachineNumber",
                                {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, QStringLiteral("1"));
    cmbBackupNumber =
        choices(sheet, "cmbBackupNumber", {"0", "1", "2", "10", "11", "12", "13", "14", "15", "16"},
                QStringLiteral("0"));
    txtCardNumber = named(new QLineEdit(sheet), "txtCardNumber");
    cmbPrivilege = choices(sheet, "cmbPrivilege", {"0", "1", "2"}, QStringLiteral("0"));
    Edit1 = named(new QLineEdit(sheet), "Edit1");
    chkDisable = named(new QCheckBox(QStringLiteral("Disable"), sheet), "chkDisable");
    cmbDuress = choices(sheet, "cmbDuress", {"0", "1"}, QStringLiteral("0"));
    form->addRow(QStringLiteral("Parmak Id :"), txtEnrollNumber);
    form->addRow(QStringLiteral("Cihaz No :"), cmbEMachineNumber);
    form->addRow(QStringLiteral("Yedek No :"), cmbBackupNumber);
    form->addRow(QStringLiteral("Kart No :"), txtCardNumber);
    form->addRow(QStringLiteral("İmtiyaz :"), cmbPrivilege);
    form->addRow(QStringLiteral("Name :"), Edit1);
    form->addRow(QString(), chkDisable);
    form->addRow(QStringLiteral("Duress"), cmbDuress);
    for (int i = 0; i < 5; ++i) {
        txtUserTz[i] = new QLineEdit(sheet);
        txtUserTz[i]->setObjectName(QStringLiteral("txtUserTz%1").arg(i + 1));
        form->addRow(QStringLiteral("User TZ%1").arg(i + 1), txtUserTz[i]);
    }
    txtUserDepart = named(new QLineEdit(sheet), "txtUserDepart");
    form->addRow(QStringLiteral("User Depart"), txtUserDepart);
    layout->addLayout(form);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Enrolled Data"), sheet));
    lstEnrollData = named(new QListWidget(sheet), "lstEnrollData");
    right->addWidget(lstEnrollData, 1);
    right->addWidget(new QLabel(QStringLiteral("Total : "), sheet));
    cmdGetEnrollData = button(sheet, "cmdGetEnrollData", QStringLiteral("Parmakizi Al"));
    cmdSetEnrollData = button(sheet, "cmdSetEnrollData", QStringLiteral("Parmakizi Yükle"));
    cmdDeleteEnrollData = button(sheet, "cmdDeleteEnrollData", QStringLiteral("Parmakizi Sil"));
    right->addWidget(cmdGetEnrollData);
    right->addWidget(cmdSetEnrollData);
    right->addWidget(cmdDeleteEnrollData);
    right->addWidget(new QLabel(
        QStringLiteral("Not: Sadece parmakizi bilgisini alır,şifre olanlaı almaz"), sheet));
    grpUserPhoto =
        named(new QGroupBox(QStringLiteral("User Photo Related"), sheet), "grpUserPhoto");
    auto* photo = new QHBoxLayout(grpUserPhoto);
    photo->addWidget(new QLabel(grpUserPhoto)); // the picture
    photo->addWidget(new QLineEdit(grpUserPhoto));
    photo->addWidget(new QPushButton(QStringLiteral("..."), grpUserPhoto));
    grpUserPhoto->hide();
    right->addWidget(grpUserPhoto);
    layout->addLayout(right);
    return sheet;
}

QWidget* TfrmEnrol::createRecordSheet() {
    auto* sheet = named(new QWidget, "TabSheet3");
    auto* layout = new QHBoxLayout(sheet);
    DBGrid2 = grid(sheet, "DBGrid2", &records.qryenroll, {100, 55, 110});
    layout->addWidget(DBGrid2, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Tür\n") + QString(16, QLatin1Char('-')) +
                                   QStringLiteral("\n0  parmak\n11 kartno\n15 şifre"),
                               sheet));
    side->addWidget(new QLabel(QStringLiteral("KullanıcıNo Ara"), sheet));
    Edit2 = named(new QLineEdit(sheet), "Edit2");
    side->addWidget(Edit2);
    btnKullaniciYukle =
        button(sheet, "btnKullaniciYukle", QStringLiteral("Seçili Kullanıcıyı Yükle"));
    side->addWidget(btnKullaniciYukle);
    side->addStretch();
    layout->addLayout(side);
    return sheet;
}

QWidget* TfrmEnrol::createPasswordSheet() {
    auto* sheet = named(new QWidget, "TabSheet4");
    auto* layout = new QHBoxLayout(sheet);
    DBGrid3 = grid(sheet, "DBGrid3", &records.qryadmin, {100, 55});
    layout->addWidget(DBGrid3, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(choiceGroup(sheet, QStringLiteral("seç"), RadioButton1, "RadioButton1",
                                RadioButton2, "RadioButton2"));
    auto* form = new QFormLayout;
    Label32 = named(new QLabel(sheet), "Label32");
    Edit3 = named(new QLineEdit(sheet), "Edit3");
    form->addRow(QStringLiteral("Eski Şifresi:"), Label32);
    form->addRow(QStringLiteral("Yeni Şifre:"), Edit3);
    side->addLayout(form);
    btnSifreDegistir =
        button(sheet, "btnSifreDegistir", QStringLiteral("Seçili Kull/Admin Şifre Değiştir"));
    side->addWidget(btnSifreDegistir);
    side->addStretch();
    layout->addLayout(side);
    return sheet;
}

QWidget* TfrmEnrol::createActivationSheet() {
    auto* sheet = named(new QWidget, "TabSheet5");
    auto* layout = new QHBoxLayout(sheet);
    DBGrid4 = grid(sheet, "DBGrid4", &records.qryaktifpasif, {100, 55});
    layout->addWidget(DBGrid4, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(choiceGroup(sheet, QStringLiteral("seç"), RadioButton3, "RadioButton3",
                                RadioButton4, "RadioButton4"));
    btnAktifYap = button(sheet, "btnAktifYap", QStringLiteral("Aktif Yap"));
    btnPasifYap = button(sheet, "btnPasifYap", QStringLiteral("Pasif Yap"));
    side->addWidget(btnAktifYap);
    side->addWidget(btnPasifYap);
    side->addStretch();
    layout->addLayout(side);
    return sheet;
}

QWidget* TfrmEnrol::createMembershipSheet() {
    TabSheet6 = named(new QWidget, "TabSheet6");
    QWidget* sheet = TabSheet6;
    auto* layout = new QHBoxLayout(sheet);
    auto* left = new QVBoxLayout;
    DBGrid5 = grid(sheet, "DBGrid5", &qrypersonel, {55, 130, 88, 88});
    left->addWidget(DBGrid5, 1);
    auto* count = new QHBoxLayout;
    Label36 = named(new QLabel(sheet), "Label36");
    count->addWidget(new QLabel(QStringLiteral("Kayıt Sayısı:"), sheet));
    count->addWidget(Label36);
    count->addStretch();
    left->addLayout(count);
    layout->addLayout(left, 1);

    auto* side = new QVBoxLayout;
    auto* status = new QGroupBox(QStringLiteral("Durum"), sheet);
    auto* statusLayout = new QHBoxLayout(status);
    rbTum = named(new QRadioButton(QStringLiteral("Tüm"), status), "rbTum");
    rbAktif = named(new QRadioButton(QStringLiteral("Aktif"), status), "rbAktif");
    rbPasif = named(new QRadioButton(QStringLiteral("Pasif"), status), "rbPasif");
    rbTum->setChecked(true);
    for (QRadioButton* r : {rbTum, rbAktif, rbPasif})
        statusLayout->addWidget(r);
    side->addWidget(status);
    auto* form = new QFormLayout;
    Edit5 = named(new QLineEdit(sheet), "Edit5");
    form->addRow(QStringLiteral("Adı:"), Edit5);
    side->addLayout(form);
    btnBaglan = button(sheet, "btnBaglan", QStringLiteral("Bağlan"));
    side->addWidget(btnBaglan);
    auto* scope = new QGroupBox(sheet);
    auto* scopeLayout = new QVBoxLayout(scope);
    rbSeciliPersonel =
        named(new QRadioButton(QStringLiteral("Seçili Personel"), scope), "rbSeciliPersonel");
    rbListedekiPersoneller = named(new QRadioButton(QStringLiteral("Listedeki Personeller"), scope),
                                   "rbListedekiPersoneller");
    rbSeciliPersonel->setChecked(true);
    chkUyeTarihleri = named(new QCheckBox(QStringLiteral("Üye Başlama ve Bitiş tarihi ver"), scope),
                            "chkUyeTarihleri");
    chkUyeTarihleri->setChecked(true);
    scopeLayout->addWidget(rbSeciliPersonel);
    scopeLayout->addWidget(rbListedekiPersoneller);
    scopeLayout->addWidget(chkUyeTarihleri);
    side->addWidget(scope);
    btnUyeTarihYukle = button(sheet, "btnUyeTarihYukle",
                              QStringLiteral("Üye Baş.Bit. Tarihlerini Terminale Yükle"));
    side->addWidget(btnUyeTarihYukle);
    side->addWidget(new QLabel(
        QStringLiteral("DİKKAT!:\r\r1-Sadece D8 model cihazlarda çalışır\r2-Üye programı "
                       "olacak.Üyenin başlama ve üye bitiş tarihi yükler.O tarihler arası "
                       "üyeliği aktifleştirir.\r3-")
            .replace(QLatin1Char('\r'), QLatin1Char('\n')),
        sheet));
    side->addStretch();
    layout->addLayout(side);
    sheet->setEnabled(false); // prepared for membership terminals; not in use
    return sheet;
}

void TfrmEnrol::connectHandlers() {
    const auto click = [this](QPushButton* b, void (TfrmEnrol::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    click(BitBtn3, &TfrmEnrol::BitBtn3Click);
    click(BitBtn1, &TfrmEnrol::BitBtn1Click);
    click(BitBtn2, &TfrmEnrol::BitBtn2Click);
    click(BitBtn6, &TfrmEnrol::BitBtn6Click);
    click(cmdDeleteEnrollData, &TfrmEnrol::cmdDeleteEnrollDataClick);
    click(cmdGetEnrollData, &TfrmEnrol::cmdGetEnrollDataClick);
    click(cmdSetEnrollData, &TfrmEnrol::cmdSetEnrollDataClick);
    click(btnIsimAl, &TfrmEnrol::btnIsimAlClick);
    click(btnSeciliIsimYukle, &TfrmEnrol::btnSeciliIsimYukleClick);
    click(btnTumIsimYukle, &TfrmEnrol::btnTumIsimYukleClick);
    click(btnKullaniciYukle, &TfrmEnrol::btnKullaniciYukleClick);
    click(btnSifreDegistir, &TfrmEnrol::btnSifreDegistirClick);
    click(btnAktifYap, &TfrmEnrol::btnAktifYapClick);
    click(btnPasifYap, &TfrmEnrol::btnPasifYapClick);
    click(btnBaglan, &TfrmEnrol::btnBaglanClick);
    connect(Edit8, &QLineEdit::textChanged, this, [this] { Edit8Change(); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Edit2Change(); });
    connect(Edit5, &QLineEdit::textChanged, this, [this] { memberListChange(); });
    for (QRadioButton* r : {RadioButton1, RadioButton2})
        connect(r, &QRadioButton::clicked, this, [this] { passwordChoiceClick(); });
    for (QRadioButton* r : {RadioButton3, RadioButton4})
        connect(r, &QRadioButton::clicked, this, [this] { activationChoiceClick(); });
    for (QRadioButton* r : {rbTum, rbAktif, rbPasif})
        connect(r, &QRadioButton::clicked, this, [this] { memberListChange(); });
    connect(&records.qryadmin, &QueryRowsModel::currentRowChanged, this,
            [this] { qryadminAfterScroll(); });
    connect(&qryisim, &NameList::storeFailed, this,
            [this](const QString& text) { handle([&] { throw DatabaseError(text); }); });
}

// --- lifecycle ---

void TfrmEnrol::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A spontaneous show comes from the window system (a restore from minimised, the window
    // being mapped): the operator's work on the window stays as it is.
    if (!event->spontaneous())
        handle([this] { FormShow(); });
}

void TfrmEnrol::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        for (QTableView* view : findChildren<QTableView*>())
            fitColumnTitles(view);
    }
}

void TfrmEnrol::FormCreate() {
    PageControl1->setCurrentIndex(0);
    Label36->clear();
}

void TfrmEnrol::FormShow() {
    Label32->clear();
    BitBtn6->setText(QStringLiteral("Terminale Parmakizi Datası Yükle\r\n(var olanı ve işten "
                                    "çıkanları silerek yükler)\r\nmysql"));
    // A settings file that cannot be read is reported; the window still opens, without the
    // MySQL values.
    m_mySql = MySqlSettings();
    lblProgramTipi->clear();
    handle([this] {
        const Settings settings(m_folder);
        m_mySql = settings.mySql();
        lblProgramTipi->setText(settings.programTipi());
    });
    Label5->setText(m_mySql.database);
    Label7->clear();
    txtName->clear();
    m_machineNumber = m_readMachineNumber ? m_readMachineNumber() : 0;
    lblMessage->clear();
    Label2->clear();
    refreshRecordLists();
}

void TfrmEnrol::BitBtn3Click() {
    close();
}

// --- handlers ---

void TfrmEnrol::handle(const std::function<void()>& handler) {
    runCommand(*m_ui, handler);
}

EnrolContext TfrmEnrol::context() {
    return EnrolContext(m_dm, m_clock, m_machineNumber, m_item, *m_ui, *this, m_mySql);
}

void TfrmEnrol::exchange(QPushButton* button, const std::function<void(EnrolContext&)>& command) {
    if (m_exchanging)
        return; // one exchange with the terminal at a time
    m_exchanging = true;
    m_pressed = button;
    ScopeGuard done([this] {
        m_exchanging = false;
        m_pressed = nullptr;
    });
    // The window lives while the control waits; a second exchange is refused above.
    ScopedWaitingHook waiting(m_clock, [this] { m_ui->letPendingEventsRun(); });
    handle([&] {
        EnrolContext ctx = context();
        command(ctx);
    });
}

void TfrmEnrol::BitBtn1Click() {
    exchange(BitBtn1, [](EnrolContext& ctx) { downloadEnrollData(ctx); });
}

void TfrmEnrol::BitBtn2Click() {
    exchange(BitBtn2, [](EnrolContext& ctx) { uploadEnrollData(ctx, false); });
}

void TfrmEnrol::BitBtn6Click() {
    exchange(BitBtn6, [](EnrolContext& ctx) { uploadEnrollData(ctx, true); });
}

void TfrmEnrol::cmdDeleteEnrollDataClick() {
    exchange(nullptr, [this](EnrolContext& ctx) {
        deleteSingleItem(ctx, {txtEnrollNumber->text(), cmbEMachineNumber->currentText(),
                               cmbBackupNumber->currentText()});
    });
}

void TfrmEnrol::Edit8Change() {
    handle([this] {
        qryisim.refresh(m_dm.ADOConnection2(), Edit8->text());
        Label7->setText(QString::number(qryisim.rowCount()));
    });
}

void TfrmEnrol::btnIsimAlClick() {
    handle([this] {
        EnrolContext ctx = context();
        if (qryisim.importNames(ctx))
            Label7->setText(QString::number(qryisim.rowCount()));
    });
}

void TfrmEnrol::btnSeciliIsimYukleClick() {
    exchange(btnSeciliIsimYukle, [this](EnrolContext& ctx) { qryisim.uploadSelectedName(ctx); });
}

void TfrmEnrol::btnTumIsimYukleClick() {
    exchange(btnTumIsimYukle, [this](EnrolContext& ctx) { qryisim.uploadAllNames(ctx); });
}

void TfrmEnrol::refreshRecordLists() {
    records.refresh(m_dm.ADOConnection1(), Edit2->text());
}

void TfrmEnrol::Edit2Change() {
    handle([this] { refreshRecordLists(); });
}

void TfrmEnrol::passwordChoiceClick() {
    handle(
        [this] { records.refreshPasswordList(m_dm.ADOConnection1(), RadioButton2->isChecked()); });
}

void TfrmEnrol::activationChoiceClick() {
    handle([this] {
        records.refreshActivationList(m_dm.ADOConnection1(), RadioButton4->isChecked());
    });
}

void TfrmEnrol::qryadminAfterScroll() {
    Label32->setText(records.oldPasswordText());
}

void TfrmEnrol::btnKullaniciYukleClick() {
    exchange(btnKullaniciYukle, [this](EnrolContext& ctx) {
        uploadUser(ctx, selectedEnrollNumber(records.qryenroll));
    });
}

void TfrmEnrol::btnSifreDegistirClick() {
    exchange(btnSifreDegistir, [this](EnrolContext& ctx) {
        if (TrimText(Edit3->text()).isEmpty()) {
            changePassword(ctx, 0, Edit3->text()); // shows "Şifre gir"
            Edit3->setFocus();
            return;
        }
        changePassword(ctx, selectedEnrollNumber(records.qryadmin), Edit3->text());
    });
}

void TfrmEnrol::btnAktifYapClick() {
    exchange(btnAktifYap, [this](EnrolContext& ctx) {
        setUserEnabled(ctx, selectedEnrollNumber(records.qryaktifpasif), true);
    });
}

void TfrmEnrol::btnPasifYapClick() {
    exchange(btnPasifYap, [this](EnrolContext& ctx) {
        setUserEnabled(ctx, selectedEnrollNumber(records.qryaktifpasif), false);
    });
}

MemberList::Status TfrmEnrol::memberStatus() const {
    if (rbAktif->isChecked())
        return MemberList::Status::Active;
    if (rbPasif->isChecked())
        return MemberList::Status::Passive;
    return MemberList::Status::All;
}

void TfrmEnrol::btnBaglanClick() {
    handle([this] {
        EnrolContext ctx = context();
        qrypersonel.connectAndRefresh(ctx, memberStatus(), Edit5->text());
        Label36->setText(QString::number(qrypersonel.rowCount()));
    });
}

void TfrmEnrol::memberListChange() {
    handle([this] {
        EnrolContext ctx = context();
        qrypersonel.refresh(ctx, memberStatus(), Edit5->text());
        Label36->setText(QString::number(qrypersonel.rowCount()));
    });
}

// --- outputs of the commands ---

void TfrmEnrol::setStatus(const QString& text) {
    lblMessage->setText(text);
}

void TfrmEnrol::setLabel2(const QString& text) {
    Label2->setText(text);
}

void TfrmEnrol::setUserName(const QString& name) {
    txtName->setText(name);
}

void TfrmEnrol::appendMemoLine(const QString& line) {
    Memo1->appendPlainText(line);
}

void TfrmEnrol::clearMemo() {
    Memo1->clear();
}

void TfrmEnrol::setButtonEnabled(bool enabled) {
    if (m_pressed)
        m_pressed->setEnabled(enabled);
}

void TfrmEnrol::refreshLists() {
    qryisim.refresh(m_dm.ADOConnection2(), Edit8->text());
    Label7->setText(QString::number(qryisim.rowCount()));
    refreshRecordLists();
}

} // namespace selvenor
