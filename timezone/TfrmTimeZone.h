#pragma once

#include "TimeZoneTable.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimeEdit;

namespace selvenor {

// The time-zone window: shows the 400 slots of the time-zone table and changes one at a time.
// Every showing starts again from the defaults; nothing is read from or sent to a terminal.
class TfrmTimeZone : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTimeZone(QWidget* parent = nullptr);

    QListWidget* lstTzone = nullptr;
    QTimeEdit* dtpStart = nullptr;
    QTimeEdit* dtpEnd = nullptr;
    QComboBox* cboVerifyMode = nullptr;
    QPushButton* btnChange = nullptr; // "Değiştir"
    QPushButton* btnRead = nullptr;   // "Terminalden Oku"
    QPushButton* btnSend = nullptr;   // "Terminale Gönder"
    QPushButton* btnClose = nullptr;  // "Kapat"
    QLabel* lblMessage = nullptr;

    const TimeZoneTable& table() const { return m_table; }

    void FormShow();
    void btnChangeClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void fillList();

    TimeZoneTable m_table;
};

} // namespace selvenor
