#pragma once

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh data folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() { EXPECT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

private:
    QTemporaryDir m_dir;
};
