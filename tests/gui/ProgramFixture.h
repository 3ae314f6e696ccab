#pragma once

#include "app/Program.h"
#include "app/Tfrmgiris.h"
#include "registry/Tfrmyeni.h"

#include "support/RecordingOperator.h"
#include "support/TempFolder.h"

#include <QAbstractButton>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

struct ModalResult {
    bool opened = false;     // the window was open when the script ran
    bool stayedOpen = false; // the script left it open (it was then closed)
};

// Operates a modal window once the next action of the test has opened it, and closes it
// afterwards when the script left it open, so a test never blocks.
class ModalScript {
public:
    ModalScript(QDialog* dialog, std::function<void()> work);

    ModalResult result;

private:
    QDialog* m_dialog;
    std::function<void()> m_work;
    QTimer m_timer;
};

// A temporary data folder and the whole program started on it, as program start does.
class ProgramFixture : public ::testing::Test {
protected:
    void prepareStores();
    void writeSettings(const QByteArray& bytes);
    QByteArray settingsBytes() const;
    void start();
    void restart();

    selvenor::Tfrmgiris& main() { return *program->frmgiris; }
    selvenor::Tfrmyeni& editor() { return *program->frmyeni; }
    QStringList gridNames() const;
    qint64 addRow(const QString& name, const QString& tip, const QString& terminalNo = "1");

    // Clicks `button` of the main window while `work` operates the editor it opens.
    ModalResult clickWithEditor(QAbstractButton* button, std::function<void()> work);
    // Types into the editor's fields and presses "Kaydet".
    void typeAndSave(const QString& name, const QString& terminalNo);

    TempFolder temp;
    selvenor::DataFolder folder{temp.path()};
    RecordingOperator ui;
    std::unique_ptr<selvenor::Program> program;
};
