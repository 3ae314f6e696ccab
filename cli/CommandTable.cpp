#include "CliCommand.h"

namespace selvenor::cli {

// A command lives in a file of its own; declare its function here and add its row below.
int init(CommandContext& context);
int terminals(CommandContext& context);
int addTerminal(CommandContext& context);
int timeSet(CommandContext& context);
int timeGet(CommandContext& context);
int removeAdmins(CommandContext& context);
int wipeFingerprints(CommandContext& context);
int download(CommandContext& context);
int downloadAll(CommandContext& context);
int convertCard(CommandContext& context);
int journalCheck(CommandContext& context);
int enrolDownload(CommandContext& context);
int namesImport(CommandContext& context);
int enrolUpload(CommandContext& context);
int namesUpload(CommandContext& context);

namespace {

const Command kCommands[] = {
    {"init", "", "Data.mdb, Log.mdb ve Settings.ini eksikse oluşturur; var olana dokunmaz", init},
    {"terminals", "", "kayıtlı terminalleri ad sırasıyla listeler", terminals},
    {"add-terminal",
     "AD --number N (--tcp HOST:PORT [--password P] | --com PORT [--baud B] | --usb)",
     "terminal kaydeder (--baud varsayılanı 9600)", addTerminal},
    {"time-set", "AD", "terminalin saatini bilgisayarın saatine ayarlar", timeSet},
    {"time-get", "AD", "terminalin tarih ve saatini gösterir", timeGet},
    {"remove-admins", "AD [--yes]",
     "terminaldeki tüm yöneticileri siler (ENROLLINFO'ya listeler); --yes sormadan", removeAdmins},
    {"wipe-fingerprints", "AD [--yes]", "terminaldeki tüm parmakizlerini siler; --yes sormadan",
     wipeFingerprints},
    {"download", "(AD... | --all) [--second-file] [--wait SANİYE]",
     "yeni kayıtları veri.txt ve aylık yedeğe aktarır (Verileri Aktar); --wait: veri klasöründe "
     "süren başka bir aktarımı ve terminali tutan başka bir bağlantıyı her terminal için en çok "
     "bu kadar bekler (varsayılan 5)",
     download},
    {"download-all", "AD [--inout] [--second-file]",
     "terminaldeki tüm kayıtları aktarır; --inout giriş/çıkış kodlarıyla ve sonra terminalden "
     "siler",
     downloadAll},
    {"convert-card", "DOSYA", "hafıza kartı dosyasını veri.txt dosyasına ekler (sdkart->text)",
     convertCard},
    {"journal-check", "[--repair]",
     "aktarım günlüğünü gösterir; --repair bozuk günlüğü kayıp olmadan onarır", journalCheck},
    {"enrol-download", "AD [--on-error retry|skip|stop]",
     "parmakizi/kart/şifre datasını tblEnroll'a, isimleri temp'e alır", enrolDownload},
    {"names-import", "", "temp'teki isimleri PDKS personel tablosundan (mysql) alır", namesImport},
    {"enrol-upload", "AD [--without-left] [--on-error retry|skip|stop] [--yes]",
     "terminali silip tblEnroll'u yükler; --without-left işten çıkanlar olmadan; --yes sormadan "
     "(eksik indirilmiş datayı da)",
     enrolUpload},
    {"names-upload", "AD [--search METİN]", "temp'teki isimleri terminale yükler", namesUpload},
};

} // namespace

std::span<const Command> commands() {
    return kCommands;
}

} // namespace selvenor::cli
