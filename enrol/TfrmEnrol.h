#pragma once

#include "data/DataFolder.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace selvenor {

class TFP_CLOCK;
class TfrmDM;

// The enrolment window: copies the users of a terminal (templates, cards, passwords) into the
// enrolment store and back onto a terminal, and names them from the attendance program.
// Created once at start-up and shown modally by the main window's "Parmakizi" command, which
// writes the connected terminal's name into Label3 first.
class TfrmEnrol : public QDialog {
    Q_OBJECT
public:
    // `machineNumber` reads the main window's machine number; it is read each time the window
    // is shown.
    TfrmEnrol(TfrmDM& dm, TFP_CLOCK& clock, std::function<int()> machineNumber,
              const DataFolder& folder, QWidget* parent = nullptr);
    ~TfrmEnrol() override;

    QTabWidget* PageControl1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lblMessage = nullptr;
    QPushButton* BitBtn3 = nullptr;

    // The machine number copied when the window was last shown.
    int machineNumber() const { return m_machineNumber; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void BitBtn3Click();

    TfrmDM& m_dm;
    TFP_CLOCK& m_clock;
    std::function<int()> m_readMachineNumber;
    DataFolder m_folder;
    int m_machineNumber = 0;
};

} // namespace selvenor
