#pragma once

#include "data/DataFolder.h"
#include "data/Sql.h"
#include "data/StoreSchema.h"
#include "data/TfrmDM.h"
#include "registry/TerminalList.h"

#include "support/RecordingOperator.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

// A data folder with fresh stores, Data.mdb open on the data module's connection, and the
// terminal list on it.
class RegistryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        selvenor::createMissingStores(folder);
        ASSERT_TRUE(selvenor::TfrmDM::openStore(dm.ADOConnection1(), folder.file("Data.mdb")));
    }

    // Inserts a row the way another program (or an older version) might have left it.
    qint64 addRow(const QString& name, const QString& tip = QStringLiteral("com"),
                  int terminalNo = 1) {
        return selvenor::execSql(
                   db(), "insert into Terminal (Terminal, TerminalNo, Tip) values (?, ?, ?)",
                   {name, terminalNo, tip})
            .lastInsertId()
            .toLongLong();
    }

    int rowCount() {
        QSqlQuery q = selvenor::execSql(db(), "select count(*) from Terminal");
        q.next();
        return q.value(0).toInt();
    }

    QStringList names() const {
        QStringList result;
        for (int i = 0; i < list.count(); ++i)
            result << list.at(i).Terminal;
        return result;
    }

    QSqlDatabase db() const { return dm.ADOConnection1(); }

    TempFolder temp;
    selvenor::DataFolder folder{temp.path()};
    selvenor::TfrmDM dm;
    selvenor::TerminalList list{dm.ADOConnection1()};
    RecordingOperator ui;
};
