#include "TfrmTimeZone.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace selvenor {

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QTimeEdit* timePicker(QWidget* parent, const char* name, QTime initial) {
    auto* t = new QTimeEdit(initial, parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setDisplayFormat(QStringLiteral("HH:mm"));
    return t;
}

} // namespace

TfrmTimeZone::TfrmTimeZone(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmTimeZone"));
    setWindowTitle(QStringLiteral("Time Zone"));
    createControls();
    connect(btnChange, &QPushButton::clicked, this, &TfrmTimeZone::btnChangeClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    // "Terminalden Oku" and "Terminale Gönder" have no action.
}

void TfrmTimeZone::createControls() {
    lstTzone = new QListWidget(this);
    lstTzone->setObjectName(QStringLiteral("lstTzone"));
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    lstTzone->setFont(fixed);

    dtpStart = timePicker(this, "dtpStart", QTime(0, 0));
    dtpEnd = timePicker(this, "dtpEnd", QTime(23, 59));
    cboVerifyMode = new QComboBox(this);
    cboVerifyMode->setObjectName(QStringLiteral("cboVerifyMode"));
    cboVerifyMode->addItems(TimeZoneTable::verifyModeNames());

    btnChange = button(this, "btnChange", "Değiştir");
    btnRead = button(this, "btnRead", "Terminalden Oku");
    btnSend = button(this, "btnSend", "Terminale Gönder");
    btnClose = button(this, "btnClose", "Kapat");
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Başlama"), this), 0, 0);
    fields->addWidget(dtpStart, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Bitiş"), this), 1, 0);
    fields->addWidget(dtpEnd, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Çalışma Modu"), this), 2, 0);
    fields->addWidget(cboVerifyMode, 2, 1);
    fields->addWidget(btnChange, 3, 1);
    fields->setRowStretch(4, 1);
    fields->addWidget(btnRead, 5, 0, 1, 2);
    fields->addWidget(btnSend, 6, 0, 1, 2);
    fields->addWidget(btnClose, 7, 0, 1, 2);

    auto* body = new QHBoxLayout;
    body->addWidget(lstTzone, 1);
    body->addLayout(fields);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(lblMessage);
    resize(620, 420);
}

void TfrmTimeZone::fillList() {
    lstTzone->clear();
    lstTzone->addItems(m_table.lines());
}

void TfrmTimeZone::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only a show by the program resets the table; a restore from minimised (a spontaneous show
    // by the window system) keeps the operator's changes.
    if (!event->spontaneous())
        FormShow();
}

void TfrmTimeZone::FormShow() {
    m_table.reset();
    fillList();
    cboVerifyMode->setEditable(false);
    cboVerifyMode->setCurrentIndex(0);
    lblMessage->clear();
}

void TfrmTimeZone::btnChangeClick() {
    const int index = lstTzone->currentRow();
    if (index < 0 || index >= TimeZoneTable::kSlotCount || !lstTzone->currentItem()->isSelected())
        return;
    const QTime start = dtpStart->time();
    const QTime end = dtpEnd->time();
    m_table.change(index, start.hour(), start.minute(), end.hour(), end.minute(),
                   cboVerifyMode->currentIndex());
    fillList();
    lstTzone->setCurrentRow(index);
}

} // namespace selvenor
