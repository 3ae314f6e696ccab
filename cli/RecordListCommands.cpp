#include "CommandArguments.h"
#include "RegistryTerminal.h"
#include "TablePrint.h"
#include "UserSelection.h"

#include "enrol/RecordLists.h"

namespace selvenor::cli {

namespace {

// A list command of the single-user sheets: its arguments (no words) and the store's lists.
struct SheetListCommand {
    SheetListCommand(CommandContext& context, const QString& command,
                     const QStringList& valueOptions, const QStringList& flags)
        : command(command)
        , args(command, context.arguments, valueOptions, flags) {
        args.words(0);
        openDataStore(context.folder, dm);
    }
    QSqlDatabase data() const { return dm.ADOConnection1(); }
    bool administrators() const { return showsAdministrators(privilegeChoice(command, args)); }

    QString command;
    CommandArguments args;
    TfrmDM dm;
    RecordLists lists;
};

} // namespace

// The record list of the sheet "Seçili Kayıt Yükleme(Parmak/Kart/Şifre)": every stored entry,
// or those whose enroll number begins with --search, by enroll number.
int recordList(CommandContext& context) {
    SheetListCommand c(context, QStringLiteral("record-list"), {QStringLiteral("--search")}, {});
    c.lists.refresh(c.data(), c.args.value(QStringLiteral("--search")));
    printTable(context.out, c.lists.qryenroll);
    return 0;
}

// The password list of its sheet, with the old password display of every row.
int passwordList(CommandContext& context) {
    SheetListCommand c(context, QStringLiteral("password-list"), {}, privilegeFlags());
    RecordLists& lists = c.lists;
    lists.refreshPasswordList(c.data(), c.administrators());
    printTable(context.out, lists.qryadmin, {{QStringLiteral("Eski Şifresi"), [&](int row) {
                                                  lists.qryadmin.setCurrentRow(row);
                                                  return lists.oldPasswordText();
                                              }}});
    return 0;
}

// The list of the sheet "Kullanıcı / Admin Aktif/Pasif Yapma".
int activationList(CommandContext& context) {
    SheetListCommand c(context, QStringLiteral("activation-list"), {}, privilegeFlags());
    c.lists.refreshActivationList(c.data(), c.administrators());
    printTable(context.out, c.lists.qryaktifpasif);
    return 0;
}

} // namespace selvenor::cli
