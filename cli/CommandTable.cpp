#include "CliCommand.h"

namespace selvenor::cli {

// A command lives in a file of its own; declare its function here and add its row below.
int init(CommandContext& context);
int terminals(CommandContext& context);
int addTerminal(CommandContext& context);
int changeTerminal(CommandContext& context);
int deleteTerminal(CommandContext& context);
int timeSet(CommandContext& context);
int timeGet(CommandContext& context);
int removeAdmins(CommandContext& context);
int wipeFingerprints(CommandContext& context);
int download(CommandContext& context);
int downloadAll(CommandContext& context);
int convertCard(CommandContext& context);
int journalCheck(CommandContext& context);
int status(CommandContext& context);
int enrolDownload(CommandContext& context);
int namesImport(CommandContext& context);
int enrolUpload(CommandContext& context);
int namesUpload(CommandContext& context);
int deleteEntry(CommandContext& context);
int recordList(CommandContext& context);
int userUpload(CommandContext& context);
int passwordList(CommandContext& context);
int passwordChange(CommandContext& context);
int activationList(CommandContext& context);
int userEnable(CommandContext& context);
int userDisable(CommandContext& context);
int members(CommandContext& context);
int timeZones(CommandContext& context);

namespace {

using G = CommandGroup;

const Command kCommands[] = {
    {"terminals", "", "kayıtlı terminalleri ad sırasıyla listeler", terminals, G::TerminalList},
    {"add-terminal",
     "AD --number N (--tcp HOST:PORT [--password P] | --com PORT [--baud B] | --usb)",
     "terminal kaydeder (Ekle; --baud varsayılanı 9600)", addTerminal, G::TerminalList},
    {"change-terminal",
     "AD [--name YENİ_AD] [--number N] [--tcp HOST:PORT | --com PORT | --usb] [--password P] "
     "[--baud B]",
     "terminal kaydını değiştirir (Değiştir); --tcp ve --usb şifreyi 0 yapar, --password "
     "verilmedikçe",
     changeTerminal, G::TerminalList},
    {"delete-terminal", "AD [--yes]", "terminal kaydını siler (Sil); --yes sormadan",
     deleteTerminal, G::TerminalList},
    {"download", "(AD... | --all) [--second-file] [--jobs N] [--wait SANİYE]",
     "yeni kayıtları veri.txt ve aylık yedeğe aktarır (Verileri Aktar); --jobs: aynı anda en çok "
     "N terminal (varsayılan 8); --wait: veri klasöründe süren başka bir aktarımı ve terminali "
     "tutan başka bir bağlantıyı en çok bu kadar bekler (varsayılan 5)",
     download, G::Attendance},
    {"status", "[--check]",
     "her terminalin son aktarımı: son deneme, son başarı, yazılan kayıt, son hata; --check "
     "şimdi cevap verip vermediklerini de sınar",
     status, G::Attendance},
    {"download-all", "AD [--inout] [--second-file]",
     "terminaldeki tüm kayıtları aktarır; --inout giriş/çıkış kodlarıyla ve sonra terminalden "
     "siler",
     downloadAll, G::Attendance},
    {"convert-card", "DOSYA", "hafıza kartı dosyasını veri.txt dosyasına ekler (sdkart->text)",
     convertCard, G::Attendance},
    {"time-set", "AD", "terminalin saatini bilgisayarın saatine ayarlar", timeSet,
     G::Administration},
    {"time-get", "AD", "terminalin tarih ve saatini gösterir", timeGet, G::Administration},
    {"remove-admins", "AD [--yes]",
     "terminaldeki tüm yöneticileri siler (ENROLLINFO'ya listeler); --yes sormadan", removeAdmins,
     G::Administration},
    {"wipe-fingerprints", "AD [--yes]", "terminaldeki tüm parmakizlerini siler; --yes sormadan",
     wipeFingerprints, G::Administration},
    {"enrol-download", "AD [--on-error retry|skip|stop]",
     "parmakizi/kart/şifre datasını tblEnroll'a, isimleri temp'e alır", enrolDownload,
     G::EnrolAllData},
    {"names-import", "", "temp'teki isimleri PDKS personel tablosundan (mysql) alır", namesImport,
     G::EnrolAllData},
    {"enrol-upload", "AD [--without-left] [--on-error retry|skip|stop] [--yes]",
     "terminali silip tblEnroll'u yükler; --without-left işten çıkanlar olmadan; --yes sormadan "
     "(eksik indirilmiş datayı da)",
     enrolUpload, G::EnrolAllData},
    {"names-upload", "AD [--search METİN]", "temp'teki isimleri terminale yükler", namesUpload,
     G::EnrolAllData},
    {"delete-entry", "AD KULLANICI_NO [--emachine N] [--backup N] [--yes]",
     "terminalden tek kaydı siler (Parmakizi Sil; Cihaz No 1, Yedek No 0 varsayılan); --yes "
     "sormadan",
     deleteEntry, G::EnrolSingleItem},
    {"record-list", "[--search METİN]",
     "tblEnroll kayıt listesi (sekmeyle ayrılmış); --search kullanıcı no başı", recordList,
     G::EnrolRecords},
    {"user-upload", "AD KULLANICI_NO [--on-error retry|skip|stop]",
     "kullanıcının tüm kayıtlarını terminale yükler (Seçili Kullanıcıyı Yükle)", userUpload,
     G::EnrolRecords},
    {"password-list", "[--users | --admins]",
     "şifre listesi, eski şifresiyle (varsayılan admin(yönetici))", passwordList,
     G::EnrolPasswords},
    {"password-change",
     "AD KULLANICI_NO YENİ_ŞİFRE [--users | --admins] [--on-error "
     "retry|skip|stop]",
     "kullanıcının kayıtlarını yeni şifreyle terminale yazar (Seçili Kull/Admin Şifre "
     "Değiştir)",
     passwordChange, G::EnrolPasswords},
    {"activation-list", "[--users | --admins]", "aktif/pasif listesi (varsayılan admin(yönetici))",
     activationList, G::EnrolActivation},
    {"user-enable", "AD KULLANICI_NO [--users | --admins]",
     "kullanıcının tüm kayıtlarını terminalde aktif yapar (Aktif Yap)", userEnable,
     G::EnrolActivation},
    {"user-disable", "AD KULLANICI_NO [--users | --admins]",
     "kullanıcının tüm kayıtlarını terminalde pasif yapar (Pasif Yap)", userDisable,
     G::EnrolActivation},
    {"members", "[--status tüm|aktif|pasif] [--name METİN]",
     "PDKS personel tablosundaki üyeler, üyelik tarihleriyle (Bağlan)", members, G::EnrolMembers},
    {"time-zones", "", "zaman dilimi tablosunu listeler", timeZones, G::TimeZones},
    {"init", "", "Data.mdb, Log.mdb ve Settings.ini eksikse oluşturur; var olana dokunmaz", init,
     G::Program},
    {"journal-check", "[--repair]",
     "aktarım günlüğünü gösterir; --repair bozuk günlüğü kayıp olmadan onarır", journalCheck,
     G::Program},
};

} // namespace

QString groupTitle(CommandGroup group) {
    switch (group) {
    case G::TerminalList:
        return QStringLiteral("Ana pencere: terminal listesi (Ekle, Değiştir, Sil)");
    case G::Attendance:
        return QStringLiteral("Ana pencere: veri aktarımı");
    case G::Administration:
        return QStringLiteral("Ana pencere: terminal işlemleri");
    case G::EnrolAllData:
        return QStringLiteral("Parmakizi penceresi: tüm data");
    case G::EnrolSingleItem:
        return QStringLiteral("Parmakizi penceresi: tek data(parmak)");
    case G::EnrolRecords:
        return QStringLiteral("Parmakizi penceresi: Seçili Kayıt Yükleme(Parmak/Kart/Şifre)");
    case G::EnrolPasswords:
        return QStringLiteral("Parmakizi penceresi: Kullanıcı / Admin (Yönetici) Şifre "
                              "Değiştirme");
    case G::EnrolActivation:
        return QStringLiteral("Parmakizi penceresi: Kullanıcı / Admin Aktif/Pasif Yapma");
    case G::EnrolMembers:
        return QStringLiteral("Parmakizi penceresi: Yetkilendir");
    case G::TimeZones:
        return QStringLiteral("Zaman dilimleri (Time Zone)");
    case G::Program:
        break;
    }
    return QStringLiteral("Programın kendi komutları");
}

std::span<const Command> commands() {
    return kCommands;
}

} // namespace selvenor::cli
