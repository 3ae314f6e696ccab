#pragma once

#include "TerminalSession.h"

#include "data/DataFolder.h"
#include "registry/TerminalList.h"
#include "terminal/TFP_CLOCK.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTableView;
class QToolButton;

namespace selvenor {

class OperatorInterface;
class TfrmDM;
class Tfrmyeni;

// The main window: the terminal list, the connection, and every terminal command. Its client
// area is a fixed 820 x 400; a second area with the work lists of the file commands lies to
// the right (from x = 824) and is reached by scrolling.
//
// Every handler runs behind the default error reporting: an error it does not handle is shown
// in a message box and the program goes on. The terminal commands, the popup-menu commands and
// the memory-card conversion and the connect button run under a CommandLock, so while one lets
// window events run the operator cannot start another, connect, disconnect, edit the list or
// close the window. The control lets window events run while it waits for a terminal, but only
// under the lock.
class Tfrmgiris : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 820;
    static constexpr int kClientHeight = 400;
    static constexpr int kSecondAreaX = 824;

    Tfrmgiris(TfrmDM& dm, OperatorInterface& ui, const DataFolder& folder,
              QWidget* parent = nullptr);
    ~Tfrmgiris() override;

    // The windows created after this one at program start.
    void setTerminalEditor(Tfrmyeni* editor);
    void setEnrolmentWindow(QDialog* window, QLabel* terminalNameLabel);

    // Disables the terminal commands, the connect button, the list commands, the popup menu and
    // closing for its lifetime, and gives each its state back afterwards.
    class CommandLock {
    public:
        explicit CommandLock(Tfrmgiris& window);
        ~CommandLock();
        CommandLock(const CommandLock&) = delete;
        CommandLock& operator=(const CommandLock&) = delete;

    private:
        Tfrmgiris& m_window;
        QList<QPair<QPointer<QObject>, bool>> m_states;
        int m_terminalCommandsSet;
    };
    bool commandRunning() const { return m_locks > 0; }

    // The six terminal commands, enabled exactly while connected (under a command lock they
    // stay disabled until it ends).
    QList<QPushButton*> terminalCommands() const;
    void setTerminalCommandsEnabled(bool enabled);

    // Window state.
    TfrmDM& frmDM;
    OperatorInterface& ui;
    DataFolder exeFolder;    // the executable folder (or --data-dir)
    TerminalList qrycihaz;   // the grid's terminal list
    TFP_CLOCK* FP_CLOCK1;    // the one terminal control
    TerminalSession session; // machine number, connected terminal name, connection state

    // Controls.
    QScrollArea* ScrollBox1 = nullptr; // the client area
    QTableView* DBGrid1 = nullptr;
    QPushButton* BitBtn1 = nullptr; // Ekle
    QPushButton* BitBtn2 = nullptr; // Değiştir
    QPushButton* BitBtn3 = nullptr; // Sil
    QPushButton* BitBtn4 = nullptr; // BAGLAN / BAGLANTI_KES
    QPushButton* BitBtn5 = nullptr; // Verileri Aktar
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* BitBtn6 = nullptr;  // Tarih-Saat Ayarla
    QPushButton* BitBtn7 = nullptr;  // Tarih-Saat Oku
    QPushButton* BitBtn8 = nullptr;  // Admin Sil
    QPushButton* BitBtn9 = nullptr;  // Zil Saatleri(42)
    QPushButton* BitBtn10 = nullptr; // Parmakizi
    QPushButton* BitBtn11 = nullptr; // Kapat
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // 2. veri dosyası kaydet
    QPushButton* Button2 = nullptr; // kaydet
    QPushButton* Button1 = nullptr; // sdkart->text (veri.txt)
    QMenu* PopupMenu1 = nullptr;
    QAction* mnuParmakiziSil = nullptr;     // Terminalde Tanımlı Tüm Parmakizlerini Sil
    QAction* mnuTumVerileriAl = nullptr;    // Tüm Verileri Al (silmez)
    QAction* mnuTumVerileriAlSil = nullptr; // Tüm Verileri Al(aldıktan sonra cihazdan sil)
    QToolButton* SpeedButton1 = nullptr;    // Time Zone
    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;

    // Handlers.
    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void BitBtn10Click();
    void BitBtn11Click();
    void Button1Click();
    void Button2Click();
    void mnuParmakiziSilClick();
    void mnuTumVerileriAlClick();
    void mnuTumVerileriAlSilClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createGrid(QWidget* area);
    void createButtons(QWidget* area);
    void createSecondArea(QWidget* area);
    void createPopupMenu();
    void connectHandlers();
    void connectGridToList();
    enum class Lock { None, WhileRunning };
    template <typename Sender, typename Signal>
    void handle(Sender* sender, Signal signal, void (Tfrmgiris::*handler)(),
                Lock lock = Lock::None);
    void openStore(QSqlDatabase db, const QString& name, const QString& missingText);
    QList<QObject*> lockedDuringCommands() const;

    Tfrmyeni* m_frmyeni = nullptr;
    QDialog* m_frmEnrol = nullptr;
    QLabel* m_enrolTerminalName = nullptr;
    int m_locks = 0;
    bool m_terminalCommandsEnabled = false;
    int m_terminalCommandsSet = 0; // how often the state above was set
    bool m_centred = false;
};

} // namespace selvenor
