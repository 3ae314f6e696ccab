#pragma once

#include <QStringList>

namespace selvenor {

class DataFolder;

// Creates whatever of Data.mdb, Log.mdb and Settings.ini is missing in the folder, with every
// table, and touches nothing that exists. Returns the names of the files it created.
// Throws DatabaseError or FileError when a file cannot be created.
QStringList createMissingStores(const DataFolder& folder);

// The statements that create the tables of each store (used by createMissingStores and tests).
QStringList dataStoreSchema();
QStringList logStoreSchema();

} // namespace selvenor
