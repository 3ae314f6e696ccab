#pragma once

#include "EnrolView.h"
#include "EnrollItem.h"
#include "MemberList.h"
#include "NameList.h"
#include "RecordLists.h"

#include "data/DataFolder.h"
#include "data/Settings.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QWidget;

namespace selvenor {

class EnrolContext;
class OperatorInterface;
class TFP_CLOCK;
class TfrmDM;

// The enrolment window: copies the users of a terminal (templates, cards, passwords) into the
// enrolment store and back onto a terminal, and names them from the attendance program. Created
// once at start-up and shown modally by the main window's "Parmakizi" command, which writes the
// connected terminal's name into Label3 first. The handlers call the GUI-free commands of this
// folder; while one of them talks to the terminal, the other terminal commands do nothing.
class TfrmEnrol : public QDialog, private EnrolView {
    Q_OBJECT
public:
    // `machineNumber` reads the main window's machine number; it is read each time the window
    // is shown. `ui` is the operator of the windows; without one the window makes its own.
    TfrmEnrol(TfrmDM& dm, TFP_CLOCK& clock, std::function<int()> machineNumber,
              const DataFolder& folder, QWidget* parent = nullptr, OperatorInterface* ui = nullptr);
    ~TfrmEnrol() override;

    // --- frame ---
    QTabWidget* PageControl1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lblMessage = nullptr;
    QPushButton* BitBtn3 = nullptr;

    // --- "tüm data" ---
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtName = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* btnIsimAl = nullptr;
    QPushButton* btnSeciliIsimYukle = nullptr;
    QPushButton* btnTumIsimYukle = nullptr;
    QLabel* lblProgramTipi = nullptr;

    // --- "tek data(parmak)" ---
    QLineEdit* txtEnrollNumber = nullptr;
    QComboBox* cmbEMachineNumber = nullptr;
    QComboBox* cmbBackupNumber = nullptr;
    QLineEdit* txtCardNumber = nullptr;
    QComboBox* cmbPrivilege = nullptr;
    QLineEdit* Edit1 = nullptr;
    QCheckBox* chkDisable = nullptr;
    QListWidget* lstEnrollData = nullptr;
    QComboBox* cmbDuress = nullptr;
    QLineEdit* txtUserTz[5] = {};
    QLineEdit* txtUserDepart = nullptr;
    QGroupBox* grpUserPhoto = nullptr;
    QPushButton* cmdGetEnrollData = nullptr;
    QPushButton* cmdSetEnrollData = nullptr;
    QPushButton* cmdDeleteEnrollData = nullptr;

    // --- "Seçili Kayıt Yükleme(Parmak/Kart/Şifre)" ---
    QTableView* DBGrid2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* btnKullaniciYukle = nullptr;

    // --- "Kullanıcı / Admin (Yönetici) Şifre Değiştirme" ---
    QTableView* DBGrid3 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QLabel* Label32 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QPushButton* btnSifreDegistir = nullptr;

    // --- "Kullanıcı / Admin Aktif/Pasif Yapma" ---
    QTableView* DBGrid4 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QPushButton* btnAktifYap = nullptr;
    QPushButton* btnPasifYap = nullptr;

    // --- "Yetkilendir" ---
    QWidget* TabSheet6 = nullptr;
    QTableView* DBGrid5 = nullptr;
    QLabel* Label36 = nullptr;
    QRadioButton* rbTum = nullptr;
    QRadioButton* rbAktif = nullptr;
    QRadioButton* rbPasif = nullptr;
    QLineEdit* Edit5 = nullptr;
    QPushButton* btnBaglan = nullptr;
    QRadioButton* rbSeciliPersonel = nullptr;
    QRadioButton* rbListedekiPersoneller = nullptr;
    QCheckBox* chkUyeTarihleri = nullptr;
    QPushButton* btnUyeTarihYukle = nullptr;

    // The lists behind the grids.
    NameList qryisim;
    RecordLists records;
    MemberList qrypersonel;

    // The machine number copied when the window was last shown.
    int machineNumber() const { return m_machineNumber; }
    const EnrollItem& item() const { return m_item; }
    MySqlSettings mySqlSettings() const { return m_mySql; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createFrame();
    QWidget* createAllDataSheet();
    QWidget* createSingleItemSheet();
    QWidget* createRecordSheet();
    QWidget* createPasswordSheet();
    QWidget* createActivationSheet();
    QWidget* createMembershipSheet();
    void connectHandlers();

    void FormCreate();
    void FormShow();
    void BitBtn3Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn6Click();
    void cmdDeleteEnrollDataClick();
    void cmdGetEnrollDataClick() {}
    void cmdSetEnrollDataClick() {}
    void Edit8Change();
    void btnIsimAlClick();
    void btnSeciliIsimYukleClick();
    void btnTumIsimYukleClick();
    void Edit2Change();
    void passwordChoiceClick();
    void activationChoiceClick();
    void qryadminAfterScroll();
    void btnKullaniciYukleClick();
    void btnSifreDegistirClick();
    void btnAktifYapClick();
    void btnPasifYapClick();
    void btnBaglanClick();
    void memberListChange();

    void refreshRecordLists();
    MemberList::Status memberStatus() const;

    // Runs a handler behind the default error reporting.
    void handle(const std::function<void()>& handler);
    // Runs a command that talks to the terminal: not while another one runs; `button` is the
    // pressed button that the command disables while it works.
    void exchange(QPushButton* button, const std::function<void(EnrolContext&)>& command);
    EnrolContext context();

    // EnrolView
    void setStatus(const QString& text) override;
    void setLabel2(const QString& text) override;
    void setUserName(const QString& name) override;
    void appendMemoLine(const QString& line) override;
    void clearMemo() override;
    void setButtonEnabled(bool enabled) override;
    void refreshLists() override;

    TfrmDM& m_dm;
    TFP_CLOCK& m_clock;
    std::function<int()> m_readMachineNumber;
    DataFolder m_folder;
    std::unique_ptr<OperatorInterface> m_ownUi;
    OperatorInterface* m_ui;
    int m_machineNumber = 0;
    MySqlSettings m_mySql;
    EnrollItem m_item;
    QPushButton* m_pressed = nullptr;
    bool m_exchanging = false;
};

} // namespace selvenor
