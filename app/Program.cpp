#include "Program.h"

#include "Tfrmgiris.h"

#include "enrol/TfrmEnrol.h"
#include "gui/WindowFont.h"
#include "registry/Tfrmyeni.h"
#include "timezone/TfrmTimeZone.h"

namespace selvenor {

Program::Program(OperatorInterface& ui, const DataFolder& folder)
    : frmgiris(std::make_unique<Tfrmgiris>(frmDM, ui, folder)) {
    frmyeni = std::make_unique<Tfrmyeni>(frmDM, frmgiris->qrycihaz, ui, frmgiris.get());
    frmgiris->setTerminalEditor(frmyeni.get());
    Tfrmgiris* main = frmgiris.get();
    frmEnrol = std::make_unique<TfrmEnrol>(
        frmDM, *frmgiris->FP_CLOCK1, [main] { return main->session.machineNumber(); }, folder,
        frmgiris.get(), &ui);
    frmgiris->setEnrolmentWindow(frmEnrol.get(), frmEnrol->Label3);
    frmTimeZone = std::make_unique<TfrmTimeZone>(frmgiris.get());
    // Windows do not take their parent's font; every window shows the main window's.
    for (QWidget* window :
         std::initializer_list<QWidget*>{frmyeni.get(), frmEnrol.get(), frmTimeZone.get()})
        window->setFont(WindowFont());
}

// The windows go before the main window, their parent, and the data module last.
Program::~Program() {
    frmTimeZone.reset();
    frmEnrol.reset();
    frmyeni.reset();
    frmgiris.reset();
}

} // namespace selvenor
