#pragma once

#include "TerminalEntry.h"
#include "TerminalRecord.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace selvenor {

class OperatorInterface;
class TerminalList;
class TfrmDM;

// The terminal editor: one record of Terminal typed in and stored as a new row (mode "yeni")
// or into the terminal list's current row (mode "guncelle"). Created once; shown modally by
// the main window's "Ekle" and "Değiştir", which set the mode first. The fields keep their
// contents between showings.
class Tfrmyeni : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kModeNew = "yeni";
    static constexpr const char* kModeChange = "guncelle";

    Tfrmyeni(TfrmDM& dm, TerminalList& qrycihaz, OperatorInterface& ui, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;     // Cihaz
    QLineEdit* Edit2 = nullptr;     // Cihaz No
    QComboBox* ComboBox1 = nullptr; // Bağlantı Tipi
    QGroupBox* GroupBox1 = nullptr; // com port
    QLineEdit* Edit3 = nullptr;     // Com Port
    QLineEdit* Edit4 = nullptr;     // Baud
    QGroupBox* GroupBox2 = nullptr; // tcp/ip
    QLineEdit* Edit5 = nullptr;     // ip adres
    QLineEdit* Edit6 = nullptr;     // tcp port
    QLineEdit* Edit7 = nullptr;     // passsword
    QPushButton* BitBtn1 = nullptr; // Kaydet
    QPushButton* BitBtn2 = nullptr; // Kapat

    // What "Kaydet" does: kModeNew or kModeChange.
    QString mode;

    // Shows the group of the connection type (none for usb and None).
    void showGroupOf(ConnectionType type);
    // Fills the fields from a row of the list; the selector and the groups follow its Tip when
    // it names a connection type, else the selector keeps its item and no group shows.
    void fillFrom(const TerminalRecord& row);
    // The fields as "Kaydet" stores them.
    TerminalEntry entry() const;

    void BitBtn1Click();
    void BitBtn2Click();
    void ComboBox1Change(int item);
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();

    TfrmDM& m_dm;
    TerminalList& m_qrycihaz;
    OperatorInterface& m_ui;
};

} // namespace selvenor
