#pragma once

#include "data/DataFolder.h"
#include "data/TfrmDM.h"

#include <memory>

namespace selvenor {

class OperatorInterface;
class TfrmEnrol;
class Tfrmgiris;
class TfrmTimeZone;
class Tfrmyeni;

// Everything program start creates, in this order: the data module, the main window (whose
// creation opens the stores, the terminal list and the setting), the terminal editor, the
// enrolment window and the time-zone window. Only the main window is shown; closing it ends
// the program.
class Program {
public:
    Program(OperatorInterface& ui, const DataFolder& folder);
    ~Program();

    TfrmDM frmDM;
    std::unique_ptr<Tfrmgiris> frmgiris;
    std::unique_ptr<Tfrmyeni> frmyeni;
    std::unique_ptr<TfrmEnrol> frmEnrol;
    std::unique_ptr<TfrmTimeZone> frmTimeZone;
};

} // namespace selvenor
