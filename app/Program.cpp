#include "Program.h"

#include "Tfrmgiris.h"

#include "enrol/TfrmEnrol.h"
#include "gui/WindowFont.h"
#include "registry/Tfrmyeni.h"
#include "timezone/TfrmTimeZone.h"

namespace selvenor {

namespace {

// Every window, and every widget in it, shows the windows' font from its creation on.
std::unique_ptr<Tfrmgiris> createMainWindow(TfrmDM& dm, OperatorInterface& ui,
                                            const DataFolder& folder) {
    installWindowFont();
    return std::make_unique<Tfrmgiris>(dm, ui, folder);
}

} // namespace

Program::Program(OperatorInterface& ui, const DataFolder& folder)
    : frmgiris(createMainWindow(frmDM, ui, folder)) {
    frmyeni = std::make_unique<Tfrmyeni>(frmDM, frmgiris->qrycihaz, ui, frmgiris.get());
    frmgiris->setTerminalEditor(frmyeni.get());
    Tfrmgiris* main = frmgiris.get();
    frmEnrol = std::make_unique<TfrmEnrol>(
        frmDM, *frmgiris->FP_CLOCK1, [main] { return main->session.machineNumber(); }, folder,
        frmgiris.get(), &ui);
    frmgiris->setEnrolmentWindow(frmEnrol.get(), frmEnrol->Label3);
    frmTimeZone = std::make_unique<TfrmTimeZone>(frmgiris.get());
}

// The windows go before the main window, their parent, and the data module last.
Program::~Program() {
    frmTimeZone.reset();
    frmEnrol.reset();
    frmyeni.reset();
    frmgiris.reset();
}

} // namespace selvenor
